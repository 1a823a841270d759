// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "batch/Cash.h"
#include "batch/Columns.h"
#include "cli/VoucherOptions.h"

Q_DECLARE_METATYPE(std::optional<bool>)

// A CSV's header titles as spreadsheet users write them, and the cash column's words.
class TestColumns : public QObject {
    Q_OBJECT
  private slots:
    void canonical_data();
    void canonical();
    void everyColumnNamesItself();
    void cash_data();
    void cash();
};

void TestColumns::canonical_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("column");
    const auto row = [](const char* name, const char* title, const char* column) {
        QTest::newRow(name) << QString::fromUtf8(title) << QString::fromUtf8(column);
    };
    row("the name itself", "remuneracion", "remuneracion");
    row("capitals", "CUIT", "cuit");
    row("blanks around", "  mes ", "mes");
    row("accent dropped", "Remuneración", "remuneracion");
    row("ñ is ni", "Año", "anio");
    row("ñ in capitals", "AÑO", "anio");
    row("año without its tilde", "Ano", "anio");
    row("a blank for the hyphen", "Son pesos", "son-pesos");
    row("an underscore for the hyphen", "otros_desc", "otros-desc");
    row("two blanks and an underscore", "mes _ deposito", "mes-deposito");
    row("accented and spaced", "Año depósito", "anio-deposito");
    row("with joining words", "Año del depósito", "anio-deposito");
    row("dots of an abbreviation", "C.U.I.T.", "cuit");
    row("the voucher's caption with Nº", "C.U.I.T Nº", "cuit");
    row("número de", "Número de CUIT", "cuit");
    row("razón social", "Razón social", "establecimiento");
    row("razon_social", "RAZON_SOCIAL", "establecimiento");
    row("the voucher's caption with a colon", "Establecimiento:", "establecimiento");
    row("calle y número", "Calle y Nº", "calle");
    row("código postal", "Código postal", "cp");
    row("C.P.", "C.P.", "cp");
    row("C. P. with a blank", "C. P.", "cp");
    row("pcia", "Pcia.", "provincia");
    row("mes liquidado", "MES LIQUIDADO", "mes");
    row("cantidad de personal", "Cantidad de personal", "personal");
    row("total de remuneración", "Total de remuneración", "remuneracion");
    row("recargo actualizado de intereses", "Recargo actualizado de intereses", "recargo");
    row("otros conceptos", "Otros conceptos", "otros");
    row("descripción de otros conceptos", "Descripción de otros conceptos", "otros-desc");
    row("cheque nº giro", "Cheque Nº Giro", "cheque");
    row("día del depósito", "Día del depósito", "dia");
    row("importe en letras", "Importe en letras", "son-pesos");
    row("pago en efectivo", "Pago en efectivo", "efectivo");
    row("recargo_desde", "recargo_desde", "recargo-desde");
    row("Recargo desde", "Recargo desde", "recargo-desde");
    row("fecha de vencimiento", "Fecha de vencimiento", "recargo-desde");
    row("Vto.", "Vto.", "recargo-desde");
    row("tasa with a percent sign", "Tasa %", "tasa");
    row("tasa de interés mensual", "Tasa de interés mensual", "tasa");
    row("intereses is still the surcharge amount", "Intereses", "recargo");
    row("unknown", "color", "");
    row("empty", "", "");
    row("only joining words", "de la", "");
    row("only punctuation", "-_.", "");
    row("a known name run together", "sonpesos", "");
    row("two columns in one title", "mes anio", "");
}

void TestColumns::canonical() {
    QFETCH(QString, title);
    QFETCH(QString, column);
    QCOMPARE(batch::CanonicalColumn(title, cli::VoucherOptionNames()), column);
}

// Every column's own name maps to itself, and an alias only to a column the caller knows.
void TestColumns::everyColumnNamesItself() {
    const QStringList known = cli::VoucherOptionNames();
    for (const QString& name : known) {
        QCOMPARE(batch::CanonicalColumn(name, known), name);
        QCOMPARE(batch::CanonicalColumn(name.toUpper(), known), name);
    }
    QCOMPARE(batch::CanonicalColumn(QStringLiteral("Razón social"), {QStringLiteral("cuit")}),
             QString());
}

void TestColumns::cash_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<std::optional<bool>>("cash");
    const auto row = [](const char* name, const char* cell, std::optional<bool> cash) {
        QTest::newRow(name) << QString::fromUtf8(cell) << cash;
    };
    for (const char* yes : {"si", "sí", "s", "x", "1", "true", "verdadero"}) {
        row(yes, yes, true);
    }
    for (const char* no : {"no", "n", "0", "false", "falso"}) {
        row(no, no, false);
    }
    row("an empty cell is no", "", false);
    row("a blank cell is no", "  ", false);
    row("capitals", "SÍ", true);
    row("capital X", "X", true);
    row("blanks around", " no ", false);
    row("VERDADERO", "VERDADERO", true);
    row("yes in English is not a value", "yes", std::nullopt);
    row("two words", "si no", std::nullopt);
    row("a number other than 0 and 1", "2", std::nullopt);
    row("a dash", "-", std::nullopt);
}

void TestColumns::cash() {
    QFETCH(QString, cell);
    QFETCH(std::optional<bool>, cash);
    QCOMPARE(batch::ReadCash(cell), cash);
}

QTEST_APPLESS_MAIN(TestColumns)
#include "TestColumns.moc"
