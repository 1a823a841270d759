// SPDX-License-Identifier: GPL-3.0-or-later
// The voucher window as it starts: every control where the bank's voucher
// picture expects it, with its kind, caption, alignment, font, frame and
// background. The expected values are written out here in pixels on their
// own, not read from the layout table, so that a slip in the table shows.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"
#include "app/Widgets.h"
#include "assets/Assets.h"

namespace {

// Whether a control must have the sunken frame of an entry box.
enum Frame { kNoFrame, kFramed, kEitherFrame };

constexpr int kLeft = Qt::AlignLeft;
constexpr int kCentre = Qt::AlignHCenter;
constexpr int kRight = Qt::AlignRight;
constexpr int kNoLimit = 32767;  // what a QLineEdit accepts when nothing limits it
constexpr int kMultiLine = -1;   // a multi-line box has no length limit to read

// 8.25 pt, 6.75 pt, 9.75 pt and 36 pt at 96 dots per inch.
constexpr int kSmall = 11;
constexpr int kTitle = 9;
constexpr int kTotalCaption = 13;
constexpr int kCopyNumber = 48;

// Top of the stack first: an earlier control covers a later one.
// clang-format off
const QStringList kStackingTopFirst{
    "Picture1", "txtOtrosDesc", "Command2", "cmdGuardarPdf", "Text4", "Text3",
    "Text2", "Check1", "txtRecargoDec", "txtOtrosConceptosDec", "txtRemuneracionDec", "txtPesos",
    "txtBanco", "txtCheque", "txtOtrosConceptos", "txtRecargo", "txtRemuneracion", "txtCPersonal",
    "txtAnio", "txtMes", "txtCuit", "txtPcia", "txtLoc", "txtCP",
    "txtCalle", "txtNombre", "lblTitulo", "lblNroFactura", "Image1", "lblOtrosDesc",
    "Label24(4)", "Label24(3)", "Label23", "Line1", "lblMes", "lblNombre",
    "lblOtrosConceptos", "lblOtrosConceptosDec", "lblCalle", "lblLoc", "lblAnio", "lblPcia",
    "lblCP", "lblCPersonal", "lblRecargo", "lblCheque", "lblCUIT", "lblRecargoDec",
    "lblBanco", "lblRemuneracion", "lbl3", "lblRemuneracionDec", "lblPesos", "lbl4",
    "lbl2", "Label22", "Label21", "Label20", "Label19", "Label18",
    "Label17", "Label16", "Label15", "Label14", "Label9(3)", "Label9(2)",
    "Label9(1)", "Label13", "Label12", "Label11", "Label10", "Label9(0)",
    "Label8", "Label7", "Label6", "Label5", "Label3", "Label2",
    "Label4", "Text1", "txtRetencionDec", "txtRetencion", "TXTtotalDec", "txtTotal",
    "Label1", "Label24(2)", "Label24(1)", "Label24(0)"};
// clang-format on

// Focus order by rising tab index, wrapping round to the first box.
// clang-format off
const QStringList kTabOrder{
    "txtNombre", "txtCalle", "txtCP", "txtLoc", "txtPcia",
    "txtCuit", "txtMes", "txtAnio", "txtCPersonal", "txtRemuneracion",
    "txtRemuneracionDec", "txtRecargo", "txtRecargoDec", "txtOtrosConceptos", "txtOtrosConceptosDec",
    "Check1", "txtCheque", "txtBanco", "txtPesos", "Text2",
    "Text3", "Text4", "Command2", "txtOtrosDesc",
    "txtNombre",
};
// clang-format on

QString TextIn(const QWidget* widget) {
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) {
        return line->text();
    }
    if (auto* multi = qobject_cast<const QPlainTextEdit*>(widget)) {
        return multi->toPlainText();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    return {};
}

int HorizontalAlignment(const QWidget* widget) {
    Qt::Alignment align;
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) {
        align = line->alignment();
    } else if (auto* multi = qobject_cast<const QPlainTextEdit*>(widget)) {
        align = multi->document()->defaultTextOption().alignment();
    } else if (auto* label = qobject_cast<const QLabel*>(widget)) {
        align = label->alignment();
    }
    return int(align & Qt::AlignHorizontal_Mask);
}

bool HasFrame(const QWidget* widget) {
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) {
        return line->hasFrame();
    }
    if (auto* frame = qobject_cast<const QFrame*>(widget)) {
        return frame->frameShape() != QFrame::NoFrame;
    }
    return false;
}

