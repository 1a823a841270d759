// SPDX-License-Identifier: GPL-3.0-or-later
// The record from the command line, as real processes: what --historial
// lists, a reprint's pages, the register read back by the batch, several
// programs recording at once, and the store failing in every way while the
// vouchers still leave.
#include <sys/stat.h>

#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "PostgresServer.h"
#include "ProgramRun.h"
#include "history/Destination.h"

namespace {

const QString kWarning =
    QStringLiteral("talonario: aviso: el comprobante no quedó en el historial: ");

QStringList VoucherArguments(const QString& cuit, int month, int year, const QString& payroll) {
    return {QStringLiteral("--cuit"),
            cuit,
            QStringLiteral("--mes"),
            QString::number(month),
            QStringLiteral("--anio"),
            QString::number(year),
            QStringLiteral("--remuneracion"),
            payroll,
            QStringLiteral("--establecimiento"),
            QStringLiteral("Taller Ñandú"),
            QStringLiteral("--calle"),
            QStringLiteral("Belgrano 1234")};
}

QProcessEnvironment Environment(const QString& home) {
    QProcessEnvironment environment = EnvironmentWithoutDisplay();
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("TALONARIO_BASE"));
    return environment;
}

std::vector<history::Voucher> Recorded(const QString& destination) {
    return history::OpenStore(destination)->List({});
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pages of a PDF as pdftoppm renders them.
QList<QImage> Pages(const QString& pdf) {
    const QString prefix = pdf + QStringLiteral("-page");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"),
                                                   QStringLiteral("-png"), pdf, prefix});
    QList<QImage> pages;
    for (int page = 1;; ++page) {
        const QImage image(QStringLiteral("%1-%2.png").arg(prefix).arg(page));
        if (image.isNull()) {
            break;
        }
        pages << image;
    }
    return pages;
}

}  // namespace

