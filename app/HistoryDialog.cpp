// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryDialog.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>
#include <array>

#include "app/HistoryModel.h"
#include "app/VoucherRecord.h"
#include "app/VoucherWindow.h"

namespace app {

namespace {

// The platform of the window that prints a recorded voucher again: the same
// desktop, with its dialogs over the list rather than over a window that is
// never shown.
class OverParent : public platform::Platform {
  public:
    OverParent(platform::Platform& inner, QWidget* parent) : inner_(inner), parent_(parent) {}

    platform::Answer ShowMessage(QWidget*, const platform::Message& message) override {
        return inner_.ShowMessage(parent_, message);
    }
    QString DefaultPrinterName() override { return inner_.DefaultPrinterName(); }
    void PrintPage(const platform::Page& page, const QString& jobName) override {
        inner_.PrintPage(page, jobName);
    }
    std::optional<platform::PrintChoice> ChoosePrint(
        QWidget*, const std::vector<platform::Page>& pages) override {
        return inner_.ChoosePrint(parent_, pages);
    }
    platform::PrintedJob PrintChosen(const platform::Page& page, const QString& jobName,
                                     const platform::PrintChoice& choice) override {
        return inner_.PrintChosen(page, jobName, choice);
    }
    void WritePdf(const std::vector<platform::Page>& pages, const QString& path) override {
        inner_.WritePdf(pages, path);
    }
    QString AskSaveFileName(QWidget*, const QString& title, const QString& proposedPath,
                            const QString& filter) override {
        return inner_.AskSaveFileName(parent_, title, proposedPath, filter);
    }
    QString ProgramFolder() override { return inner_.ProgramFolder(); }
    QString TemporaryFolder() override { return inner_.TemporaryFolder(); }
    void SavePicture(const QImage& picture, const QString& path) override {
        inner_.SavePicture(picture, path);
    }
    QImage LoadPicture(const QString& path) override { return inner_.LoadPicture(path); }
    void DeleteFile(const QString& path) override { inner_.DeleteFile(path); }
    void ProcessEvents() override { inner_.ProcessEvents(); }

  private:
    platform::Platform& inner_;
    QWidget* parent_;
};

const QRegularExpression kWholePeriod(QStringLiteral("^\\d{4}-\\d{2}$"));

QLineEdit* FilterBox(const QString& name, const QString& accessible, const QString& placeholder,
                     QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setPlaceholderText(placeholder);
    box->setClearButtonEnabled(true);
    return box;
}

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    // Enter is the dialog's to route (see keyPressEvent), never a default
    // button's: in the table it would print twice.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

HistoryDialog::HistoryDialog(platform::Platform& platform, history::Store& store, QWidget* parent)
    : QDialog(parent), platform_(platform), store_(store), model_(new HistoryModel(this)) {
    setObjectName(QStringLiteral("Historial"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setAccessibleName(QString::fromUtf8(kTitle));

    cuit_ = FilterBox(QStringLiteral("filtroCuit"), QStringLiteral("Filtrar por C.U.I.T."),
                      QStringLiteral("Todas"), this);
    cuit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,11}")), cuit_));
    name_ = FilterBox(QStringLiteral("filtroNombre"), QStringLiteral("Filtrar por establecimiento"),
                      QStringLiteral("Todos"), this);
    const auto* period = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,4}(-\\d{0,2})?")), this);
    from_ = FilterBox(QStringLiteral("filtroDesde"), QStringLiteral("Período desde, año y mes"),
                      QStringLiteral("AAAA-MM"), this);
    from_->setValidator(period);
    to_ = FilterBox(QStringLiteral("filtroHasta"), QStringLiteral("Período hasta, año y mes"),
                    QStringLiteral("AAAA-MM"), this);
    to_->setValidator(period);

    auto* filters = new QGridLayout;
    const auto addFilter = [&](int column, const QString& caption, QLineEdit* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        filters->addWidget(label, 0, column);
        filters->addWidget(box, 1, column);
    };
    addFilter(0, QStringLiteral("&C.U.I.T.:"), cuit_);
    addFilter(1, QStringLiteral("&Establecimiento:"), name_);
    addFilter(2, QStringLiteral("Período &desde:"), from_);
    addFilter(3, QStringLiteral("&hasta:"), to_);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("tabla"));
    table_->setAccessibleName(QString::fromUtf8(kTitle));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Fixed sizes: measuring every row or column would read the whole record.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const std::array<int, HistoryModel::ColumnCount> widths{17, 13, 24, 9, 11, 26, 12};
    for (int column = 0; column < HistoryModel::ColumnCount; ++column) {
        table_->setColumnWidth(column, widths[std::size_t(column)] * digit);
    }

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("estado"));
    status_->setTextFormat(Qt::PlainText);