QStringList Reversed(QStringList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

}  // namespace

class TestLayout : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void windowFrame();
    void entryBoxes_data();
    void entryBoxes();
    void printLabels_data();
    void printLabels();
    void outputLabels_data();
    void outputLabels();
    void staticCaptions_data();
    void staticCaptions();
    void otherControls_data();
    void otherControls();
    void stackingOrder();
    void tabOrder_data();
    void tabOrder();
    void freshWindow();
    void background_data();
    void background();

  private:
    // The control by its object name among the window's own children, after
    // checking the window hands out the same one by that name.
    QWidget* Find(const QString& name);
    // What every control of a row is checked for, whatever its group.
    void CheckCommon(QWidget* widget, const char* className, const QRect& geometry,
                     const QString& text, int pixelSize, int weight, bool visible);

    ScriptedPlatform platform_;
    std::unique_ptr<app::VoucherWindow> window_;
};

void TestLayout::initTestCase() {
    InitAssets();
    window_ = std::make_unique<app::VoucherWindow>(platform_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

QWidget* TestLayout::Find(const QString& name) {
    auto* widget = window_->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    if (widget && window_->control(name) != widget) {
        return nullptr;
    }
    return widget;
}

void TestLayout::CheckCommon(QWidget* widget, const char* className, const QRect& geometry,
                             const QString& text, int pixelSize, int weight, bool visible) {
    QCOMPARE(widget->metaObject()->className(), className);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(TextIn(widget), text);
    QCOMPARE(widget->font().pixelSize(), pixelSize);
    QCOMPARE(widget->font().weight(), weight);
    QCOMPARE(widget->font().bold(), weight >= QFont::Bold);
    QCOMPARE(widget->isVisible(), visible);
}

void TestLayout::windowFrame() {
    QCOMPARE(window_->windowTitle(), QString("Generador de Facturas"));
    QCOMPARE(window_->size(), QSize(670, 708));
    // The user cannot resize it.
    QCOMPARE(window_->minimumSize(), QSize(670, 708));
    QCOMPARE(window_->maximumSize(), QSize(670, 708));
    const Qt::WindowFlags flags = window_->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void TestLayout::entryBoxes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("blackOnWhite");

    QTest::newRow("txtNombre: establishment name, long, left")
        << "txtNombre" << QRect(216, 90, 313, 19) << kLeft << kNoLimit << "Establecimiento"
        << int(kFramed) << true;
    QTest::newRow("txtCalle: street, long, left")
        << "txtCalle" << QRect(184, 111, 345, 19) << kLeft << kNoLimit << "Calle y número"
        << int(kFramed) << true;
    QTest::newRow("txtCP: postal code, centred")
        << "txtCP" << QRect(152, 133, 65, 19) << kCentre << kNoLimit << "Código postal"
        << int(kFramed) << true;
    QTest::newRow("txtLoc: locality, centred") << "txtLoc" << QRect(248, 133, 105, 19) << kCentre
                                               << kNoLimit << "Localidad" << int(kFramed) << true;
    QTest::newRow("txtPcia: province, taller than its neighbours")
        << "txtPcia" << QRect(384, 133, 145, 27) << kCentre << kNoLimit << "Provincia"
        << int(kFramed) << true;
    QTest::newRow("txtCuit: C.U.I.T., 11 characters")
        << "txtCuit" << QRect(184, 155, 345, 19) << kLeft << 11 << "Número de C.U.I.T."
        << int(kFramed) << true;
    QTest::newRow("txtMes: month, 2 characters, first cell")
        << "txtMes" << QRect(136, 212, 105, 19) << kCentre << 2 << "Mes liquidado" << int(kFramed)
        << true;
    QTest::newRow("txtAnio: year, 4 characters, second cell")
        << "txtAnio" << QRect(256, 212, 81, 19) << kCentre << 4 << "Año liquidado" << int(kFramed)
        << true;
    QTest::newRow("txtCPersonal: staff, 3 characters, third cell")
        << "txtCPersonal" << QRect(352, 212, 81, 19) << kCentre << 3 << "Cantidad de personal"
        << int(kFramed) << true;
    QTest::newRow("txtRemuneracion: payroll pesos, 6 digits, right")
        << "txtRemuneracion" << QRect(440, 212, 57, 19) << kRight << 6
        << "Total de remuneración, pesos" << int(kFramed) << true;
    QTest::newRow("txtRemuneracionDec: payroll cents, 2 digits, left")
        << "txtRemuneracionDec" << QRect(504, 212, 25, 19) << kLeft << 2
        << "Total de remuneración, centavos" << int(kFramed) << true;
    QTest::newRow("txtRecargo: surcharge pesos, 4 digits, right")
        << "txtRecargo" << QRect(440, 272, 57, 19) << kRight << 4
        << "Recargo actualizado de intereses, pesos" << int(kFramed) << true;
    QTest::newRow("txtRecargoDec: surcharge cents, 2 digits, left")
        << "txtRecargoDec" << QRect(504, 272, 25, 19) << kLeft << 2
        << "Recargo actualizado de intereses, centavos" << int(kFramed) << true;
    QTest::newRow("txtOtrosConceptos: other concepts pesos, 4 digits, right")
        << "txtOtrosConceptos" << QRect(440, 368, 57, 19) << kRight << 4 << "Otros conceptos, pesos"
        << int(kFramed) << true;
    QTest::newRow("txtOtrosConceptosDec: other concepts cents, 2 digits, left")
        << "txtOtrosConceptosDec" << QRect(504, 368, 25, 19) << kLeft << 2
        << "Otros conceptos, centavos" << int(kFramed) << true;
    QTest::newRow("txtCheque: cheque number, centred, no limit")
        << "txtCheque" << QRect(192, 434, 161, 19) << kCentre << kNoLimit
        << "Número de cheque o giro" << int(kFramed) << true;
    QTest::newRow("txtBanco: cheque's bank, centred")
        << "txtBanco" << QRect(424, 434, 113, 19) << kCentre << kNoLimit << "Banco del cheque"
        << int(kFramed) << true;
    QTest::newRow("txtPesos: amount in words, multi-line")
        << "txtPesos" << QRect(192, 464, 329, 45) << kLeft << kMultiLine
        << "Son pesos, importe en letras" << int(kFramed) << true;
    QTest::newRow("Text2: deposit day opens the date line")
        << "Text2" << QRect(136, 512, 33, 19) << kCentre << kNoLimit << "Día del depósito"
        << int(kFramed) << true;
    QTest::newRow("Text3: deposit month") << "Text3" << QRect(192, 512, 65, 19) << kCentre
                                          << kNoLimit << "Mes del depósito" << int(kFramed) << true;
    QTest::newRow("Text4: deposit year, two pixels higher than the day")
        << "Text4" << QRect(296, 510, 33, 19) << kCentre << kNoLimit
        << "Año del depósito, dos últimas cifras" << int(kFramed) << true;
    // Its frame and colours are the desktop's own choice.
    QTest::newRow("txtOtrosDesc: description of other concepts, multi-line")
        << "txtOtrosDesc" << QRect(136, 320, 297, 68) << kLeft << kMultiLine
        << "Descripción de otros conceptos" << int(kEitherFrame) << false;
}

void TestLayout::entryBoxes() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(int, align);
    QFETCH(int, maxLength);
    QFETCH(QString, accessibleName);
    QFETCH(int, frame);
    QFETCH(bool, blackOnWhite);

    QWidget* box = Find(name);
    QVERIFY2(box, qPrintable(name + " is not the window's control of that name"));
    const char* className = maxLength == kMultiLine ? "QPlainTextEdit" : "QLineEdit";
    CheckCommon(box, className, geometry, QString(), kSmall, QFont::Normal, true);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(HorizontalAlignment(box), align);
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        QCOMPARE(line->maxLength(), maxLength);
    }
    // Screen readers announce what the box holds, pesos apart from cents.
    QCOMPARE(box->accessibleName(), accessibleName);
    if (frame != kEitherFrame) {
        QCOMPARE(HasFrame(box), frame == kFramed);
    }
    if (blackOnWhite) {
        QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::white));
    }
    QVERIFY(box->focusPolicy() & Qt::TabFocus);
}

