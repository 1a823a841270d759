// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "KeyScript.h"
#include "VoucherFixture.h"
#include "app/EntryNotices.h"

namespace {

const QString kWrongDigit =
    QStringLiteral("El dígito verificador del C.U.I.T. no es correcto: es 9 y debería ser 1");

// Pixels neither white nor black: the grey of the hint, and its smoothing.
int GreyPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) &&
                             qRed(pixel) > 0x40 && qRed(pixel) < 0xc0
                         ? 1
                         : 0;
        }
    }
    return count;
}

// The box as a fresh paint draws it now.
QImage Drawn(QWidget* box) {
    return box->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The box as it is on the screen: what the window last put there.
QImage OnScreen(QWidget* box) {
    QWidget* window = box->window();
    const QRect where(box->mapTo(window, QPoint(0, 0)), box->size());
    return window->screen()
        ->grabWindow(window->winId(), where.x(), where.y(), where.width(), where.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int RedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == qRgb(0xd0, 0x00, 0x00) ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

// The remarks beside the voucher's validation: the C.U.I.T.'s check digit and
// "Son Pesos" against the total, and the total in words offered while
// "Son Pesos" is empty. None of them blocks, asks or prints.
class TestEntryNotices : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void cuitTyped_data();
    void cuitTyped();
    void cuitRemarkLeavesValidationAndRunAlone();
    void remarkIsGoneInPrintPresentation();
    void placeholderShowsTheTotalInWords();
    void placeholderFollowsTheTotal();
    void hintIsDrawnOnScreen_data();
    void hintIsDrawnOnScreen();
    void shortcutTakesTheWords();
    void contextMenuOffersTheWordsWithItsShortcut();
    void rightClickOpensThatMenu();
    void nothingToTakeBeforeATotal();
    void wordsAgainstTotal_data();
    void wordsAgainstTotal();
    void wordsTypedBeforeTheTotalAreCheckedWhenItComes();
    void typingOnInARemarkedBoxUpdatesItAtOnce();

  private:
    void focus(const QString& name);
    void setTotal(const char* pesos, const char* cents);
    QLineEdit* cuit() const { return window->control<QLineEdit>(QStringLiteral("txtCuit")); }
    QPlainTextEdit* pesos() const {
        return window->control<QPlainTextEdit>(QStringLiteral("txtPesos"));
    }

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestEntryNotices::init() {
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestEntryNotices::cleanup() {
    window.reset();
    platform.reset();
}

void TestEntryNotices::focus(const QString& name) {
    QWidget* box = window->control(name);
    box->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), box);
}

// The contribution as if computed, so that leaving a box gives this total.
void TestEntryNotices::setTotal(const char* pesos, const char* cents) {
    Fill(*window, {{"txtRetencion", pesos}, {"txtRetencionDec", cents}});
    window->ComputeTotal();
}

void TestEntryNotices::cuitTyped_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("remark");
    QTest::newRow("valid digit, no remark") << "20123456786" << QString();
    QTest::newRow("wrong digit says which it should be") << "30712345679" << kWrongDigit;
    QTest::newRow("ten digits that allow no valid number")
        << "20000000019"
        << QStringLiteral(
               "El C.U.I.T. no es válido: ninguno empieza con 2000000001, porque su dígito "
               "verificador daría 10");
    QTest::newRow("no remark while still typing") << "3071234567" << QString();
    QTest::newRow("mending the digit takes the remark away")
        << "30712345679{Backspace}1" << QString();
    QTest::newRow("a twelfth digit is not taken, the remark stays")
        << "307123456791" << kWrongDigit;
}

void TestEntryNotices::cuitTyped() {
    QFETCH(QString, keys);
    QFETCH(QString, remark);
    focus(QStringLiteral("txtCuit"));
    PlayKeys(keys);
    QCOMPARE(window->notices().cuitNotice().text(), remark);
    QCOMPARE(cuit()->toolTip(), remark);
    QCOMPARE(cuit()->accessibleDescription(), remark);
    // The outline is drawn over the box: red pixels in the window as it looks.
    const QImage shown = Rasterise(window->RecordPage());
    const QRect box = cuit()->geometry();
    QCOMPARE(RedPixels(shown.copy(box)) > 0, !remark.isEmpty());
    QCOMPARE(RedPixels(shown), RedPixels(shown.copy(box)));
}

void TestEntryNotices::cuitRemarkLeavesValidationAndRunAlone() {
    FillValidVoucher(*window);
    Fill(*window, {{"txtCuit", "30712345679"}});
    QCOMPARE(window->notices().cuitNotice().text(), kWrongDigit);
    QVERIFY(window->ValidateFields());
    window->PrintRun();
    // Only the confirmation was asked; both copies printed.
    QCOMPARE(platform->messageTexts(),
             QStringList{"Confirma que los datos son correctos y desea imprimir?."});
    QCOMPARE(platform->printed.size(), std::size_t(2));
    QCOMPARE(window->text(QStringLiteral("Text1")).mid(4, 11), QStringLiteral("30712345679"));
    // Back in entry presentation the remark is there again.
    QCOMPARE(cuit()->toolTip(), kWrongDigit);
}

void TestEntryNotices::remarkIsGoneInPrintPresentation() {
    FillValidVoucher(*window);
    Fill(*window, {{"txtCuit", "30712345679"}, {"txtPesos", "Cien con 00/100"}});
    QVERIFY(!window->notices().pesosNotice().text().isEmpty());
    QVERIFY(RedPixels(Rasterise(window->RecordPage())) > 0);
    window->PrintRun();
    QCOMPARE(platform->printed.size(), std::size_t(2));
    for (const platform::Page& page : platform->printed) {
        QCOMPARE(RedPixels(Rasterise(page)), 0);
    }
}

void TestEntryNotices::placeholderShowsTheTotalInWords() {
    setTotal("1650", "50");
    QCOMPARE(pesos()->placeholderText(), QStringLiteral("Mil seiscientos cincuenta con 50/100"));
    QCOMPARE(pesos()->toPlainText(), QString());
    const QColor grey = pesos()->palette().color(QPalette::PlaceholderText);
    QVERIFY(grey.red() == grey.green() && grey.green() == grey.blue());
    QVERIFY(grey != pesos()->palette().color(QPalette::Text));
    QVERIFY(grey != pesos()->palette().color(QPalette::Base));
    // Never printed: the print label under the box stays empty.
    FillValidVoucher(*window);
    window->PrintRun();
    QCOMPARE(platform->printed.size(), std::size_t(2));
    QCOMPARE(window->text(QStringLiteral("lblPesos")), QString());
    QCOMPARE(pesos()->toPlainText(), QString());
}

void TestEntryNotices::placeholderFollowsTheTotal() {
    Fill(*window, {{"txtRemuneracion", "100000"}, {"txtRemuneracionDec", "00"}});
    window->ComputeContribution();
    QCOMPARE(pesos()->placeholderText(), QStringLiteral("Mil quinientos con 00/100"));
    Fill(*window, {{"txtRecargo", "20"}, {"txtRecargoDec", "05"}});
    window->ComputeTotal();
    QCOMPARE(pesos()->placeholderText(), QStringLiteral("Mil quinientos veinte con 05/100"));
}

void TestEntryNotices::hintIsDrawnOnScreen_data() {
    QTest::addColumn<QString>("before");  // "pesos,cents" or "" for no total yet
    QTest::addColumn<QString>("after");
    QTest::newRow("first total computed") << QString() << "1505,00";
    QTest::newRow("total changed: the new words, not the old") << "1505,00"
                                                               << "1650,50";
    QTest::newRow("only the cents changed") << "1650,50"
                                            << "1650,05";
    QTest::newRow("two lines of words, none cut off") << "1,00"
                                                      << "777777,77";
    QTest::newRow("back to one line") << "777777,77"
                                      << "21000,07";
}

void TestEntryNotices::hintIsDrawnOnScreen() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    const auto total = [this](const QString& amount) {
        if (!amount.isEmpty()) {
            const QStringList parts = amount.split(u',');
            setTotal(qPrintable(parts[0]), qPrintable(parts[1]));
        }
    };
    total(before);
    QTRY_COMPARE(OnScreen(pesos()), Drawn(pesos()));
    const QImage first = OnScreen(pesos());
    total(after);
    // What the screen shows is what the box draws now, and it changed.
    QTRY_COMPARE(OnScreen(pesos()), Drawn(pesos()));
    const QImage second = OnScreen(pesos());
    QVERIFY(second != first);
    QVERIFY(GreyPixels(second) > 0);
    // The same as a box that showed these words from the start.
    const QImage shown = second;
    const QString words = pesos()->placeholderText();
    window.reset();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    total(after);
    QCOMPARE(pesos()->placeholderText(), words);
    QTRY_COMPARE(OnScreen(pesos()), shown);
    // Every line inside the box: the last one ends above its lower frame.
    const QFontMetrics metrics(pesos()->font());
    const int margin = int(pesos()->document()->documentMargin());
    const QRect lines =
        metrics.boundingRect(pesos()->viewport()->rect().adjusted(margin, margin, -margin, 0),
                             Qt::AlignTop | Qt::TextWordWrap, words);
    QVERIFY2(lines.bottom() < pesos()->viewport()->height(),
             qPrintable(QStringLiteral("%1 px of words in %2 px")
                            .arg(lines.bottom())
                            .arg(pesos()->viewport()->height())));
}

