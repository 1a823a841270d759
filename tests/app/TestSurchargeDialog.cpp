// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "KeyScript.h"
#include "MemoryStore.h"
#include "VoucherFixture.h"
#include "app/KeyEvents.h"
#include "app/Layout.h"
#include "app/SurchargeAction.h"
#include "app/SurchargeDialog.h"

namespace {

QString DaysAgo(int days) {
    return QDate::currentDate().addDays(-days).toString(QStringLiteral("dd/MM/yyyy"));
}

// Every entry box's and computed label's text, to see that nothing changed.
QHash<QString, QString> Texts(const app::VoucherWindow& window) {
    QHash<QString, QString> texts;
    for (const app::Control& control : app::VoucherControls()) {
        const QString name = QString::fromUtf8(control.name);
        texts.insert(name, window.text(name));
    }
    return texts;
}

}  // namespace

// The surcharge helper: Ctrl+R opens a dialog that works the surcharge out
// and, on Aceptar, types it into the Recargo boxes as a person would.
class TestSurchargeDialog : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void followsEveryEdit_data();
    void followsEveryEdit();
    void opensWithTheContributionAndToday();
    void acceptTypesThroughTheKeyRulesByKeyboardAlone();
    void overTheLimitIsToldAndNothingTyped();
    void cancelChangesNothing();
    void opensFromEveryBoxWithoutTypingIntoIt_data();
    void opensFromEveryBoxWithoutTypingIntoIt();
    void recargoMenusOfferIt_data();
    void recargoMenusOfferIt();
    void proposesAndRemembersTheRate();
    void aFailingMemoryStopsNothing();
    void theRegisterRemembersTheRate();
    void everyControlIsNamed();

  private:
    app::SurchargeDialog* open();
    QLineEdit* field(const char* name) const {
        return dialog()->findChild<QLineEdit*>(QString::fromUtf8(name));
    }
    QString shown(const char* name) const {
        return dialog()->findChild<QLabel*>(QString::fromUtf8(name))->text();
    }
    app::SurchargeDialog* dialog() const { return window->surcharge().dialog(); }
    void press(const char* button) {
        dialog()->findChild<QPushButton*>(QString::fromUtf8(button))->click();
    }

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestSurchargeDialog::init() {
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    FillValidVoucher(*window);  // contribution 1861,85, total 1881,69
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestSurchargeDialog::cleanup() {
    window.reset();
    platform.reset();
}

// Ctrl+R where the focus is, and the dialog once it has the focus.
app::SurchargeDialog* TestSurchargeDialog::open() {
    // A dialog just closed may leave the window to be activated again.
    if (!QApplication::focusWidget()) {
        window->activateWindow();
        if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; })) {
            return nullptr;
        }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
    app::SurchargeDialog* opened = dialog();
    if (!opened ||
        !QTest::qWaitFor([opened] { return opened->isAncestorOf(QApplication::focusWidget()); })) {
        return nullptr;
    }
    return opened;
}

void TestSurchargeDialog::followsEveryEdit_data() {
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("typeable");
    QTest::newRow("17 days at 2,5 %") << DaysAgo(17) << "2,5"
                                      << "1861,85"
                                      << "17"
                                      << "1.861,85 × 2,5 ÷ 100 × 17 ÷ 30 = 26,38"
                                      << "26,38" << true;
    QTest::newRow("due today: 0 days, not late")
        << DaysAgo(0) << "3"
        << "1861,85"
        << QStringLiteral("0 (sin atraso: el pago del %1 no es posterior al vencimiento del %1)")
               .arg(DaysAgo(0))
        << "1.861,85 × 3 ÷ 100 × 0 ÷ 30 = 0,00"
        << "0,00" << true;
    QTest::newRow("over 9.999,99")
        << DaysAgo(30) << "100"
        << "10000"
        << "30"
        << "10.000,00 × 100 ÷ 100 × 30 ÷ 30 = 10.000,00"
        << "El recargo de 10.000,00 supera el máximo de 9.999,99" << false;
    QTest::newRow("no rate yet: the rate is the user's")
        << DaysAgo(5) << ""
        << "1861,85"
        << "5"
        << ""
        << "Tasa: falta la tasa mensual en por ciento" << false;
    QTest::newRow("a date that is not in the calendar")
        << "31/04/2026"
        << "3"
        << "1861,85"
        << ""
        << ""
        << "Vencimiento: «31/04/2026» no es una fecha del calendario" << false;
}