void TestLayout::printLabels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("align");

    QTest::newRow("lblNombre under txtNombre") << "lblNombre" << QRect(216, 88, 313, 25) << kCentre;
    QTest::newRow("lblCalle under txtCalle") << "lblCalle" << QRect(184, 112, 345, 25) << kCentre;
    QTest::newRow("lblCP a little right of txtCP") << "lblCP" << QRect(160, 136, 57, 17) << kCentre;
    QTest::newRow("lblLoc under txtLoc") << "lblLoc" << QRect(248, 136, 105, 17) << kCentre;
    QTest::newRow("lblPcia under txtPcia") << "lblPcia" << QRect(384, 136, 145, 17) << kCentre;
    QTest::newRow("lblCUIT under txtCuit, left") << "lblCUIT" << QRect(184, 160, 345, 25) << kLeft;
    QTest::newRow("lblMes under txtMes") << "lblMes" << QRect(136, 216, 105, 25) << kCentre;
    QTest::newRow("lblAnio under txtAnio") << "lblAnio" << QRect(256, 216, 81, 25) << kCentre;
    QTest::newRow("lblCPersonal under txtCPersonal")
        << "lblCPersonal" << QRect(352, 216, 81, 25) << kCentre;
    QTest::newRow("lblRemuneracion under payroll pesos, right")
        << "lblRemuneracion" << QRect(440, 216, 57, 25) << kRight;
    QTest::newRow("lblRemuneracionDec under payroll cents, left")
        << "lblRemuneracionDec" << QRect(504, 216, 25, 25) << kLeft;
    QTest::newRow("lblRecargo under surcharge pesos, right")
        << "lblRecargo" << QRect(440, 274, 57, 25) << kRight;
    QTest::newRow("lblRecargoDec under surcharge cents, left")
        << "lblRecargoDec" << QRect(504, 274, 25, 25) << kLeft;
    QTest::newRow("lblOtrosConceptos under other concepts pesos, right")
        << "lblOtrosConceptos" << QRect(440, 368, 57, 25) << kRight;
    QTest::newRow("lblOtrosConceptosDec under other concepts cents, left")
        << "lblOtrosConceptosDec" << QRect(504, 368, 25, 25) << kLeft;
    QTest::newRow("lblCheque a little right of txtCheque")
        << "lblCheque" << QRect(200, 432, 161, 25) << kCentre;
    QTest::newRow("lblBanco under txtBanco") << "lblBanco" << QRect(424, 432, 113, 25) << kCentre;
    QTest::newRow("lblPesos one line, centred, under txtPesos")
        << "lblPesos" << QRect(200, 464, 329, 25) << kCentre;
    QTest::newRow("lbl2 under the deposit day") << "lbl2" << QRect(136, 512, 33, 25) << kCentre;
    QTest::newRow("lbl3 under the deposit month") << "lbl3" << QRect(192, 512, 65, 25) << kCentre;
    QTest::newRow("lbl4 under the deposit year, left")
        << "lbl4" << QRect(293, 512, 33, 25) << kLeft;
    QTest::newRow("lblOtrosDesc under the description, left")
        << "lblOtrosDesc" << QRect(136, 320, 297, 65) << kLeft;
}

