// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "batch/CsvRows.h"

using batch::CsvTable;
using batch::ReadCsv;

using Rows = QList<QStringList>;

// Reading a spreadsheet's CSV export through libcsv: separators, quotes,
// line breaks and the two encodings spreadsheets save in.
class TestCsvRows : public QObject {
    Q_OBJECT
  private slots:
    void tables_data();
    void tables();
    void rowNumbers_data();
    void rowNumbers();
    void unreadable_data();
    void unreadable();
    void windows1252_data();
    void windows1252();
    void lineRoundTrip_data();
    void lineRoundTrip();
};

void TestCsvRows::tables_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<char>("separator");

    QTest::newRow("plain commas") << QByteArray("cuit,mes\n20123456789,5\n")
                                  << QStringList{"cuit", "mes"} << Rows{{"20123456789", "5"}}
                                  << ',';
    QTest::newRow("semicolons found from the header")
        << QByteArray("cuit;remuneracion\n20123456789;100,50\n")
        << QStringList{"cuit", "remuneracion"} << Rows{{"20123456789", "100,50"}} << ';';
    QTest::newRow("quoted separator stays in the field")
        << QByteArray("establecimiento,calle\n\"Pérez, Hnos.\",Mitre 10\n")
        << QStringList{"establecimiento", "calle"} << Rows{{"Pérez, Hnos.", "Mitre 10"}} << ',';
    QTest::newRow("quoted line break stays in the field")
        << QByteArray("otros-desc,mes\n\"aporte\nextra\",5\n") << QStringList{"otros-desc", "mes"}
        << Rows{{"aporte\nextra", "5"}} << ',';
    QTest::newRow("quoted CRLF line break comes back as LF")
        << QByteArray("otros-desc;mes\r\n\"aporte\r\nextra\";5\r\n")
        << QStringList{"otros-desc", "mes"} << Rows{{"aporte\nextra", "5"}} << ';';
    QTest::newRow("doubled quote is one quote")
        << QByteArray("establecimiento\n\"El \"\"Sol\"\"\"\n") << QStringList{"establecimiento"}
        << Rows{{"El \"Sol\""}} << ',';
    QTest::newRow("CRLF line ends, no final line end")
        << QByteArray("cuit;mes\r\n1;2\r\n3;4") << QStringList{"cuit", "mes"}
        << Rows{{"1", "2"}, {"3", "4"}} << ';';
    QTest::newRow("UTF-8 with BOM, BOM not in the first name")
        << QByteArray(
               "\xEF\xBB\xBF"
               "establecimiento;mes\nPanadería;5\n")
        << QStringList{"establecimiento", "mes"} << Rows{{"Panadería", "5"}} << ';';
    QTest::newRow("blank lines skipped")
        << QByteArray("mes\n\n5\n\n6\n") << QStringList{"mes"} << Rows{{"5"}, {"6"}} << ',';
    QTest::newRow("blank lines counted before the header too")
        << QByteArray("\n\nmes\n5\n\n6\n") << QStringList{"mes"} << Rows{{"5"}, {"6"}} << ',';
    QTest::newRow("separator-only lines are blank lines (a spreadsheet's empty rows)")
        << QByteArray("mes;anio\n;\n5;2026\n ; \n6;2026\n") << QStringList{"mes", "anio"}
        << Rows{{"5", "2026"}, {"6", "2026"}} << ';';
    QTest::newRow("empty fields kept")
        << QByteArray("cuit,mes,anio\n,5,\n") << QStringList{"cuit", "mes", "anio"}
        << Rows{{"", "5", ""}} << ',';
    QTest::newRow("header only") << QByteArray("cuit,mes\n") << QStringList{"cuit", "mes"} << Rows{}
                                 << ',';
    QTest::newRow("semicolon in a quoted header name does not decide")
        << QByteArray("\"a;b;c\",mes\n1,2\n") << QStringList{"a;b;c", "mes"} << Rows{{"1", "2"}}
        << ',';
}

void TestCsvRows::tables() {
    QFETCH(QByteArray, bytes);
    const CsvTable table = ReadCsv(bytes);
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QTEST(table.header, "header");
    QTEST(table.separator, "separator");
    Rows rows;
    for (const batch::CsvRow& row : table.rows) {
        rows << row.fields;
    }
    QTEST(rows, "rows");
}

