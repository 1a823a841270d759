// SPDX-License-Identifier: GPL-3.0-or-later
// The program run over failures a user meets (bad options, files it cannot
// read or write, folders in the way, broken CSVs, a full device, no display):
// whatever it says is Spanish, in its own words, never the system's, Qt's or
// libcsv's English, and never Spain's "fichero".
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "ProgramRun.h"
#include "cli/ExitStatus.h"

namespace {

constexpr uid_t kNobody = 65534;

void Write(const QString& path, const QByteArray& data, mode_t mode = 0644) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

}  // namespace

class TestFailuresInSpanish : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void failures_data();
    void failures();

  private:
    QString at(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

void TestFailuresInSpanish::initTestCase() {
    QVERIFY(dir.isValid());
    // Runs as nobody (when the test is root) must reach the files.
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QByteArray header("cuit,mes,anio,remuneracion\n");
    Write(at("good.csv"), header + "20123456786,5,2026,1000\n");
    Write(at("broken.csv"), header + "\"20123456786,5,2026,1000\n");
    Write(at("binary.csv"), QByteArray("\x00\xff\xfe\x01\x02", 5) + header);
    Write(at("empty.csv"), QByteArray());
    Write(at("unknown-column.csv"), "cuit,color\n20123456786,rojo\n");
    Write(at("refused-rows.csv"), header + "2012,13,1990,-1\n20123456786,5,2026,1000\n");
    Write(at("unreadable.csv"), header, 0200);
    Write(at("readonly.pdf"), "keep", 0444);
    Write(at("file.txt"), "a file");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(QDir(dir.path()).mkdir("read-only-folder"));
    QCOMPARE(::chmod(QFile::encodeName(at("read-only-folder")).constData(), 0555), 0);
    // The private folder of runs as nobody: theirs, inside the test's folder.
    QVERIFY(QDir(dir.path()).mkdir("nobody"));
    if (::geteuid() == 0) {
        QCOMPARE(::chown(QFile::encodeName(at("nobody")).constData(), kNobody, kNobody), 0);
    }
    QCOMPARE(::chmod(QFile::encodeName(at("nobody")).constData(), 0700), 0);
}

void TestFailuresInSpanish::failures_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display");  // DISPLAY for the run; none when empty
    QTest::addColumn<bool>("unprivileged");
    QTest::addColumn<int>("status");

    const QStringList voucher{"--cuit", "20123456786", "--mes",          "5",
                              "--anio", "2026",        "--remuneracion", "1000"};
    const auto pdf = [&voucher](const QString& file) {
        return QStringList{"--pdf", file} + voucher;
    };
    const auto batch = [this](const QString& csv, const QStringList& more = {}) {
        return QStringList{"--lote", at(csv), "--carpeta", at("out-" + csv)} + more;
    };
    using cli::kFailed;
    using cli::kRefused;
    using cli::kSomeRefused;
    using cli::kUnwritable;

    QTest::newRow("unknown option") << QStringList{"--color"} << "" << false << kRefused;
    QTest::newRow("unknown short option") << QStringList{"-x"} << "" << false << kRefused;
    QTest::newRow("option without its value") << QStringList{"--pdf"} << "" << false << kRefused;
    QTest::newRow("stray argument") << QStringList{"extra"} << "" << false << kRefused;
    QTest::newRow("Qt's own option") << QStringList{"-platform", "xcb"} << "" << false << kRefused;
    QTest::newRow("a value the box refuses")
        << pdf(at("v.pdf")) + QStringList{"--mes", "13"} << "" << false << kRefused;
    QTest::newRow("a voucher that does not validate")
        << QStringList{"--pdf", at("v.pdf")} << "" << false << kRefused;
    QTest::newRow("--pdf into a missing folder")
        << pdf(at("missing/v.pdf")) << "" << false << kUnwritable;
    QTest::newRow("--pdf through a file")
        << pdf(at("file.txt/v.pdf")) << "" << false << kUnwritable;
    QTest::newRow("--pdf onto a folder") << pdf(at("folder")) << "" << false << kUnwritable;
    QTest::newRow("--pdf onto a read-only file")
        << pdf(at("readonly.pdf")) << "" << false << kUnwritable;
    QTest::newRow("--pdf into a read-only folder")
        << pdf(at("read-only-folder/v.pdf")) << "" << true << kUnwritable;
    QTest::newRow("--pdf onto the full device") << pdf("/dev/full") << "" << false << kUnwritable;
    QTest::newRow("--barcode onto the full device")
        << QStringList{"--barcode", "123", "--output", "/dev/full"} << "" << false << kUnwritable;
    QTest::newRow("--barcode into a missing folder")
        << QStringList{"--barcode", "123", "--output", at("missing/b.bmp")} << "" << false
        << kUnwritable;
    QTest::newRow("--barcode with a character it cannot draw")
        << QStringList{"--barcode", "ñ", "--output", at("b.bmp")} << "" << false << kRefused;
    QTest::newRow("--bar-height not a number")
        << QStringList{"--barcode", "1", "--output", at("b.bmp"), "--bar-height", "alto"} << ""
        << false << kRefused;
    QTest::newRow("--plantilla onto the full device")
        << QStringList{"--plantilla", "/dev/full"} << "" << false << kUnwritable;
    QTest::newRow("--plantilla onto a folder")
        << QStringList{"--plantilla", at("folder")} << "" << false << kUnwritable;
    QTest::newRow("--lote with a missing CSV") << batch("missing.csv") << "" << false << kRefused;
    QTest::newRow("--lote with an unreadable CSV")
        << batch("unreadable.csv") << "" << true << kRefused;
    QTest::newRow("--lote with a folder for a CSV") << batch("folder") << "" << false << kRefused;
    QTest::newRow("--lote with a quote never closed")
        << batch("broken.csv") << "" << false << kRefused;
    QTest::newRow("--lote with binary bytes") << batch("binary.csv") << "" << false << kRefused;
    QTest::newRow("--lote with an empty CSV") << batch("empty.csv") << "" << false << kRefused;
    QTest::newRow("--lote with an unknown column")
        << batch("unknown-column.csv") << "" << false << kRefused;
    QTest::newRow("--lote with rows refused")
        << batch("refused-rows.csv") << "" << false << kSomeRefused;
    QTest::newRow("--lote into a file")
        << QStringList{"--lote", at("good.csv"), "--carpeta", at("file.txt")} << "" << false
        << kUnwritable;
    QTest::newRow("--lote into a read-only folder")
        << QStringList{"--lote", at("good.csv"), "--carpeta", at("read-only-folder/lote")} << ""
        << true << kUnwritable;
    QTest::newRow("--lote --un-pdf onto the full device")
        << batch("good.csv", {"--un-pdf", "/dev/full"}) << "" << false << kUnwritable;
    QTest::newRow("--lote with --trabajos 0")
        << batch("good.csv", {"--trabajos", "0"}) << "" << false << kRefused;
    QTest::newRow("the window without a display") << QStringList() << "" << false << kFailed;
    QTest::newRow("the window on a display nobody serves")
        << QStringList() << ":97" << false << kFailed;
}