void TestLayout::printLabels() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(int, align);

    QWidget* label = Find(name);
    QVERIFY2(label, qPrintable(name + " is not the window's control of that name"));
    // Visible but empty and see-through, so nothing of them shows while entering.
    CheckCommon(label, "QLabel", geometry, QString(), kSmall, QFont::Normal, true);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(HorizontalAlignment(label), align);
    QVERIFY(!label->autoFillBackground());
    QVERIFY(!HasFrame(label));
}

void TestLayout::outputLabels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("align");

    QTest::newRow("txtRetencion: contribution pesos, right")
        << "txtRetencion" << QRect(440, 250, 57, 18) << kRight;
    QTest::newRow("txtRetencionDec: contribution cents, left")
        << "txtRetencionDec" << QRect(504, 250, 25, 18) << kLeft;
    QTest::newRow("txtTotal: total pesos, right")
        << "txtTotal" << QRect(440, 399, 57, 19) << kRight;
    QTest::newRow("TXTtotalDec: total cents, left")
        << "TXTtotalDec" << QRect(504, 399, 25, 19) << kLeft;
    QTest::newRow("Text1: payment code text, left") << "Text1" << QRect(224, 592, 307, 17) << kLeft;
}

void TestLayout::outputLabels() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(int, align);

    QWidget* label = Find(name);
    QVERIFY2(label, qPrintable(name + " is not the window's control of that name"));
    // Empty at start: no amounts and no code until the user earns them.
    CheckCommon(label, "QLabel", geometry, QString(), kSmall, QFont::Normal, true);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(HorizontalAlignment(label), align);
    // They look like entry boxes: white, opaque and framed.
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(HasFrame(label));
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
}