void TestEntryNotices::shortcutTakesTheWords() {
    setTotal("21000", "07");
    focus(QStringLiteral("txtPesos"));
    QTest::keyClick(pesos(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(pesos()->toPlainText(), QStringLiteral("Veintiún mil con 07/100"));
    QCOMPARE(window->notices().pesosNotice().text(), QString());
    // Taken like typing: one undo gives the empty box back.
    QTest::keyClick(pesos(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(pesos()->toPlainText(), QString());
}

void TestEntryNotices::contextMenuOffersTheWordsWithItsShortcut() {
    setTotal("1", "00");
    Fill(*window, {{"txtPesos", "Dos con 00/100"}});
    std::unique_ptr<QMenu> menu(window->notices().CreatePesosMenu(QPoint(2, 2)));
    const QList<QAction*> actions = menu->actions();
    QVERIFY(actions.size() > 2);  // the box's own entries stay
    QAction* take = actions.last();
    QCOMPARE(take->text(), QStringLiteral("Escribir el total en letras"));
    QCOMPARE(take->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QVERIFY(take->isEnabled());
    take->trigger();
    QCOMPARE(pesos()->toPlainText(), QStringLiteral("Uno con 00/100"));
    QCOMPARE(window->notices().pesosNotice().text(), QString());
}

void TestEntryNotices::rightClickOpensThatMenu() {
    setTotal("1", "00");
    QWidget* viewport = pesos()->viewport();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(3, 3),
                            viewport->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(viewport, &click);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
    QCOMPARE(menu->actions().last(), window->notices().takeAction());
    menu->close();
    QCOMPARE(pesos()->toPlainText(), QString());
}

void TestEntryNotices::nothingToTakeBeforeATotal() {
    QCOMPARE(pesos()->placeholderText(), QString());
    QVERIFY(!window->notices().takeAction()->isEnabled());
    focus(QStringLiteral("txtPesos"));
    QTest::keyClick(pesos(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(pesos()->toPlainText(), QString());
}

void TestEntryNotices::wordsAgainstTotal_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("remark");
    const QString wrong = QStringLiteral(
        "«Son Pesos» dice %1 pero el total es 14225,53; en letras: «Catorce mil doscientos "
        "veinticinco con 53/100»");
    QTest::newRow("the total's words")
        << "catorce mil doscientos veinticinco con 53/100" << QString();
    QTest::newRow("without accents or capitals, in two lines")
        << "catorce mil{Enter}doscientos veinticinco con 53/100" << QString();
    QTest::newRow("other cents") << "catorce mil doscientos veinticinco con 89/100"
                                 << wrong.arg("14225,89");
    QTest::newRow("other pesos") << "veinticinco con 53/100" << wrong.arg("25,53");
    QTest::newRow("cents left out")
        << "catorce mil doscientos veinticinco" << wrong.arg("14225,00");
    QTest::newRow("words that are no amount cannot be read")
        << "pago a cuenta"
        << QStringLiteral(
               "«Son Pesos»: no se puede leer el importe en letras; el total es 14225,53, en "
               "letras: «Catorce mil doscientos veinticinco con 53/100»");
    QTest::newRow("a closing .- and a leading son pesos")
        << "son pesos catorce mil doscientos veinticinco con 53/100.-" << QString();
}

void TestEntryNotices::wordsAgainstTotal() {
    QFETCH(QString, keys);
    QFETCH(QString, remark);
    setTotal("14225", "53");
    focus(QStringLiteral("txtPesos"));
    PlayKeys(keys);
    // Not while typing: half-typed words are not wrong yet.
    QCOMPARE(window->notices().pesosNotice().text(), QString());
    PlayKeys(QStringLiteral("{Tab}"));
    QVERIFY(!pesos()->hasFocus());
    QCOMPARE(window->notices().pesosNotice().text(), remark);
    QCOMPARE(pesos()->toolTip(), remark);
    QCOMPARE(pesos()->accessibleDescription(), remark);
    QCOMPARE(RedPixels(Rasterise(window->RecordPage()).copy(pesos()->geometry())) > 0,
             !remark.isEmpty());
}

void TestEntryNotices::wordsTypedBeforeTheTotalAreCheckedWhenItComes() {
    Fill(*window, {{"txtPesos", "Mil con 00/100"}});
    QCOMPARE(window->notices().pesosNotice().text(), QString());
    setTotal("999", "00");
    QVERIFY(!window->notices().pesosNotice().text().isEmpty());
    setTotal("1000", "00");
    QCOMPARE(window->notices().pesosNotice().text(), QString());
}

void TestEntryNotices::typingOnInARemarkedBoxUpdatesItAtOnce() {
    setTotal("100", "00");
    focus(QStringLiteral("txtPesos"));
    PlayKeys(QStringLiteral("ciento uno con 5/100{Tab}"));
    const QString wrong =
        QStringLiteral("«Son Pesos» dice %1 pero el total es 100,00; en letras: «Cien con 00/100»");
    QCOMPARE(window->notices().pesosNotice().text(), wrong.arg("101,05"));
    focus(QStringLiteral("txtPesos"));
    PlayKeys(QStringLiteral("{End}{Left}{Left}{Left}{Left}0"));
    QCOMPARE(pesos()->toPlainText(), QStringLiteral("Ciento uno con 50/100"));
    QCOMPARE(window->notices().pesosNotice().text(), wrong.arg("101,50"));
    pesos()->selectAll();
    PlayKeys(QStringLiteral("cien"));
    QCOMPARE(window->notices().pesosNotice().text(), QString());
}

QTEST_MAIN(TestEntryNotices)
#include "TestEntryNotices.moc"