void TestFailuresInSpanish::failures() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(bool, unprivileged);
    QFETCH(int, status);
    QProcessEnvironment environment = EnvironmentWithoutDisplay();
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    if (!display.isEmpty()) {
        environment.insert(QStringLiteral("DISPLAY"), display);
    }
    QProcess process;
    if (unprivileged) {
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), at("nobody"));
        environment.insert(QStringLiteral("HOME"), at("nobody"));
        // Root is refused nothing: it runs as nobody; anyone else as themselves.
        process.setChildProcessModifier([] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                                     ::setuid(kNobody) != 0)) {
                ::_exit(125);
            }
        });
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TALONARIO_BINARY), arguments);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const QString said = out + err;
    QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(said));
    QCOMPARE(process.exitCode(), status);
    QVERIFY2(!err.isEmpty(), "a failure is told");

    static const QRegularExpression english(
        QStringLiteral("\\b(no such|permission denied|is a directory|not a directory|no space|"
                       "cannot|can't|could not|unable|failed|unknown option|invalid|missing "
                       "value|usage|options:|warning|aborted|error:|errno|qt\\.)|"
                       "(?<!con )\\b[Ee]rror\\b(?! (del|de|sin) )|fichero"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = english.match(said);
    QVERIFY2(!match.hasMatch(), qPrintable(match.captured(0) + QStringLiteral(" in:\n") + said));
    // Every message has the program's name in front; a batch's row lines
    // and summary are its report.
    for (const QString& line : err.split(u'\n', Qt::SkipEmptyParts)) {
        const bool report = line.startsWith(QStringLiteral("fila ")) ||
                            line.contains(QStringLiteral("; detalle en "));
        QVERIFY2(report || line.startsWith(QStringLiteral("talonario: ")), qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(TestFailuresInSpanish)
#include "TestFailuresInSpanish.moc"