void TestCsvRows::rowNumbers_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("header is row 1") << QByteArray("mes\n5\n6\n") << QList<int>{2, 3};
    QTest::newRow("blank lines count") << QByteArray("mes\n\n5\n\n6\n") << QList<int>{3, 5};
    QTest::newRow("blank lines before the header count")
        << QByteArray("\n\nmes\n5\n") << QList<int>{4};
    QTest::newRow("CRLF blank lines count") << QByteArray("mes\r\n\r\n5\r\n") << QList<int>{3};
    QTest::newRow("a quoted line break is one row")
        << QByteArray("otros-desc,mes\n\"a\nb\",5\n6,7\n") << QList<int>{2, 3};
    QTest::newRow("separator-only rows count") << QByteArray("mes;anio\n;\n5;6\n") << QList<int>{3};
}

void TestCsvRows::rowNumbers() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, numbers);
    const CsvTable table = ReadCsv(bytes);
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QList<int> found;
    for (const batch::CsvRow& row : table.rows) {
        found << row.number;
    }
    QCOMPARE(found, numbers);
}

void TestCsvRows::unreadable_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("only blank lines") << QByteArray("\n\r\n");
    QTest::newRow("quote never closed") << QByteArray("cuit,mes\n\"20123456789,5\n");
    QTest::newRow("text after a closing quote") << QByteArray("cuit\n\"1\"x\n");
}

void TestCsvRows::unreadable() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!ReadCsv(bytes).error.isEmpty());
}

void TestCsvRows::windows1252_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("ñ and á in a Windows-1252 row") << QByteArray(
                                                          "establecimiento\nPanader\xED"
                                                          "a Espa\xF1"
                                                          "a\n")
                                                   << QStringLiteral("Panadería España");
    QTest::newRow("0x80-0x9F block: euro, curly quotes, dash") << QByteArray(
                                                                      "establecimiento\n\x80 \x93"
                                                                      "x\x94 \x96\n")
                                                               << QStringLiteral("€ “x” –");
    QTest::newRow("one Windows-1252 row among UTF-8 ones")
        << QByteArray("establecimiento\nPanadería\n") + QByteArray(
                                                            "Ca\xF1"
                                                            "uelas\n")
        << QStringLiteral("Cañuelas");
}

void TestCsvRows::windows1252() {
    QFETCH(QByteArray, bytes);
    const CsvTable table = ReadCsv(bytes);
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QVERIFY(!table.rows.empty());
    QTEST(table.rows.back().fields.value(0), "name");
    if (table.rows.size() > 1) {
        QCOMPARE(table.rows.front().fields.value(0), QStringLiteral("Panadería"));
    }
}

void TestCsvRows::lineRoundTrip_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<char>("separator");
    QTest::newRow("plain") << QStringList{"2", "a.pdf", "ok"} << ',';
    QTest::newRow("separator, quote and line break quoted")
        << QStringList{"a,b", "say \"hi\"", "two\nlines", ""} << ',';
    QTest::newRow("comma needs no quotes with semicolons") << QStringList{"1,5", "x;y"} << ';';
    // Found by fuzzing: the reader trims bare fields, so blank ends are quoted.
    QTest::newRow("blanks at either end kept") << QStringList{"  Juan ", "\tx", "y\t"} << ',';
    QTest::newRow("a field that starts with U+FEFF keeps it")
        << QStringList{"a", QStringLiteral("\uFEFFb")} << ';';
}

void TestCsvRows::lineRoundTrip() {
    QFETCH(QStringList, fields);
    QFETCH(char, separator);
    const QByteArray header =
        batch::CsvLine(QStringList(fields.size(), QStringLiteral("h")), separator);
    const CsvTable table = ReadCsv(header + "\n" + batch::CsvLine(fields, separator) + "\n");
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QCOMPARE(table.rows.size(), std::size_t{1});
    QCOMPARE(table.rows[0].fields, fields);
}

QTEST_APPLESS_MAIN(TestCsvRows)
#include "TestCsvRows.moc"
