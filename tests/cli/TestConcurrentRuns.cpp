// SPDX-License-Identifier: GPL-3.0-or-later
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "ZbarDecode.h"

// Several `talonario --pdf` at once share the program's folder and its
// temporary bitmap: none may fail because of another, and each PDF must
// carry its own barcode, never a neighbour's. A smoke test of real processes;
// the lock that keeps each round trip whole is tested step by step in
// TestBarcodeProduction.
class TestConcurrentRuns : public QObject {
    Q_OBJECT
  private slots:
    void eachRunPrintsItsOwnBarcode();
};

namespace {

constexpr int kRuns = 16;
constexpr int kAtOnce = 4;

// A payment code as the program prints it: 23 digits of the fixed C.U.I.T.
bool IsPaymentCode(const QString& line) {
    static const QRegularExpression kCode(QStringLiteral("^524720123456789\\d{8}\n$"));
    return kCode.match(line).hasMatch();
}

}  // namespace

void TestConcurrentRuns::eachRunPrintsItsOwnBarcode() {
    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));

    std::vector<std::unique_ptr<QProcess>> processes(kRuns);
    QStringList failures;
    std::vector<QString> codes(kRuns);
    int next = 0;
    int running = 0;
    QEventLoop loop;
    std::function<void()> startNext = [&] {
        while (running < kAtOnce && next < kRuns) {
            const int i = next++;
            auto& process = processes[std::size_t(i)];
            process = std::make_unique<QProcess>();
            process->setProcessEnvironment(environment);
            QObject::connect(
                process.get(), &QProcess::finished, &loop,
                [&, i](int status, QProcess::ExitStatus how) {
                    --running;
                    QProcess& done = *processes[std::size_t(i)];
                    const QString out = QString::fromUtf8(done.readAllStandardOutput());
                    if (how != QProcess::NormalExit || status != 0 || !IsPaymentCode(out)) {
                        failures << QStringLiteral("run %1: status %2, %3 %4")
                                        .arg(i)
                                        .arg(status)
                                        .arg(out.trimmed(),
                                             QString::fromUtf8(done.readAllStandardError()));
                    }
                    codes[std::size_t(i)] = out.trimmed();
                    if (next == kRuns && running == 0) {
                        loop.quit();
                    } else {
                        startNext();
                    }
                });
            ++running;
            process->start(
                QStringLiteral(TALONARIO_BINARY),
                {"--pdf", dir.filePath(QStringLiteral("%1.pdf").arg(i)), "--cuit", "20123456789",
                 "--mes", "5", "--anio", "2026", "--remuneracion", QString::number(1000 + i)});
        }
    };
    startNext();
    loop.exec();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    // Payrolls from 1000 pesos on, one more each run: every run has a code of its own.
    QCOMPARE(QSet<QString>(codes.begin(), codes.end()).size(), kRuns);

    // The pictures embedded in each PDF, as written: faster than rendering
    // every page, and the barcode is one of them on each copy.
    for (int i = 0; i < kRuns; ++i) {
        const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(i));
        QTemporaryDir images;
        QProcess extract;
        extract.start(QStringLiteral("pdfimages"), {"-png", pdf, images.filePath("image")});
        QVERIFY(extract.waitForFinished(60000));
        QCOMPARE(extract.exitCode(), 0);
        std::vector<std::string> decoded;
        for (const QString& name : QDir(images.path()).entryList(QDir::Files, QDir::Name)) {
            for (const std::string& code : DecodeBarcodes(QImage(images.filePath(name)))) {
                decoded.push_back(code);
            }
        }
        const std::string own = codes[std::size_t(i)].toStdString();
        QCOMPARE(decoded, (std::vector<std::string>{own, own}));
    }
}

QTEST_GUILESS_MAIN(TestConcurrentRuns)
#include "TestConcurrentRuns.moc"
