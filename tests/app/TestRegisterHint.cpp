// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>
#include <memory>

#include "KeyScript.h"
#include "MemoryStore.h"
#include "VoucherFixture.h"
#include "app/EntryNotices.h"
#include "app/KeyEvents.h"
#include "app/RegisterHint.h"

namespace {

using Boxes = QList<std::pair<QString, QString>>;

const QString kCuit = QStringLiteral("20123456786");  // its check digit is right
const QStringList kEmployerBoxes{"txtNombre", "txtCalle", "txtCP", "txtLoc", "txtPcia"};

history::Employer Registered(const QString& name, const QString& street, const QString& cp,
                             const QString& town, const QString& province) {
    return {kCuit, name, street, cp, town, province};
}

}  // namespace

// The register's offer on the C.U.I.T. box: shown when the box is left with
// a registered C.U.I.T. and no employer data typed, taken with Ctrl+E or the
// box's menu into the empty boxes only, through their key rules; never a
// dialog, never on paper.
class TestRegisterHint : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void hintWhenTheCuitIsLeft_data();
    void hintWhenTheCuitIsLeft();
    void hintJoinsTheCheckDigitRemark();
    void hintGoes_data();
    void hintGoes();
    void takingTypesThroughTheRules_data();
    void takingTypesThroughTheRules();
    void shortcutWorksFromEveryBox_data();
    void shortcutWorksFromEveryBox();
    void contextMenuEndsWithTheOffer();
    void hintIsNeverPrinted();

  private:
    // Types the C.U.I.T. into its box and leaves it with Tab.
    void LeaveCuit(const QString& cuit);

    std::unique_ptr<ScriptedPlatform> platform_;
    std::unique_ptr<app::VoucherWindow> window_;
    MemoryStore store_;
};

