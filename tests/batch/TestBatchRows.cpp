// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "batch/Rows.h"

// A CSV's header and rows as a batch reads them, before any voucher is made.
class TestBatchRows : public QObject {
    Q_OBJECT
  private slots:
    void columns_data();
    void columns();
    void rows_data();
    void rows();
};

namespace {

const QStringList kKnown{"establecimiento", "cuit",    "mes",   "anio",
                         "remuneracion",    "recargo", "otros", "efectivo"};

}  // namespace

void TestBatchRows::columns_data() {
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("error");
    QTest::newRow("our own names")
        << QStringList{"cuit", "mes"} << QStringList{"cuit", "mes"} << "";
    QTest::newRow("as a spreadsheet user writes them")
        << QStringList{" C.U.I.T. ", "Año", "Remuneración"}
        << QStringList{"cuit", "anio", "remuneracion"} << "";
    QTest::newRow("unknown column named, with the possible ones")
        << QStringList{"cuit", "color"} << QStringList{}
        << "columna desconocida «color»; las columnas posibles son: establecimiento, cuit, mes, "
           "anio, remuneracion, recargo, otros, efectivo";
    QTest::newRow("twice under two spellings")
        << QStringList{"mes", "MES"} << QStringList{} << "la columna «mes» está dos veces";
    QTest::newRow("a control character in a title is shown escaped")
        << QStringList{"co\x1blor"} << QStringList{} << "columna desconocida «co\\x1Blor»";
}

void TestBatchRows::columns() {
    QFETCH(QStringList, header);
    QFETCH(QStringList, names);
    QFETCH(QString, error);
    const batch::Columns columns = batch::ReadColumns(header, kKnown);
    QVERIFY2(error.isEmpty() ? columns.error.isEmpty() : columns.error.startsWith(error),
             qPrintable(columns.error));
    if (error.isEmpty()) {
        QCOMPARE(columns.names, names);
    }
}

void TestBatchRows::rows_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<QString>("remuneracion");  // as handed on
    QTest::addColumn<bool>("cash");
    QTest::addColumn<QString>("refusal");
    const QStringList columns{"cuit", "remuneracion", "efectivo"};
    QTest::newRow("plain") << QStringList{"20123456786", "1000", ""} << false << "1000" << false
                           << "";
    QTest::newRow("decimals handed on as pesos,cents")
        << QStringList{"20123456786", "1000,5", "sí"} << false << "1000,50" << true << "";
    QTest::newRow("a leading $") << QStringList{"20123456786", "$ 1.000,50", "x"} << false
                                 << "1000,50" << true << "";
    QTest::newRow("thousands in a comma-decimal CSV")
        << QStringList{"20123456786", "100.000", "no"} << true << "100000" << false << "";
    QTest::newRow("the same, ambiguous elsewhere, naming the column")
        << QStringList{"20123456786", "100.000", "no"} << false << "" << false
        << "remuneracion: «100.000» es ambiguo";
    QTest::newRow("cash neither yes nor no, escaped")
        << QStringList{"20123456786", "1000", "\x1b[2J"} << false << "1000" << false
        << "efectivo: «\\x1B[2J» no es sí ni no";
    QTest::newRow("more fields than the header")
        << QStringList{"20123456786", "1000", "", "extra"} << false << "1000" << false
        << "la fila tiene 4 campos y el encabezado 3";
    QTest::newRow("fewer fields: the rest empty")
        << QStringList{"20123456786"} << false << "" << false << "";
}

void TestBatchRows::rows() {
    QFETCH(QStringList, fields);
    QFETCH(bool, decimalComma);
    QFETCH(QString, remuneracion);
    QFETCH(bool, cash);
    QFETCH(QString, refusal);
    batch::RowRules rules;
    rules.columns = {"cuit", "remuneracion", "efectivo"};
    rules.cashColumn = "efectivo";
    rules.amountColumns = {"remuneracion", "recargo", "otros"};
    rules.decimalComma = decimalComma;
    const batch::RowInput row = batch::ReadRow({7, fields}, rules);
    QCOMPARE(row.number, 7);
    QVERIFY2(refusal.isEmpty() ? row.refusal.isEmpty() : row.refusal.startsWith(refusal),
             qPrintable(row.refusal));
    if (refusal.isEmpty() || !remuneracion.isEmpty()) {
        QCOMPARE(row.values.value("remuneracion"), remuneracion);
    }
    QCOMPARE(row.cash, cash);
    QCOMPARE(row.values.value("cuit"), fields.value(0));
}

QTEST_APPLESS_MAIN(TestBatchRows)
#include "TestBatchRows.moc"