    print_ = Button(QStringLiteral("btnImprimir"), QStringLiteral("&Imprimir de nuevo"), this);
    save_ = Button(QStringLiteral("btnGuardarPdf"), QStringLiteral("&Guardar PDF"), this);
    copy_ = Button(QStringLiteral("btnCopiar"), QStringLiteral("Copiar c&ódigo"), this);
    auto* close = Button(QStringLiteral("btnCerrar"), QStringLiteral("Cerrar"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(print_);
    buttons->addWidget(save_);
    buttons->addWidget(copy_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    setTabOrder(cuit_, name_);
    setTabOrder(name_, from_);
    setTabOrder(from_, to_);
    setTabOrder(to_, table_);
    setTabOrder(table_, print_);
    setTabOrder(print_, save_);
    setTabOrder(save_, copy_);
    setTabOrder(copy_, close);

    for (QLineEdit* box : {cuit_, name_, from_, to_}) {
        connect(box, &QLineEdit::textChanged, this, &HistoryDialog::Reload);
    }
    connect(table_, &QTableView::doubleClicked, this, &HistoryDialog::PrintAgain);
    connect(print_, &QPushButton::clicked, this, &HistoryDialog::PrintAgain);
    connect(save_, &QPushButton::clicked, this, &HistoryDialog::SaveAgain);
    connect(copy_, &QPushButton::clicked, this, &HistoryDialog::CopyCode);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(model_, &QAbstractItemModel::modelReset, this, &HistoryDialog::CurrentChanged);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HistoryDialog::CurrentChanged);

    resize(110 * digit, 30 * table_->verticalHeader()->defaultSectionSize());
    Reload();
    table_->setFocus();
}

HistoryDialog::~HistoryDialog() = default;

history::Filter HistoryDialog::TypedFilter() const {
    history::Filter filter;
    filter.cuit = cuit_->text();
    filter.name = name_->text().trimmed();
    // A period half typed bounds nothing yet.
    if (kWholePeriod.match(from_->text()).hasMatch()) {
        filter.fromPeriod = from_->text();
    }
    if (kWholePeriod.match(to_->text()).hasMatch()) {
        filter.toPeriod = to_->text();
    }
    return filter;
}

void HistoryDialog::Reload() {
    const history::Voucher* current = Current();
    const qint64 chosen = current ? current->id : 0;
    std::vector<history::Voucher> vouchers;
    QString failure;
    try {
        history::Filter filter = TypedFilter();
        filter.limit = kListed;
        vouchers = store_.List(filter);
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    const int count = int(vouchers.size());
    model_->setVouchers(std::move(vouchers));
    if (!failure.isEmpty()) {
        status_->setText(QStringLiteral("No se pudo leer el historial: %1").arg(failure));
    } else if (count == kListed) {
        status_->setText(
            QStringLiteral("Los %1 comprobantes más recientes; escriba un filtro para ver otros")
                .arg(QLocale(QLocale::Spanish, QLocale::Argentina).toString(count)));
    } else if (count == 1) {
        status_->setText(QStringLiteral("1 comprobante"));
    } else {
        status_->setText(QStringLiteral("%1 comprobantes").arg(count));
    }
    status_->setAccessibleName(status_->text());
    const int row = chosen != 0 ? model_->rowOf(chosen) : -1;
    if (count > 0) {
        table_->setCurrentIndex(model_->index(row >= 0 ? row : 0, 0));
    }
    CurrentChanged();
}

const history::Voucher* HistoryDialog::Current() const {
    const QModelIndex index = table_->currentIndex();
    return index.isValid() ? model_->voucherAt(index.row()) : nullptr;
}

void HistoryDialog::CurrentChanged() {
    const bool chosen = Current() != nullptr;
    print_->setEnabled(chosen);
    save_->setEnabled(chosen);
    copy_->setEnabled(chosen && !Current()->paymentCode.isEmpty());
}

void HistoryDialog::RunAgain(bool print) {
    const history::Voucher* current = Current();
    if (!current) {
        return;
    }
    // A window of its own, never shown, runs the voucher's own print or save
    // run on the recorded values: the same checks, confirmation, texts and
    // pages as the day it left, recorded as a reprint.
    const history::Voucher voucher = *current;
    OverParent platform(platform_, this);
    VoucherWindow window(platform);
    window.setStore(&store_);
    window.setRecordedAs(QString::fromUtf8(history::kFromReprint));
    FillWindow(window, voucher);
    if (print) {
        window.PrintRun();
    } else {
        window.SavePdfRun();
    }
    Reload();
}

void HistoryDialog::PrintAgain() {
    RunAgain(true);
}

void HistoryDialog::SaveAgain() {
    RunAgain(false);
}

void HistoryDialog::CopyCode() {
    if (const history::Voucher* current = Current()) {
        QGuiApplication::clipboard()->setText(current->paymentCode);
    }
}

void HistoryDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    QWidget* focus = focusWidget();
    if (auto* button = qobject_cast<QPushButton*>(focus)) {
        button->click();
    } else if (focus == table_) {
        PrintAgain();
    } else if (qobject_cast<QLineEdit*>(focus)) {
        table_->setFocus(Qt::TabFocusReason);
    }
    event->accept();
}

}  // namespace app