void TestRegisterHint::init() {
    platform_ = std::make_unique<ScriptedPlatform>();
    window_ = std::make_unique<app::VoucherWindow>(*platform_);
    store_ = MemoryStore();
    store_.Register(
        Registered("Taller Norte", "Av. Corrientes 1234", "1043", "Caba", "Buenos Aires"));
    window_->setStore(&store_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void TestRegisterHint::cleanup() {
    window_.reset();
    platform_.reset();
}

void TestRegisterHint::LeaveCuit(const QString& cuit) {
    window_->control("txtCuit")->setFocus();
    PlayKeys(cuit + "{Tab}");
    QCOMPARE(window_->text("txtCuit"), cuit);
    QCOMPARE(QApplication::focusWidget(), window_->control("txtMes"));
}

void TestRegisterHint::hintWhenTheCuitIsLeft_data() {
    QTest::addColumn<QString>("cuit");
    QTest::addColumn<Boxes>("typed");
    QTest::addColumn<bool>("withStore");
    QTest::addColumn<QString>("readFailure");
    QTest::addColumn<bool>("shown");
    QTest::newRow("registered, employer boxes empty: offered")
        << kCuit << Boxes{} << true << "" << true;
    QTest::newRow("not registered: nothing") << "20987654326" << Boxes{} << true << "" << false;
    QTest::newRow("a name typed already: nothing")
        << kCuit << Boxes{{"txtNombre", "Otro"}} << true << "" << false;
    QTest::newRow("only the province typed: nothing")
        << kCuit << Boxes{{"txtPcia", "Salta"}} << true << "" << false;
    QTest::newRow("no register: nothing") << kCuit << Boxes{} << false << "" << false;
    QTest::newRow("register out of reach: nothing, no dialog")
        << kCuit << Boxes{} << true << "la base de datos está bloqueada" << false;
}

void TestRegisterHint::hintWhenTheCuitIsLeft() {
    QFETCH(QString, cuit);
    QFETCH(Boxes, typed);
    QFETCH(bool, withStore);
    QFETCH(QString, readFailure);
    QFETCH(bool, shown);
    if (!withStore) {
        window_->setStore(nullptr);
    }
    store_.readFailure = readFailure;
    for (const auto& [name, text] : typed) {
        window_->setText(name, text);
    }
    LeaveCuit(cuit);
    QWidget* box = window_->control("txtCuit");
    const QString hint = app::RegisterHint::Text();
    QCOMPARE(window_->registerHint().text(), shown ? hint : QString());
    QCOMPARE(window_->notices().cuitNotice().text(), shown ? hint : QString());
    QCOMPARE(box->toolTip(), shown ? hint : QString());
    QCOMPARE(box->accessibleDescription(), shown ? hint : QString());
    QVERIFY(platform_->messages.empty());
    for (const QString& name : kEmployerBoxes) {
        QCOMPARE(window_->text(name), typed.isEmpty() ? QString() : window_->text(name));
    }
}

void TestRegisterHint::hintJoinsTheCheckDigitRemark() {
    // A C.U.I.T. registered with a wrong check digit: both remarks stand,
    // and the hint going leaves the check digit's.
    const QString wrong = QStringLiteral("20123456781");
    history::Employer employer = Registered("Taller", "Mitre 5", "1406", "Caba", "Caba");
    employer.cuit = wrong;
    store_.Register(employer);
    LeaveCuit(wrong);
    const QString digit = window_->notices().cuitNotice().text().section(u'\n', 0, 0);
    QVERIFY2(digit.contains("dígito verificador"), qPrintable(digit));
    QCOMPARE(window_->notices().cuitNotice().text(), digit + "\n" + app::RegisterHint::Text());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(window_->text("txtNombre"), QString("Taller"));
    QCOMPARE(window_->notices().cuitNotice().text(), digit);
}

void TestRegisterHint::hintGoes_data() {
    QTest::addColumn<QString>("then");
    QTest::newRow("the C.U.I.T. changed") << "cuit";
    QTest::newRow("a name typed") << "name";
    QTest::newRow("the offer taken") << "take";
    QTest::newRow("the register turned off") << "off";
}

void TestRegisterHint::hintGoes() {
    QFETCH(QString, then);
    LeaveCuit(kCuit);
    QVERIFY(!window_->registerHint().text().isEmpty());
    if (then == "cuit") {
        window_->control("txtCuit")->setFocus();
        PlayKeys("{Backspace}");
    } else if (then == "name") {
        window_->control("txtNombre")->setFocus();
        PlayKeys("t");
    } else if (then == "take") {
        PlayKeys("");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
    } else {
        window_->setStore(nullptr);
    }
    QCOMPARE(window_->registerHint().text(), QString());
    QCOMPARE(window_->control("txtCuit")->toolTip(), QString());
}

void TestRegisterHint::takingTypesThroughTheRules_data() {
    QTest::addColumn<history::Employer>("registered");
    QTest::addColumn<Boxes>("typed");
    QTest::addColumn<Boxes>("expected");
    QTest::newRow("as registered")
        << Registered("Taller Norte", "Av. Corrientes 1234", "1043", "Caba", "Buenos Aires")
        << Boxes{}
        << Boxes{{"txtNombre", "Taller Norte"},
                 {"txtCalle", "Av. Corrientes 1234"},
                 {"txtCP", "1043"},
                 {"txtLoc", "Caba"},
                 {"txtPcia", "Buenos Aires"}};
    QTest::newRow("lowercase first letters capitalised, ñ too")
        << Registered("ñandú s.a.", "calle 9", "1900", "la plata", "buenos aires") << Boxes{}
        << Boxes{{"txtNombre", "Ñandú s.a."},
                 {"txtCalle", "Calle 9"},
                 {"txtCP", "1900"},
                 {"txtLoc", "La plata"},
                 {"txtPcia", "Buenos aires"}};
    QTest::newRow("letters in the C.P. dropped: digits only")
        << Registered("Kiosco", "Mitre 5", "C1406ABC", "Caba", "Caba") << Boxes{}
        << Boxes{{"txtCP", "1406"}};
    QTest::newRow("line breaks in a register text dropped")
        << Registered("Kiosco\nDon José", "Mitre\r\n5", "1406", "Caba", "Caba") << Boxes{}
        << Boxes{{"txtNombre", "KioscoDon José"}, {"txtCalle", "Mitre5"}};
    QTest::newRow("text typed stays, only the empty boxes filled")
        << Registered("Taller Norte", "Av. Corrientes 1234", "1043", "Caba", "Buenos Aires")
        << Boxes{{"txtNombre", "Taller Sur"}, {"txtCP", "1"}}
        << Boxes{{"txtNombre", "Taller Sur"},
                 {"txtCalle", "Av. Corrientes 1234"},
                 {"txtCP", "1"},
                 {"txtLoc", "Caba"},
                 {"txtPcia", "Buenos Aires"}};
    QTest::newRow("a blank typed counts as typed")
        << Registered("Taller Norte", "Av. Corrientes 1234", "1043", "Caba", "Buenos Aires")
        << Boxes{{"txtLoc", " "}} << Boxes{{"txtLoc", " "}, {"txtPcia", "Buenos Aires"}};
}

void TestRegisterHint::takingTypesThroughTheRules() {
    QFETCH(history::Employer, registered);
    QFETCH(Boxes, typed);
    QFETCH(Boxes, expected);
    store_.Register(registered);
    for (const auto& [name, text] : typed) {
        window_->setText(name, text);
    }
    LeaveCuit(kCuit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
    for (const auto& [name, text] : expected) {
        QCOMPARE(window_->text(name), text);
    }
    QCOMPARE(window_->text("txtMes"), QString());  // the box with the focus got no "e"
    // Each filled box is one undo step of its own, as a paste is.
    auto* street = window_->control<QLineEdit>("txtCalle");
    if (!typed.contains({"txtCalle", street->text()}) && !street->text().isEmpty()) {
        street->undo();
        QCOMPARE(street->text(), QString());
    }
}

void TestRegisterHint::shortcutWorksFromEveryBox_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("from the month box") << "txtMes";
    QTest::newRow("from the C.U.I.T. box itself") << "txtCuit";
    QTest::newRow("from the name box") << "txtNombre";
    QTest::newRow("from \"Son Pesos\"") << "txtPesos";
    QTest::newRow("from the other concepts' text") << "txtOtrosDesc";
    QTest::newRow("from the cash check box") << "Check1";
}

void TestRegisterHint::shortcutWorksFromEveryBox() {
    QFETCH(QString, focus);
    window_->setText("txtCuit", kCuit);
    window_->control(focus)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), window_->control(focus));
    const QString before = window_->text(focus);
    QTest::keyClick(window_->control(focus), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(window_->text("txtNombre"), QString("Taller Norte"));
    QCOMPARE(window_->text("txtPcia"), QString("Buenos Aires"));
    if (focus != "txtNombre") {
        QCOMPARE(window_->text(focus), before);
    }
}

void TestRegisterHint::contextMenuEndsWithTheOffer() {
    window_->setText("txtCuit", kCuit);
    auto* filter = window_->control("txtCuit")->findChild<app::KeyFilter*>(
        QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(filter);
    std::unique_ptr<QMenu> menu(filter->CreateContextMenu(QPoint(2, 2)));
    QVERIFY(menu);
    QAction* last = menu->actions().last();
    QCOMPARE(last, window_->registerHint().fillAction());
    QCOMPARE(last->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QVERIFY(last->isEnabled());
    last->trigger();
    QCOMPARE(window_->text("txtCalle"), QString("Av. Corrientes 1234"));
    window_->setStore(nullptr);
    QVERIFY(!last->isEnabled());
}

void TestRegisterHint::hintIsNeverPrinted() {
    FillValidVoucher(*window_);
    window_->setText("txtNombre", "");
    window_->setText("txtCuit", "");
    LeaveCuit(kCuit);
    QVERIFY(!window_->registerHint().text().isEmpty());
    window_->PrintRun();
    QCOMPARE(platform_->printed.size(), 2u);
    QVERIFY(!window_->registerHint().text().isEmpty());  // still offered after the run

    ScriptedPlatform bare;
    app::VoucherWindow plain(bare);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    FillValidVoucher(plain);
    plain.setText("txtNombre", "");
    plain.setText("txtCuit", kCuit);
    plain.PrintRun();
    QCOMPARE(bare.printed.size(), 2u);
    for (std::size_t copy = 0; copy < 2; ++copy) {
        const QImage a = Rasterise(platform_->printed[copy]);
        const QImage b = Rasterise(bare.printed[copy]);
        QCOMPARE(a, b);
    }
}

QTEST_MAIN(TestRegisterHint)
#include "TestRegisterHint.moc"
