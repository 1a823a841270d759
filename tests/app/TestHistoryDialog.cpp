// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "KeyScript.h"
#include "MemoryStore.h"
#include "PdfReadBack.h"
#include "VoucherFixture.h"
#include "app/HistoryDialog.h"
#include "app/HistoryModel.h"
#include "app/VoucherRecord.h"

using platform::Answer;

namespace {

history::Voucher Recorded(const QString& cuit, const QString& name, const QString& year,
                          const QString& month, const QString& issued) {
    history::Voucher voucher;
    voucher.boxes = {{"txtCuit", cuit}, {"txtNombre", name}, {"txtAnio", year}, {"txtMes", month}};
    voucher.total = QStringLiteral("100,00");
    voucher.paymentCode = cuit + QStringLiteral("000000000001");
    voucher.issued = QDateTime::fromString(issued, Qt::ISODate);
    voucher.how = QString::fromUtf8(history::kFromWindow);
    return voucher;
}

QList<qint64> ListedIds(const app::HistoryDialog& dialog) {
    QList<qint64> ids;
    for (int row = 0; row < dialog.model().rowCount(); ++row) {
        ids << dialog.model().voucherAt(row)->id;
    }
    return ids;
}

template <class T>
T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromUtf8(name));
    if (!child) {
        qWarning("no %s", name);
    }
    return child;
}

QList<QImage> Pictures(const std::vector<platform::Page>& pages, std::size_t from) {
    QList<QImage> pictures;
    for (std::size_t i = from; i < pages.size(); ++i) {
        pictures << Rasterise(pages[i]);
    }
    return pictures;
}

}  // namespace

// "Comprobantes emitidos": the record listed newest first and filtered as
// typed; a voucher printed or saved again through the voucher's own run is
// the same voucher, page for page; the code copied; all by keyboard.
class TestHistoryDialog : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void listsNewestFirst();
    void filtersAsTyped_data();
    void filtersAsTyped();
    void storeOutOfReachIsTold();
    void longRecordListsItsNewestPage();
    void reprintIsTheSameVoucher_data();
    void reprintIsTheSameVoucher();
    void copiesTheCode();
    void keyboardOnly();
    void everyControlIsNamed();
    void shortcutOpensOrTellsHistoryIsOff_data();
    void shortcutOpensOrTellsHistoryIsOff();

  private:
    void Seed();
    std::unique_ptr<ScriptedPlatform> platform_;
    MemoryStore store_;
};

void TestHistoryDialog::init() {
    platform_ = std::make_unique<ScriptedPlatform>();
    store_ = MemoryStore();
}

void TestHistoryDialog::cleanup() {
    platform_.reset();
}

void TestHistoryDialog::Seed() {
    store_.Record(Recorded("20123456786", "Taller Norte", "2026", "3", "2026-04-02T10:00:00"));
    store_.Record(Recorded("30712345671", "Panadería Sur", "2026", "4", "2026-05-03T11:00:00"));
    store_.Record(Recorded("20123456786", "Taller Norte", "2026", "5", "2026-06-01T09:30:00"));
    store_.Record(Recorded("27111111114", "Kiosco Ñandú", "2025", "12", "2026-01-10T08:00:00"));
}

void TestHistoryDialog::listsNewestFirst() {
    Seed();
    app::HistoryDialog dialog(*platform_, store_);
    QCOMPARE(ListedIds(dialog), (QList<qint64>{4, 3, 2, 1}));
    const auto cell = [&dialog](int row, int column) {
        return dialog.model().data(dialog.model().index(row, column), Qt::DisplayRole).toString();
    };
    QCOMPARE(cell(1, app::HistoryModel::Issued), QString("01/06/2026 09:30"));
    QCOMPARE(cell(1, app::HistoryModel::Cuit), QString("20123456786"));
    QCOMPARE(cell(1, app::HistoryModel::Name), QString("Taller Norte"));
    QCOMPARE(cell(1, app::HistoryModel::Period), QString("2026-05"));
    QCOMPARE(cell(1, app::HistoryModel::Total), QString("100,00"));
    QCOMPARE(cell(1, app::HistoryModel::Code), QString("20123456786000000000001"));
    QCOMPARE(cell(1, app::HistoryModel::How), QString("ventana"));
    QCOMPARE(Child<QLabel>(dialog, "estado")->text(), QString("4 comprobantes"));
    QCOMPARE(dialog.Current()->id, 4);  // the newest chosen
}

void TestHistoryDialog::filtersAsTyped_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<qint64>>("listed");
    QTest::newRow("C.U.I.T. typed whole") << "filtroCuit"
                                          << "20123456786" << QList<qint64>{3, 1};
    QTest::newRow("C.U.I.T. refuses letters") << "filtroCuit"
                                              << "abc" << QList<qint64>{4, 3, 2, 1};
    QTest::newRow("part of a name, any case") << "filtroNombre"
                                              << "taller" << QList<qint64>{3, 1};
    QTest::newRow("a name with ñ") << "filtroNombre"
                                   << "ñandú" << QList<qint64>{4};
    QTest::newRow("no name matches") << "filtroNombre"
                                     << "zzz" << QList<qint64>{};
    QTest::newRow("from a period on") << "filtroDesde"
                                      << "2026-04" << QList<qint64>{3, 2};
    QTest::newRow("up to a period") << "filtroHasta"
                                    << "2026-03" << QList<qint64>{4, 1};
    QTest::newRow("a period half typed bounds nothing") << "filtroDesde"
                                                        << "2026-0" << QList<qint64>{4, 3, 2, 1};
}