void TestSurchargeDialog::followsEveryEdit() {
    QFETCH(QString, due);
    QFETCH(QString, rate);
    QFETCH(QString, base);
    QFETCH(QString, days);
    QFETCH(QString, formula);
    QFETCH(QString, result);
    QFETCH(bool, typeable);
    QVERIFY(open());
    field("base")->clear();
    QTest::keyClicks(field("vencimiento"), due);
    QTest::keyClicks(field("tasa"), rate);
    QTest::keyClicks(field("base"), base);
    QCOMPARE(shown("diasAtraso"), days);
    QCOMPARE(shown("calculo"), formula);
    QCOMPARE(shown("recargo"), result);
    QCOMPARE(dialog()->result().has_value(), typeable);
    // Screen readers get the figure with the label's name.
    QCOMPARE(dialog()->findChild<QLabel*>(QStringLiteral("recargo"))->accessibleDescription(),
             result);
}

void TestSurchargeDialog::opensWithTheContributionAndToday() {
    window->control(QStringLiteral("txtNombre"))->setFocus();
    QVERIFY(open());
    QCOMPARE(field("base")->text(), QStringLiteral("1861,85"));
    QCOMPARE(field("fechaPago")->text(), DaysAgo(0));
    QCOMPARE(field("tasa")->text(), QString());  // never a rate of the program's own
    QCOMPARE(field("vencimiento")->text(), QString());
    QCOMPARE(QApplication::focusWidget(), field("vencimiento"));
    QVERIFY(dialog()->isModal());
}

void TestSurchargeDialog::acceptTypesThroughTheKeyRulesByKeyboardAlone() {
    QVERIFY(open());
    // Due date, Tab past the payment date (today), the rate, Enter.
    PlayKeys(DaysAgo(17) + QStringLiteral("{Tab}{Tab}2,5{Enter}"));
    QTRY_VERIFY(!dialog());
    QCOMPARE(window->text(QStringLiteral("txtRecargo")), QStringLiteral("26"));
    QCOMPARE(window->text(QStringLiteral("txtRecargoDec")), QStringLiteral("38"));
    // The total follows at once: 1861,85 + 26,38 + 7,50.
    QCOMPARE(window->text(QStringLiteral("txtTotal")), QStringLiteral("1895"));
    QCOMPARE(window->text(QStringLiteral("TXTtotalDec")), QStringLiteral("73"));
    // Typed, not set: one undo gives each box its old figure back.
    auto* pesos = window->control<QLineEdit>(QStringLiteral("txtRecargo"));
    QCOMPARE(window->focusWidget(), pesos);  // where the result went
    QTest::keyClick(pesos, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(pesos->text(), QStringLiteral("12"));
    auto* cents = window->control<QLineEdit>(QStringLiteral("txtRecargoDec"));
    QTest::keyClick(cents, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(cents->text(), QStringLiteral("34"));
    QVERIFY(platform->messages.empty());
}

void TestSurchargeDialog::overTheLimitIsToldAndNothingTyped() {
    const QHash<QString, QString> before = Texts(*window);
    QVERIFY(open());
    field("base")->setText(QStringLiteral("10000"));
    QTest::keyClicks(field("vencimiento"), DaysAgo(30));
    QTest::keyClicks(field("tasa"), QStringLiteral("100"));
    press("aceptar");
    QCOMPARE(platform->messageTexts(),
             QStringList{QStringLiteral("El recargo de 10.000,00 supera el máximo de 9.999,99. "
                                        "No se escribió ningún recargo.")});
    QVERIFY(dialog() && dialog()->isVisible());  // open for a correction
    QCOMPARE(Texts(*window), before);
    press("cancelar");
    QTRY_VERIFY(!dialog());
    QCOMPARE(Texts(*window), before);
}

void TestSurchargeDialog::cancelChangesNothing() {
    const QHash<QString, QString> before = Texts(*window);
    QVERIFY(open());
    PlayKeys(DaysAgo(17) + QStringLiteral("{Tab}{Tab}2,5"));
    QVERIFY(dialog()->result());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!dialog());
    QCOMPARE(Texts(*window), before);
    QVERIFY(platform->messages.empty());
}

void TestSurchargeDialog::opensFromEveryBoxWithoutTypingIntoIt_data() {
    QTest::addColumn<QString>("box");
    for (const app::Control& control : app::VoucherControls()) {
        if (control.kind == app::Kind::Entry || control.kind == app::Kind::MultiEntry) {
            QTest::newRow(control.name) << QString::fromUtf8(control.name);
        }
    }
}

// Ctrl+R is no key any box takes (it would have typed or done something
// there), and no other shortcut of the window's.
void TestSurchargeDialog::opensFromEveryBoxWithoutTypingIntoIt() {
    QFETCH(QString, box);
    QWidget* target = window->control(box);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    const QString before = window->text(box);
    QVERIFY(open());
    press("cancelar");
    QTRY_VERIFY(!dialog());
    QCOMPARE(window->text(box), before);
    QVERIFY(platform->messages.empty());
}

void TestSurchargeDialog::recargoMenusOfferIt_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("pesos") << "txtRecargo";
    QTest::newRow("cents") << "txtRecargoDec";
}