void TestLayout::staticCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("weight");

    const int regular = QFont::Normal;
    QTest::newRow("Label2: establishment")
        << "Label2" << QRect(136, 88, 113, 25) << "Establecimiento:" << kLeft << kSmall << regular;
    QTest::newRow("Label8: street")
        << "Label8" << QRect(136, 112, 113, 25) << "Calle y Nº:" << kLeft << kSmall << regular;
    QTest::newRow("Label12: postal code, narrow")
        << "Label12" << QRect(136, 136, 41, 25) << "C.P:" << kLeft << kSmall << regular;
    QTest::newRow("Label10: locality")
        << "Label10" << QRect(224, 136, 113, 25) << "Loc:" << kLeft << kSmall << regular;
    QTest::newRow("Label9(0): province")
        << "Label9(0)" << QRect(360, 136, 113, 25) << "Pcia:" << kLeft << kSmall << regular;
    QTest::newRow("Label11: C.U.I.T.")
        << "Label11" << QRect(136, 160, 113, 25) << "C.U.I.T Nº" << kLeft << kSmall << regular;
    QTest::newRow("Label7: month heading, centred")
        << "Label7" << QRect(136, 184, 113, 25) << "MES LIQUIDADO" << kCentre << kSmall << regular;
    QTest::newRow("Label6: year heading, centred")
        << "Label6" << QRect(248, 184, 97, 25) << "AÑO" << kCentre << kSmall << regular;
    QTest::newRow("Label5: staff heading, centred")
        << "Label5" << QRect(344, 184, 89, 25) << "CANTIDAD PERSONAL" << kCentre << kSmall
        << regular;
    QTest::newRow("Label3: payroll heading, centred")
        << "Label3" << QRect(432, 184, 113, 25) << "TOTAL DE REMUNERACION" << kCentre << kSmall
        << regular;
    QTest::newRow("Label13: contribution, with its grave accent")
        << "Label13" << QRect(136, 248, 217, 25) << "Contribuciòn Empresarial 1.5%" << kLeft
        << kSmall << regular;
    QTest::newRow("Label9(1): surcharge")
        << "Label9(1)" << QRect(136, 272, 321, 25) << "Recargo Actualizado de intereses" << kLeft
        << kSmall << regular;
    QTest::newRow("Label9(2): other concepts") << "Label9(2)" << QRect(136, 296, 113, 25)
                                               << "Otros Conceptos:" << kLeft << kSmall << regular;
    QTest::newRow("Label9(3): total, larger and bold")
        << "Label9(3)" << QRect(376, 400, 73, 25) << "Total $" << kLeft << kTotalCaption
        << int(QFont::Bold);
    QTest::newRow("Label20: cash")
        << "Label20" << QRect(136, 416, 113, 25) << "Efectivo" << kLeft << kSmall << regular;
    QTest::newRow("Label19: cheque")
        << "Label19" << QRect(136, 432, 65, 25) << "Cheque Nº Giro" << kLeft << kSmall << regular;
    QTest::newRow("Label17: bank")
        << "Label17" << QRect(384, 432, 89, 25) << "Banco" << kLeft << kSmall << regular;
    QTest::newRow("Label18: amount in words")
        << "Label18" << QRect(136, 464, 113, 25) << "Son Pesos" << kLeft << kSmall << regular;
    QTest::newRow("Label16: date line, first \"de\"")
        << "Label16" << QRect(176, 512, 65, 25) << "de" << kLeft << kSmall << regular;
    QTest::newRow("Label15: date line, \"de 20\"")
        << "Label15" << QRect(264, 512, 113, 25) << "de 20" << kLeft << kSmall << regular;
    QTest::newRow("Label21: bank branch") << "Label21" << QRect(152, 536, 113, 25)
                                          << "(Casa del Banco)" << kLeft << kSmall << regular;
    QTest::newRow("Label22: stamp on the back")
        << "Label22" << QRect(160, 568, 113, 25) << "SELLAR AL DORSO" << kLeft << kSmall << regular;
    QTest::newRow("Label14: depositor's signature")
        << "Label14" << QRect(384, 568, 153, 25) << "FIRMA DEL DEPOSITANTE" << kLeft << kSmall
        << regular;
    QTest::newRow("Label23: payment code caption, shorter")
        << "Label23" << QRect(136, 592, 89, 17) << "Codigo de pago:" << kLeft << kSmall << regular;
    QTest::newRow("Label24(2): payroll decimal comma")
        << "Label24(2)" << QRect(499, 216, 9, 25) << "," << kLeft << kSmall << regular;
    QTest::newRow("Label24(0): contribution decimal comma")
        << "Label24(0)" << QRect(499, 256, 9, 25) << "," << kLeft << kSmall << regular;
    QTest::newRow("Label24(1): surcharge decimal comma")
        << "Label24(1)" << QRect(499, 280, 9, 25) << "," << kLeft << kSmall << regular;
    QTest::newRow("Label24(3): other concepts decimal comma, 3 px further left")
        << "Label24(3)" << QRect(496, 374, 9, 25) << "," << kLeft << kSmall << regular;
    QTest::newRow("Label24(4): total decimal comma, 3 px further left")
        << "Label24(4)" << QRect(496, 406, 9, 25) << "," << kLeft << kSmall << regular;
}