void TestHistoryDialog::filtersAsTyped() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QList<qint64>, listed);
    Seed();
    app::HistoryDialog dialog(*platform_, store_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Child<QLineEdit>(dialog, qPrintable(box))->setFocus();
    PlayKeys(keys);
    QCOMPARE(ListedIds(dialog), listed);
    QCOMPARE(dialog.Current() != nullptr, !listed.isEmpty());
    QCOMPARE(Child<QPushButton>(dialog, "btnImprimir")->isEnabled(), !listed.isEmpty());
}

// A long record is listed a page at a time, the newest, and the status says
// so; a filter still reaches an old voucher.
void TestHistoryDialog::longRecordListsItsNewestPage() {
    store_.Record(Recorded("27111111114", "Kiosco Viejo", "2020", "1", "2020-02-01T08:00:00"));
    for (int i = 0; i < app::HistoryDialog::kListed + 5; ++i) {
        store_.Record(Recorded("20123456786", "Taller Norte", "2026", "3", "2026-04-02T10:00:00"));
    }
    app::HistoryDialog dialog(*platform_, store_);
    QCOMPARE(dialog.model().rowCount(), app::HistoryDialog::kListed);
    QCOMPARE(ListedIds(dialog).first(), qint64(app::HistoryDialog::kListed + 6));
    QCOMPARE(Child<QLabel>(dialog, "estado")->text(),
             QString("Los 1.000 comprobantes más recientes; escriba un filtro para ver otros"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Child<QLineEdit>(dialog, "filtroNombre")->setFocus();
    PlayKeys(QStringLiteral("viejo"));
    QCOMPARE(ListedIds(dialog), QList<qint64>{1});
    QCOMPARE(Child<QLabel>(dialog, "estado")->text(), QString("1 comprobante"));
}

void TestHistoryDialog::storeOutOfReachIsTold() {
    Seed();
    store_.readFailure = QStringLiteral("el servidor no responde");
    app::HistoryDialog dialog(*platform_, store_);
    QCOMPARE(dialog.model().rowCount(), 0);
    QCOMPARE(Child<QLabel>(dialog, "estado")->text(),
             QString("No se pudo leer el historial: el servidor no responde"));
    QVERIFY(!Child<QPushButton>(dialog, "btnImprimir")->isEnabled());
    QVERIFY(platform_->messages.empty());
}

void TestHistoryDialog::reprintIsTheSameVoucher_data() {
    QTest::addColumn<bool>("print");
    QTest::newRow("printed again") << true;
    QTest::newRow("saved again as PDF") << false;
}

void TestHistoryDialog::reprintIsTheSameVoucher() {
    QFETCH(bool, print);
    app::VoucherWindow window(*platform_);
    window.setStore(&store_);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    FillValidVoucher(window);
    window.setText("txtCalle", "Av. Corrientes 1234");
    const QString firstPdf = platform_->temporaryDir.filePath("primero.pdf");
    const QString againPdf = platform_->temporaryDir.filePath("otra vez.pdf");
    if (print) {
        window.PrintRun();
    } else {
        platform_->saveNames = {firstPdf};
        window.SavePdfRun();
    }
    QCOMPARE(store_.recorded.size(), 1u);
    const std::size_t pagesBefore = platform_->printed.size();
    const std::size_t messagesBefore = platform_->messages.size();
    window.setText("txtNombre", "Otro");  // the window moved on: the record is what counts

    app::HistoryDialog dialog(*platform_, store_, &window);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    if (print) {
        dialog.PrintAgain();
    } else {
        platform_->saveNames = {againPdf};
        dialog.SaveAgain();
    }
    // The run's own confirmation, asked again, and nothing else.
    QCOMPARE(platform_->messages.size(), messagesBefore + 1);
    QCOMPARE(platform_->messages.back().title,
             print ? QString("Imprimir!") : QString("Guardar PDF"));
    QCOMPARE(store_.recorded.size(), 2u);
    const history::Voucher& first = store_.recorded[0];
    const history::Voucher& again = store_.recorded[1];
    QCOMPARE(again.how, QString("reimpresión"));
    QCOMPARE(again.boxes, first.boxes);
    QCOMPARE(again.contribution, first.contribution);
    QCOMPARE(again.total, first.total);
    QCOMPARE(again.paymentCode, first.paymentCode);
    QCOMPARE(ListedIds(dialog).front(), 2);  // the reprint is on the list at once
    if (print) {
        QCOMPARE(platform_->printed.size(), 2 * pagesBefore);
        QCOMPARE(platform_->jobNames.mid(2), platform_->jobNames.mid(0, 2));
        QCOMPARE(Pictures(platform_->printed, pagesBefore),
                 Pictures({platform_->printed.begin(), platform_->printed.begin() + 2}, 0));
    } else {
        QCOMPARE(platform_->proposedNames.back(), platform_->proposedNames.front());
        QCOMPARE(again.destination, QFileInfo(againPdf).absoluteFilePath());
        QCOMPARE(PdfPageCount(againPdf), 2);
        for (int page = 1; page <= 2; ++page) {
            QCOMPARE(PdfPageImage(againPdf, page, 96), PdfPageImage(firstPdf, page, 96));
        }
    }
}

void TestHistoryDialog::copiesTheCode() {
    Seed();
    app::HistoryDialog dialog(*platform_, store_);
    QGuiApplication::clipboard()->clear();
    Child<QPushButton>(dialog, "btnCopiar")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), store_.recorded[3].paymentCode);
}

