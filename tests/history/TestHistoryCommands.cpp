// SPDX-License-Identifier: GPL-3.0-or-later
// The record from the command line, as real processes: what --historial
// lists, what is refused, a reprint's pages, the register read back by the
// batch.
#include <QImage>

#include "HistoryFixture.h"

class TestHistoryCommands : public HistoryFixture {
    Q_OBJECT

    QString filed_;  // the SQLite file the listing rows read

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
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
};

QTEST_GUILESS_MAIN(TestHistoryCommands)
#include "TestHistoryCommands.moc"