void TestLayout::staticCaptions() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(int, align);
    QFETCH(int, pixelSize);
    QFETCH(int, weight);

    QWidget* label = Find(name);
    QVERIFY2(label, qPrintable(name + " is not the window's control of that name"));
    CheckCommon(label, "QLabel", geometry, caption, pixelSize, weight, true);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(HorizontalAlignment(label), align);
    // Drawn straight onto the voucher picture.
    QVERIFY(!label->autoFillBackground());
    QVERIFY(!HasFrame(label));
}

void TestLayout::otherControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("align");  // 0: the control has no text alignment
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("opaque");

    const int regular = QFont::Normal;
    QTest::newRow("lblTitulo: copy title, visible and empty")
        << "lblTitulo" << QByteArray("QLabel") << QRect(184, 0, 313, 17) << "" << kCentre << kTitle
        << regular << true << false;
    QTest::newRow("lblNroFactura: copy number, huge, hidden")
        << "lblNroFactura" << QByteArray("QLabel") << QRect(120, 0, 89, 81) << "1" << kCentre
        << kCopyNumber << int(QFont::Black) << false << false;
    QTest::newRow("Command2: print button on the white strip")
        << "Command2" << QByteArray("QPushButton") << QRect(568, 296, 81, 33) << "IMPRIMIR" << 0
        << kSmall << regular << true << false;
    QTest::newRow("cmdGuardarPdf: PDF button under the print button")
        << "cmdGuardarPdf" << QByteArray("QPushButton") << QRect(568, 336, 81, 33) << "GUARDAR PDF"
        << 0 << kSmall << regular << true << false;
    QTest::newRow("Check1: cash box, no caption, white")
        << "Check1" << QByteArray("QCheckBox") << QRect(176, 416, 17, 17) << "" << 0 << kSmall
        << regular << true << true;
    QTest::newRow("Line1: signature line, one pixel high")
        << "Line1" << QByteArray("app::Rule") << QRect(368, 560, 160, 1) << "" << 0 << kSmall
        << regular << true << false;
    QTest::newRow("Image1: barcode image under the frame")
        << "Image1" << QByteArray("app::StretchedImage") << QRect(128, 620, 409, 81) << "" << 0
        << kSmall << regular << true << false;
    QTest::newRow("Picture1: barcode canvas, hidden until drawn")
        << "Picture1" << QByteArray("app::Canvas") << QRect(136, 628, 393, 57) << "" << 0 << kSmall
        << regular << false << false;
    QTest::newRow("Label4: white patch beside the cash box")
        << "Label4" << QByteArray("QLabel") << QRect(304, 416, 25, 49) << "" << kLeft << kSmall
        << regular << true << true;
    QTest::newRow("Label1: white strip above the bank branch")
        << "Label1" << QByteArray("QLabel") << QRect(160, 536, 185, 9) << "" << kLeft << kSmall
        << regular << true << true;
}