void TestHistoryDialog::keyboardOnly() {
    Seed();
    app::VoucherWindow window(*platform_);
    window.setStore(&store_);
    FillValidVoucher(window);
    window.PrintRun();  // id 5, a voucher the program can print again
    platform_->printed.clear();
    app::HistoryDialog dialog(*platform_, store_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* table = Child<QTableView>(dialog, "tabla");
    QCOMPARE(QApplication::focusWidget(), table);
    QCOMPARE(dialog.Current()->id, 5);
    // Tab runs through the buttons and back round to the filters and the table.
    const QStringList order{"btnImprimir", "btnGuardarPdf", "btnCopiar",
                            "btnCerrar",   "filtroCuit",    "filtroNombre",
                            "filtroDesde", "filtroHasta",   "tabla"};
    for (const QString& name : order) {
        PlayKeys("{Tab}");
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
    // Enter in a filter box goes to the table, and prints nothing.
    Child<QLineEdit>(dialog, "filtroNombre")->setFocus();
    PlayKeys("{Enter}");
    QCOMPARE(QApplication::focusWidget(), table);
    QVERIFY(platform_->printed.empty());
    // Enter in the table prints the chosen voucher again, once.
    PlayKeys("{Enter}");
    QCOMPARE(platform_->printed.size(), 2u);
    QCOMPARE(store_.recorded.size(), 6u);
    QCOMPARE(dialog.Current()->id, 5);  // still chosen under the reprint
    // Down to an older one, Enter on "Copiar código".
    QTest::keyClick(table, Qt::Key_Down);
    QCOMPARE(dialog.Current()->id, 4);
    Child<QPushButton>(dialog, "btnCopiar")->setFocus();
    PlayKeys("{Enter}");
    QCOMPARE(QGuiApplication::clipboard()->text(), store_.recorded[3].paymentCode);
    QCOMPARE(platform_->printed.size(), 2u);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
}

void TestHistoryDialog::everyControlIsNamed() {
    Seed();
    app::HistoryDialog dialog(*platform_, store_);
    QVERIFY(!dialog.accessibleName().isEmpty());
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus && child->isVisibleTo(&dialog) &&
            !child->objectName().isEmpty()) {
            QVERIFY2(!child->accessibleName().isEmpty(), qPrintable(child->objectName()));
        }
    }
    for (const char* name : {"filtroCuit", "filtroNombre", "filtroDesde", "filtroHasta", "tabla",
                             "btnImprimir", "btnGuardarPdf", "btnCopiar", "btnCerrar"}) {
        QVERIFY2(!Child<QWidget>(dialog, name)->accessibleName().isEmpty(), name);
    }
}

void TestHistoryDialog::shortcutOpensOrTellsHistoryIsOff_data() {
    QTest::addColumn<bool>("withStore");
    QTest::newRow("a store: the dialog opens") << true;
    QTest::newRow("no store: told the history is off") << false;
}

void TestHistoryDialog::shortcutOpensOrTellsHistoryIsOff() {
    QFETCH(bool, withStore);
    Seed();
    app::VoucherWindow window(*platform_);
    if (withStore) {
        window.setStore(&store_);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (auto* dialog = qobject_cast<app::HistoryDialog*>(QApplication::activeModalWidget())) {
            opened = dialog->windowTitle();
            dialog->reject();
        }
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(opened, withStore ? QString("Comprobantes emitidos") : QString());
    if (withStore) {
        QVERIFY(platform_->messages.empty());
    } else {
        QCOMPARE(platform_->messages.size(), 1u);
        QCOMPARE(platform_->messages[0].title, QString("Comprobantes emitidos"));
        QVERIFY(platform_->messages[0].text.contains("desactivado"));
        QCOMPARE(platform_->messages[0].icon, platform::Icon::Information);
    }
    QCOMPARE(window.text("txtNombre"), QString());  // no "h" typed
}

QTEST_MAIN(TestHistoryDialog)
#include "TestHistoryDialog.moc"