class TestHistoryCommands : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    PostgresServer server_;
    bool serverUp_ = false;
    QString filed_;  // the SQLite file the listing rows read
    int names_ = 0;

    QString Fresh(const QString& what) {
        return folder_.filePath(what + QString::number(++names_));
    }

    ProgramResult Run(const QStringList& arguments, const QString& home = {}) {
        return RunProgram(
            QStringLiteral(TALONARIO_BINARY), arguments,
            Environment(home.isEmpty() ? folder_.filePath(QStringLiteral("home")) : home));
    }
    ProgramResult Pdf(const QString& base, const QStringList& voucher, const QString& pdf) {
        return Run(QStringList{QStringLiteral("--pdf"), pdf, QStringLiteral("--base"), base} +
                   voucher);
    }
    QString BatchCsv(int rows, int firstMonth = 1) {
        const QString name = Fresh(QStringLiteral("lote")) + QStringLiteral(".csv");
        QFile csv(name);
        csv.open(QIODevice::WriteOnly);
        csv.write("cuit;mes;anio;remuneracion\n");
        for (int i = 0; i < rows; ++i) {
            csv.write(QStringLiteral("27000000006;%1;%2;%3\n")
                          .arg((firstMonth + i - 1) % 12 + 1)
                          .arg(2026 + (firstMonth + i - 1) / 12)
                          .arg(1000 + i)
                          .toUtf8());
        }
        return name;
    }

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        if (PostgresServer::Installed()) {
            const QString why = server_.Start();
            QVERIFY2(why.isEmpty(), qPrintable(why));
            serverUp_ = true;
        }
        filed_ = folder_.filePath(QStringLiteral("listed.sqlite"));
        const struct {
            const char* cuit;
            int month, year;
        } made[] = {{"20123456786", 1, 2026},
                    {"20123456786", 5, 2026},
                    {"27000000006", 5, 2026},
                    {"27000000006", 12, 2025}};
        for (const auto& voucher : made) {
            const ProgramResult result =
                Pdf(filed_,
                    VoucherArguments(QString::fromLatin1(voucher.cuit), voucher.month, voucher.year,
                                     QStringLiteral("1000")),
                    Fresh(QStringLiteral("listed")) + QStringLiteral(".pdf"));
            QVERIFY2(result.status == 0 && result.err.isEmpty(), qPrintable(result.err));
        }
    }

    void listing_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("listed");  // "cuit periodo", newest first
        QTest::newRow("everything, newest first")
            << QStringList{} << 0
            << QStringList{"27000000006 12/2025", "27000000006 05/2026", "20123456786 05/2026",
                           "20123456786 01/2026"};
        QTest::newRow("one C.U.I.T., written with hyphens")
            << QStringList{"--cuit", "20-12345678-6"} << 0
            << QStringList{"20123456786 05/2026", "20123456786 01/2026"};
        QTest::newRow("from a period, included")
            << QStringList{"--desde", "2026-05"} << 0
            << QStringList{"27000000006 05/2026", "20123456786 05/2026"};
        QTest::newRow("up to a period, across a year")
            << QStringList{"--hasta", "2026-01"} << 0
            << QStringList{"27000000006 12/2025", "20123456786 01/2026"};
        QTest::newRow("C.U.I.T. and range")
            << QStringList{"--cuit", "27000000006", "--desde", "2025-01", "--hasta", "2025-12"} << 0
            << QStringList{"27000000006 12/2025"};
        QTest::newRow("nothing matches: the header alone")
            << QStringList{"--cuit", "30000000007"} << 0 << QStringList{};
        QTest::newRow("a month past 12 refused")
            << QStringList{"--desde", "2026-13"} << 2 << QStringList{};
        QTest::newRow("a short C.U.I.T. refused")
            << QStringList{"--cuit", "2012"} << 2 << QStringList{};
        QTest::newRow("a voucher's own option refused")
            << QStringList{"--mes", "5"} << 2 << QStringList{};
        QTest::newRow("with --sin-historial refused")
            << QStringList{"--sin-historial"} << 2 << QStringList{};
    }
    void listing() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QStringList, listed);
        const ProgramResult result = Run(
            QStringList{QStringLiteral("--historial"), QStringLiteral("--base"), filed_} + options);
        QCOMPARE(result.status, status);
        if (status != 0) {
            QVERIFY(result.out.isEmpty());
            QVERIFY(!result.err.isEmpty());
            return;
        }
        // Qt's decoding drops the BOM the file starts with.
        QVERIFY(result.out.startsWith(QStringLiteral("id;")));
        QStringList lines = result.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        const QStringList header = lines.takeFirst().split(u';');
        const qsizetype cuit = header.indexOf(QStringLiteral("cuit"));
        const qsizetype period = header.indexOf(QStringLiteral("periodo"));
        const qsizetype code = header.indexOf(QStringLiteral("codigo_pago"));
        QStringList got;
        for (const QString& line : lines) {
            const QStringList cells = line.split(u';');
            got << cells[cuit] + u' ' + cells[period];
            // Kept as text in a spreadsheet, as in resultado.csv.
            QVERIFY2(cells[code].startsWith(QStringLiteral("\"\t5247")), qPrintable(line));
        }
        QCOMPARE(got, listed);
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        const QString pdf = folder_.filePath(QStringLiteral("never.pdf"));
        const QStringList voucher{"--cuit", "20123456786", "--mes",          "5",
                                  "--anio", "2026",        "--remuneracion", "1000"};
        QTest::newRow("--base with --sin-historial")
            << QStringList{"--pdf", pdf, "--base", "x.sqlite", "--sin-historial"} + voucher
            << "--base y --sin-historial no van juntas";
        QTest::newRow("--desde with --pdf")
            << QStringList{"--pdf", pdf, "--desde", "2026-01"} + voucher
            << "--desde y --hasta van solo con --historial";
        QTest::newRow("--completar without --lote")
            << QStringList{"--pdf", pdf, "--completar"} + voucher << "Uso: talonario --lote";
        QTest::newRow("--reimprimir without --pdf")
            << QStringList{"--reimprimir", "1"} << "Uso: talonario --reimprimir ID --pdf";
        QTest::newRow("--reimprimir with a voucher's values")
            << QStringList{"--reimprimir", "1", "--pdf", pdf, "--mes", "6"}
            << "--mes no va con --reimprimir";
        QTest::newRow("--historial with --padron")
            << QStringList{"--historial", "--padron", "p.csv"} << "no van juntas";
        QTest::newRow("--reimprimir of no number")
            << QStringList{"--reimprimir", "uno", "--pdf", pdf, "--base", filed_}
            << "--reimprimir: el número de un comprobante";
        QTest::newRow("--completar with --sin-historial")
            << QStringList{"--lote", "l.csv", "--carpeta", "c", "--completar", "--sin-historial"}
            << "--completar toma los datos del padrón";
    }
    // Refused before anything is written, saying why.
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const ProgramResult result = Run(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(said), qPrintable(result.err));
        QVERIFY(!QFile::exists(folder_.filePath(QStringLiteral("never.pdf"))));
    }

    // The same figures, the same code, the same pages pixel for pixel; and
    // the reprint is recorded as one.
    void reprintIsTheSameVoucher() {
        const QString base = Fresh(QStringLiteral("reprint")) + QStringLiteral(".sqlite");
        const QString original = Fresh(QStringLiteral("original")) + QStringLiteral(".pdf");
        QStringList voucher =
            VoucherArguments(QStringLiteral("20123456786"), 5, 2026, QStringLiteral("123456,78"));
        voucher << QStringLiteral("--recargo") << QStringLiteral("12,5")
                << QStringLiteral("--otros") << QStringLiteral("3")
                << QStringLiteral("--otros-desc")
                << QStringLiteral("Aporte extraordinario\nsegunda línea")
                << QStringLiteral("--son-pesos") << QStringLiteral("auto")
                << QStringLiteral("--efectivo") << QStringLiteral("--dia") << QStringLiteral("10");
        const ProgramResult first = Pdf(base, voucher, original);
        QCOMPARE(first.status, 0);
        const auto recorded = Recorded(base);
        QCOMPARE(recorded.size(), std::size_t(1));
        const QString copy = Fresh(QStringLiteral("copy")) + QStringLiteral(".pdf");
        const ProgramResult again =
            Run({QStringLiteral("--reimprimir"), QString::number(recorded[0].id),
                 QStringLiteral("--pdf"), copy, QStringLiteral("--base"), base});
        QVERIFY2(again.status == 0, qPrintable(again.err));
        QCOMPARE(again.out, first.out);
        const QList<QImage> before = Pages(original);
        const QList<QImage> after = Pages(copy);
        QCOMPARE(before.size(), 2);
        QCOMPARE(after.size(), before.size());
        for (int page = 0; page < before.size(); ++page) {
            QVERIFY2(after[page] == before[page],
                     qPrintable(QStringLiteral("page %1").arg(page + 1)));
        }
        const auto now = Recorded(base);
        QCOMPARE(now.size(), std::size_t(2));
        QCOMPARE(now[0].how, QStringLiteral("reimpresión"));
        QCOMPARE(now[0].paymentCode, recorded[0].paymentCode);
        QCOMPARE(now[0].boxes, recorded[0].boxes);

        const ProgramResult unknown =
            Run({QStringLiteral("--reimprimir"), QStringLiteral("999"), QStringLiteral("--pdf"),
                 copy + QStringLiteral("x"), QStringLiteral("--base"), base});
        QCOMPARE(unknown.status, 2);
        QVERIFY(unknown.err.contains(QStringLiteral("ningún comprobante número 999")));
        QVERIFY(!QFile::exists(copy + QStringLiteral("x")));
    }

    // --padron writes what --lote --completar reads: rows with the C.U.I.T.
    // alone get the registered employer on their voucher.
    void registerFeedsTheBatch() {
        const QString base = Fresh(QStringLiteral("padron")) + QStringLiteral(".sqlite");
        QCOMPARE(Pdf(base,
                     VoucherArguments(QStringLiteral("27000000006"), 1, 2026, QStringLiteral("10")),
                     Fresh(QStringLiteral("p")) + QStringLiteral(".pdf"))
                     .status,
                 0);
        const QString padron = Fresh(QStringLiteral("padron")) + QStringLiteral(".csv");
        QCOMPARE(Run({QStringLiteral("--padron"), padron, QStringLiteral("--base"), base}).status,
                 0);
        const QByteArray written = Bytes(padron);
        QVERIFY(
            written.startsWith("\xEF\xBB\xBF"
                               "cuit;establecimiento;calle"));
        QVERIFY(written.contains("27000000006;Taller Ñandú;Belgrano 1234"));
        // The accountant fills in the month, year and payroll columns.
        QFile csv(padron);
        QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write(
            QByteArray(written).replace("Belgrano 1234;;;;;;", "Belgrano 1234;;;;2;2026;500"));
        csv.close();
        const QString out = Fresh(QStringLiteral("carpeta"));
        const ProgramResult batch =
            Run({QStringLiteral("--lote"), padron, QStringLiteral("--carpeta"), out,
                 QStringLiteral("--completar"), QStringLiteral("--base"), base});
        QVERIFY2(batch.status == 0, qPrintable(batch.err));
        // Only C.U.I.T., period and payroll: the rest from the register.
        const QString bare = BatchCsv(1, 3);
        const ProgramResult completed =
            Run({QStringLiteral("--lote"), bare, QStringLiteral("--carpeta"), out,
                 QStringLiteral("--completar"), QStringLiteral("--base"), base});
        QVERIFY2(completed.status == 0, qPrintable(completed.err));
        const auto recorded = Recorded(base);
        QCOMPARE(recorded.size(), std::size_t(3));
        QCOMPARE(recorded[0].how, QStringLiteral("lote"));
        QCOMPARE(recorded[0].period(), QStringLiteral("2026-03"));
        QCOMPARE(recorded[0].name(), QStringLiteral("Taller Ñandú"));
        QCOMPARE(recorded[0].boxes.value(QStringLiteral("txtCalle")),
                 QStringLiteral("Belgrano 1234"));
        QVERIFY(QFile::exists(recorded[0].destination));
        // A rerun finds them "ya estaba": not recorded twice.
        QCOMPARE(Run({QStringLiteral("--lote"), bare, QStringLiteral("--carpeta"), out,
                      QStringLiteral("--completar"), QStringLiteral("--base"), base})
                     .status,
                 0);
        QCOMPARE(Recorded(base).size(), std::size_t(3));
    }

    void concurrentRecorders_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("sqlite: four --pdf and a batch on one file") << false;
        QTest::newRow("postgresql: two machines' --pdf and a batch") << true;
    }
    void concurrentRecorders() {
        QFETCH(bool, server);
        if (server && !serverUp_) {
            QSKIP("PostgreSQL is not installed (/usr/lib/postgresql/15/bin/initdb): row skipped");
        }
        const QString base = server ? server_.NewDatabase(QStringLiteral("concurrent"))
                                    : Fresh(QStringLiteral("shared")) + QStringLiteral(".sqlite");
        std::vector<std::unique_ptr<QProcess>> running;
        QSet<QString> expected;
        for (int i = 0; i < 4; ++i) {
            auto process = std::make_unique<QProcess>();
            // Two "machines": separate homes, one server.
            process->setProcessEnvironment(
                Environment(folder_.filePath(QStringLiteral("machine%1").arg(i % 2))));
            process->start(QStringLiteral(TALONARIO_BINARY),
                           QStringList{QStringLiteral("--pdf"),
                                       Fresh(QStringLiteral("c")) + QStringLiteral(".pdf"),
                                       QStringLiteral("--base"), base} +
                               VoucherArguments(QStringLiteral("20123456786"), i + 1, 2026,
                                                QString::number(500 + i)));
            running.push_back(std::move(process));
        }
        auto batch = std::make_unique<QProcess>();
        batch->setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("machine0"))));
        batch->start(QStringLiteral(TALONARIO_BINARY),
                     {QStringLiteral("--lote"), BatchCsv(6), QStringLiteral("--carpeta"),
                      Fresh(QStringLiteral("concurrent")), QStringLiteral("--trabajos"),
                      QStringLiteral("2"), QStringLiteral("--base"), base});
        running.push_back(std::move(batch));
        for (auto& process : running) {
            QVERIFY(process->waitForFinished(120000));
            const QByteArray err = process->readAllStandardError();
            QVERIFY2(process->exitCode() == 0, err.constData());
            QVERIFY2(!err.contains("historial"), err.constData());
        }
        const auto recorded = Recorded(base);
        QSet<QString> codes;
        for (const history::Voucher& voucher : recorded) {
            codes << voucher.paymentCode + voucher.period();
        }
        QCOMPARE(recorded.size(), std::size_t(10));
        QCOMPARE(codes.size(), 10);  // each once
    }

    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("locked by another program's long transaction")
            << QStringLiteral("locked") << QStringLiteral("está bloqueada por otro programa");
        QTest::newRow("read-only file")
            << QStringLiteral("read-only") << QStringLiteral("es de solo lectura");
        QTest::newRow("corrupt file, left as it was")
            << QStringLiteral("corrupt")
            << QStringLiteral("no es una base de Talonario o está dañado");
        QTest::newRow("full disk (a small tmpfs)")
            << QStringLiteral("full") << QStringLiteral("el disco está lleno");
    }
    // The voucher leaves, the exit status is the usual one, one warning line
    // says why it was not recorded, and what was recorded before stays.
    void faults() {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        const QString base = Fresh(QStringLiteral("fault")) + QStringLiteral(".sqlite");
        const QString pdf = Fresh(QStringLiteral("fault")) + QStringLiteral(".pdf");
        const QStringList voucher =
            VoucherArguments(QStringLiteral("20123456786"), 5, 2026, QStringLiteral("1000"));
        QProcess holder;
        ProgramResult result{};
        if (fault == QLatin1String("full")) {
            const QString mount = Fresh(QStringLiteral("tmpfs"));
            QVERIFY(QDir().mkpath(mount));
            QProcess probe;
            probe.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")});
            if (!probe.waitForFinished() || probe.exitCode() != 0) {
                QSKIP("no user namespace to mount a small tmpfs in without root");
            }
            QProcess run;
            run.setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("home"))));
            run.start(
                QStringLiteral("unshare"),
                QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                            QStringLiteral("mount -t tmpfs -o size=12k tmpfs \"$0\" && "
                                           "exec \"$@\""),
                            mount, QStringLiteral(TALONARIO_BINARY), QStringLiteral("--pdf"), pdf,
                            QStringLiteral("--base"), mount + QStringLiteral("/talonario.sqlite")} +
                    voucher);
            QVERIFY(run.waitForFinished(60000));
            result = {run.exitCode(), QString::fromUtf8(run.readAllStandardOutput()),
                      QString::fromUtf8(run.readAllStandardError())};
        } else {
            QCOMPARE(
                Pdf(base, voucher, Fresh(QStringLiteral("before")) + QStringLiteral(".pdf")).status,
                0);
            if (fault == QLatin1String("corrupt")) {
                QFile file(base);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(QByteArray(8192, '\x5a'));
            } else if (fault == QLatin1String("read-only")) {
                QVERIFY(QFile::setPermissions(base, QFile::ReadOwner | QFile::ReadGroup));
            } else {
                holder.start(QStringLiteral("sqlite3"), {base});
                QVERIFY(holder.waitForStarted());
                holder.write(
                    "BEGIN IMMEDIATE;\nINSERT INTO settings VALUES ('x', 'y');\n"
                    ".print held\n");
                QVERIFY(holder.waitForReadyRead(10000));
            }
            const QByteArray before = Bytes(base);
            result = Pdf(base, voucher, pdf);
            if (fault != QLatin1String("locked")) {
                QCOMPARE(Bytes(base), before);  // never overwritten
            }
        }
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.startsWith(QStringLiteral("5247")));
        QVERIFY(QFileInfo(pdf).size() > 0);
        const QStringList lines = result.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith(kWarning) && lines[0].contains(reason),
                 qPrintable(result.err));
        if (fault == QLatin1String("locked")) {
            holder.write("ROLLBACK;\n.quit\n");
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished());
            QCOMPARE(Recorded(base).size(), std::size_t(1));  // the one from before, nothing half
        }
        if (fault == QLatin1String("read-only")) {
            QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(Recorded(base).size(), std::size_t(1));
        }
    }

    // The server stops while a batch records into it: every voucher is still
    // written, one warning names the row from which recording stopped, and
    // what was recorded before is there when the server is back.
    void serverStoppedMidBatch() {
        if (!serverUp_) {
            QSKIP("PostgreSQL is not installed (/usr/lib/postgresql/15/bin/initdb): skipped");
        }
        const QString base = server_.NewDatabase(QStringLiteral("stopped"));
        const QString out = Fresh(QStringLiteral("stopped"));
        constexpr int kRows = 40;
        QProcess batch;
        batch.setProcessEnvironment(Environment(folder_.filePath(QStringLiteral("home"))));
        batch.start(
            QStringLiteral(TALONARIO_BINARY),
            {QStringLiteral("--lote"), BatchCsv(kRows), QStringLiteral("--carpeta"), out,
             QStringLiteral("--trabajos"), QStringLiteral("1"), QStringLiteral("--base"), base});
        QVERIFY(batch.waitForStarted());
        int before = 0;
        for (int wait = 0; wait < 1200 && before < 3; ++wait) {
            QTest::qWait(50);
            try {
                before = static_cast<int>(Recorded(base).size());
            } catch (const history::StoreFailure&) {
            }
        }
        QVERIFY(before >= 3);
        server_.Stop();
        QVERIFY(batch.waitForFinished(120000));
        const QString err = QString::fromUtf8(batch.readAllStandardError());
        QCOMPARE(batch.exitCode(), 0);
        QCOMPARE(err.count(QStringLiteral("los comprobantes no quedan en el historial")), 1);
        const QStringList pdfs = QDir(out).entryList({QStringLiteral("*.pdf")});
        QCOMPARE(pdfs.size(), kRows);
        QVERIFY(server_.Resume().isEmpty());
        const auto recorded = Recorded(base);
        QVERIFY(int(recorded.size()) >= before);
        QVERIFY(int(recorded.size()) < kRows);
        for (const history::Voucher& voucher : recorded) {
            QVERIFY(QFile::exists(voucher.destination));
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryCommands)
#include "TestHistoryCommands.moc"