void TestLayout::otherControls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, className);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(int, align);
    QFETCH(int, pixelSize);
    QFETCH(int, weight);
    QFETCH(bool, visible);
    QFETCH(bool, opaque);

    QWidget* widget = Find(name);
    QVERIFY2(widget, qPrintable(name + " is not the window's control of that name"));
    CheckCommon(widget, className.constData(), geometry, text, pixelSize, weight, visible);
    if (QTest::currentTestFailed()) {
        return;
    }
    if (align != 0) {
        QCOMPARE(HorizontalAlignment(widget), align);
    }
    QCOMPARE(widget->autoFillBackground(), opaque);
    if (opaque) {
        QCOMPARE(widget->palette().color(widget->backgroundRole()), QColor(Qt::white));
    }
    if (qobject_cast<QLabel*>(widget)) {
        QVERIFY(!HasFrame(widget));
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        // Enter and Escape in a box must never start a print run.
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestLayout::stackingOrder() {
    // Qt paints later siblings over earlier ones.
    QStringList bottomToTop;
    for (QObject* child : window_->children()) {
        if (child->isWidgetType()) {
            bottomToTop << child->objectName();
        }
    }
    QCOMPARE(bottomToTop, Reversed(kStackingTopFirst));
}

void TestLayout::tabOrder_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("canvasShown");
    QTest::addColumn<QStringList>("visits");

    QTest::newRow("Tab goes by rising tab index, skips the hidden canvas, wraps round")
        << int(Qt::NoModifier) << false << kTabOrder;
    QTest::newRow("Shift+Tab goes the same way backwards")
        << int(Qt::ShiftModifier) << false << Reversed(kTabOrder);
    QStringList withCanvas = kTabOrder;
    withCanvas.insert(withCanvas.size() - 1, "Picture1");
    QTest::newRow("Tab visits the canvas after txtOtrosDesc while it is shown")
        << int(Qt::NoModifier) << true << withCanvas;
}

void TestLayout::tabOrder() {
    QFETCH(int, modifiers);
    QFETCH(bool, canvasShown);
    QFETCH(QStringList, visits);

    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    if (canvasShown) {
        window.control(QStringLiteral("Picture1"))->show();
    }
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList visited;
    for (qsizetype i = 0; i < visits.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus, qPrintable("nothing has the focus after " + visited.join(", ")));
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab, Qt::KeyboardModifiers(modifiers));
    }
    QCOMPARE(visited, visits);
    // Leaving the amount boxes empty recomputes without asking the user anything.
    QCOMPARE(platform.messages.size(), std::size_t(0));
}

void TestLayout::freshWindow() {
    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.control(QStringLiteral("txtNombre")));
    // No barcode yet, and the cash box clear.
    auto* image = window.control<app::StretchedImage>(QStringLiteral("Image1"));
    QVERIFY(image);
    QVERIFY(image->image().isNull());
    auto* cash = window.control<QCheckBox>(QStringLiteral("Check1"));
    QVERIFY(cash);
    QVERIFY(!cash->isChecked());
    QVERIFY(platform.messages.empty());
    QVERIFY(platform.printed.empty());
}

void TestLayout::background_data() {
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");

    const QColor black(Qt::black);
    const QColor white(Qt::white);
    QTest::newRow("voucher frame, top-left corner") << QPoint(129, 86) << black;
    QTest::newRow("just outside the frame's corner") << QPoint(128, 85) << white;
    QTest::newRow("frame's left edge") << QPoint(129, 400) << black;
    // Drawn at its own size: stretched to the window these rules would move.
    QTest::newRow("frame's right edge at picture column 539") << QPoint(539, 300) << black;
    QTest::newRow("frame's bottom edge at picture row 616") << QPoint(300, 616) << black;
    QTest::newRow("rule under the column headings") << QPoint(535, 180) << black;
    QTest::newRow("rule between headings and values") << QPoint(535, 210) << black;
    QTest::newRow("rule under the column values") << QPoint(535, 233) << black;
    QTest::newRow("column rule between month and year") << QPoint(247, 232) << black;
    QTest::newRow("amounts column rule below the cells") << QPoint(437, 350) << black;
    QTest::newRow("inside the frame, blank") << QPoint(530, 500) << white;
    QTest::newRow("white strip right of the picture") << QPoint(620, 100) << white;
    QTest::newRow("white strip, bottom-right corner") << QPoint(669, 707) << white;
    QTest::newRow("below the frame, last client row") << QPoint(300, 707) << white;
}

void TestLayout::background() {
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);

    // Only where no control lies, so that the pixel is the picture's.
    if (const QWidget* cover = window_->childAt(pixel)) {
        QFAIL(qPrintable(cover->objectName() + " covers the probe"));
    }
    const QImage shot = window_->grab().toImage();
    QCOMPARE(shot.size(), QSize(670, 708));
    QCOMPARE(shot.pixelColor(pixel), colour);
}

QTEST_MAIN(TestLayout)
#include "TestLayout.moc"
