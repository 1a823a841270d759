// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader says for each control: every control that takes the
// focus and every label that shows a computed value has a name of its own
// that says what it holds, and the computed labels still give their value.
#include <QAccessible>
#include <QLabel>
#include <QtTest>

#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"

namespace {

// The labels that show what the program computed, read like entry boxes.
const QStringList kOutputLabels{"txtRetencion", "txtRetencionDec", "txtTotal", "TXTtotalDec",
                                "Text1"};

QString Spoken(QWidget* widget, QAccessible::Text what) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(what) : QStringLiteral("<no accessible interface>");
}

}  // namespace

class TestAccessibleNames : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void everyFocusableAndOutputControlNamedOnce();
    void names_data();
    void names();
    void computedLabelsGiveTheirValue_data();
    void computedLabelsGiveTheirValue();

  private:
    ScriptedPlatform platform_;
    std::unique_ptr<app::VoucherWindow> window_;
};

void TestAccessibleNames::initTestCase() {
    InitAssets();
    window_ = std::make_unique<app::VoucherWindow>(platform_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestAccessibleNames::everyFocusableAndOutputControlNamedOnce() {
    QHash<QString, QString> controlByName;
    QStringList problems;
    int checked = 0;
    for (QWidget* widget : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // GUARDAR PDF is out of the tab chain but still takes the focus by click.
        const bool focusable = widget->focusPolicy() != Qt::NoFocus;
        if (!focusable && !kOutputLabels.contains(widget->objectName())) {
            continue;
        }
        ++checked;
        const QString name = Spoken(widget, QAccessible::Name).trimmed();
        if (name.isEmpty()) {
            problems << widget->objectName() + QStringLiteral(" has no name");
        } else if (controlByName.contains(name)) {
            problems << QStringLiteral("%1 and %2 are both \"%3\"")
                            .arg(controlByName.value(name), widget->objectName(), name);
        }
        controlByName.insert(name, widget->objectName());
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    // 22 entry boxes, the check box, two buttons, the canvas, five labels.
    QCOMPARE(checked, 31);
}

void TestAccessibleNames::names_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("spoken");

    // The entry boxes are in TestLayout's table; here the rest.
    QTest::newRow("Check1: the cash box, which has no caption of its own") << "Check1"
                                                                           << "Pago en efectivo";
    QTest::newRow("Command2: the print button") << "Command2"
                                                << "Imprimir";
    QTest::newRow("cmdGuardarPdf: the PDF button") << "cmdGuardarPdf"
                                                   << "Guardar PDF";
    QTest::newRow("Picture1: the canvas, focusable while shown") << "Picture1"
                                                                 << "Dibujo del código de barras";
    QTest::newRow("Image1: the barcode on the voucher") << "Image1"
                                                        << "Código de barras del pago";
    QTest::newRow("txtRetencion: contribution pesos, not a bare number")
        << "txtRetencion"
        << "Contribución empresarial, pesos";
    QTest::newRow("txtRetencionDec: contribution cents") << "txtRetencionDec"
                                                         << "Contribución empresarial, centavos";
    QTest::newRow("txtTotal: total pesos") << "txtTotal"
                                           << "Total a depositar, pesos";
    QTest::newRow("TXTtotalDec: total cents") << "TXTtotalDec"
                                              << "Total a depositar, centavos";
    QTest::newRow("Text1: payment code text") << "Text1"
                                              << "Código de pago";
}

void TestAccessibleNames::names() {
    QFETCH(QString, control);
    QFETCH(QString, spoken);

    QWidget* widget = window_->control(control);
    QVERIFY(widget);
    QCOMPARE(Spoken(widget, QAccessible::Name), spoken);
}

void TestAccessibleNames::computedLabelsGiveTheirValue_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");

    // 1.5 % of 100000,50 truncated to the cent, and the code that follows.
    QTest::newRow("contribution pesos") << "txtRetencion"
                                        << "1500";
    QTest::newRow("contribution cents") << "txtRetencionDec"
                                        << "00";
    QTest::newRow("total pesos") << "txtTotal"
                                 << "1500";
    QTest::newRow("total cents") << "TXTtotalDec"
                                 << "00";
    QTest::newRow("payment code") << "Text1"
                                  << "52472012345678900150000";
}

void TestAccessibleNames::computedLabelsGiveTheirValue() {
    QFETCH(QString, control);
    QFETCH(QString, value);

    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    QCOMPARE(Spoken(window.control(control), QAccessible::Description), QString());
    window.setText(QStringLiteral("txtCuit"), QStringLiteral("20123456789"));
    window.setText(QStringLiteral("txtMes"), QStringLiteral("5"));
    window.setText(QStringLiteral("txtAnio"), QStringLiteral("2026"));
    window.setText(QStringLiteral("txtRemuneracion"), QStringLiteral("100000"));
    window.setText(QStringLiteral("txtRemuneracionDec"), QStringLiteral("50"));
    window.ComputeContribution();
    QVERIFY(window.GenerateBarcode());
    QCOMPARE(window.text(control), value);
    // The name says what it is, the description what it shows now.
    QVERIFY(Spoken(window.control(control), QAccessible::Name) != value);
    QCOMPARE(Spoken(window.control(control), QAccessible::Description), value);
}

QTEST_MAIN(TestAccessibleNames)
#include "TestAccessibleNames.moc"