void TestSurchargeDialog::recargoMenusOfferIt() {
    QFETCH(QString, box);
    auto* filter =
        window->control(box)->findChild<app::KeyFilter*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(filter);
    std::unique_ptr<QMenu> menu(filter->CreateContextMenu(QPoint(2, 2)));
    QAction* offered = menu->actions().last();
    QCOMPARE(offered->text(), QStringLiteral("Calcular recargo…"));
    QCOMPARE(offered->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    offered->trigger();
    QVERIFY(dialog());
    press("cancelar");
    QTRY_VERIFY(!dialog());
}

void TestSurchargeDialog::proposesAndRemembersTheRate() {
    QStringList remembered;
    window->surcharge().SetRateMemory({[] { return QStringLiteral("3.5"); },
                                       [&remembered](const QString& rate) { remembered << rate; }});
    QVERIFY(open());
    QCOMPARE(field("tasa")->text(), QStringLiteral("3.5"));
    QTest::keyClicks(field("vencimiento"), DaysAgo(10));
    press("aceptar");
    QTRY_VERIFY(!dialog());
    // 1861,85 × 3,5 % × 10 / 30 = 21,72.
    QCOMPARE(window->text(QStringLiteral("txtRecargo")), QStringLiteral("21"));
    QCOMPARE(window->text(QStringLiteral("txtRecargoDec")), QStringLiteral("72"));
    QCOMPARE(remembered, QStringList{QStringLiteral("3,5")});

    // Cancelled, the rate typed is not kept.
    QVERIFY(open());
    field("tasa")->setText(QStringLiteral("4"));
    press("cancelar");
    QTRY_VERIFY(!dialog());
    QCOMPARE(remembered, QStringList{QStringLiteral("3,5")});
}

void TestSurchargeDialog::aFailingMemoryStopsNothing() {
    window->surcharge().SetRateMemory(
        {[]() -> QString { throw std::runtime_error("sin base de datos"); },
         [](const QString&) { throw std::runtime_error("sin base de datos"); }});
    QVERIFY(open());
    QCOMPARE(field("tasa")->text(), QString());
    QTest::keyClicks(field("vencimiento"), DaysAgo(17));
    QTest::keyClicks(field("tasa"), QStringLiteral("2,5"));
    press("aceptar");
    QTRY_VERIFY(!dialog());
    QCOMPARE(window->text(QStringLiteral("txtRecargo")), QStringLiteral("26"));
}

// With a store, the rate last accepted is the one the next dialog proposes,
// as the store remembers it (beside the window, across windows).
void TestSurchargeDialog::theRegisterRemembersTheRate() {
    MemoryStore store;
    window->setStore(&store);
    QVERIFY(open());
    QCOMPARE(field("tasa")->text(), QString());
    QTest::keyClicks(field("vencimiento"), DaysAgo(10));
    QTest::keyClicks(field("tasa"), QStringLiteral("3,5"));
    press("aceptar");
    QTRY_VERIFY(!dialog());
    QCOMPARE(store.Setting(QStringLiteral("tasa_recargo")), QStringLiteral("3,5"));

    app::VoucherWindow another(*platform);
    another.setStore(&store);
    FillValidVoucher(another);
    another.show();
    QVERIFY(QTest::qWaitForWindowActive(&another));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(another.surcharge().dialog() != nullptr);
    QCOMPARE(another.surcharge().dialog()->findChild<QLineEdit*>(QStringLiteral("tasa"))->text(),
             QStringLiteral("3,5"));
    another.surcharge().dialog()->reject();
    window->setStore(nullptr);
}

void TestSurchargeDialog::everyControlIsNamed() {
    QVERIFY(open());
    int focusable = 0;
    for (QWidget* widget : dialog()->findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisible()) {
            continue;
        }
        ++focusable;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(face && !face->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(widget->objectName()));
    }
    // Four fields, three figures, two buttons.
    QCOMPARE(focusable, 9);
}

QTEST_MAIN(TestSurchargeDialog)
#include "TestSurchargeDialog.moc"
