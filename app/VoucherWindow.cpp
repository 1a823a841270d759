#include "app/VoucherWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <algorithm>

#include "app/Canvas.h"
#include "app/Captions.h"
#include "app/EntryNotices.h"
#include "app/Fonts.h"
#include "app/KeyEvents.h"
#include "app/Placement.h"
#include "app/PrintJobName.h"
#include "app/Widgets.h"
#include "assets/Assets.h"
#include "barcode/Codigo.h"
#include "entry/Amounts.h"
#include "entry/KeyFilters.h"
#include "entry/LeadingNumber.h"
#include "paycode/PaymentRecord.h"
#include "paycode/Validation.h"
#include "platform/Bitmap.h"
#include "platform/FileLock.h"
#include "platform/Files.h"

namespace app {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {

QRect Pixels(const Twips& t) {
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            std::max(1, t.height / kTwipsPerPixel)};
}

// The sunken frame of an entry box, on a label or a multi-line box.
void SetFramed(QWidget* control, bool framed) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setFrame(framed);
    } else if (auto* frame = qobject_cast<QFrame*>(control)) {
        frame->setFrameStyle(framed ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
        frame->setLineWidth(framed ? 2 : 0);
    }
}

KeyFilter::Rule RuleFor(Filter filter) {
    switch (filter) {
        case Filter::Digits:
            return [](const QString&, int key) { return entry::FilterDigits(key); };
        case Filter::Capitalize:
            return entry::CapitalizeFirst;
        case Filter::Month:
            return entry::FilterMonth;
        case Filter::None:
            break;
    }
    // Every character still goes through a rule, so that pasted line breaks
    // and control characters are dropped like typed ones.
    return [](const QString&, int key) { return key; };
}

const Message kNoPrinter{
    QStringLiteral("Verificación de impresora"),
    QStringLiteral("No Hay una impresora instalada. Instale una impresora y vuelva a intentarlo"),
    Icon::Information, Buttons::Ok};
const Message kConfirm{QStringLiteral("Imprimir!"),
                       QStringLiteral("Confirma que los datos son correctos y desea imprimir?."),
                       Icon::None, Buttons::YesNo};
const Message kConfirmSave{QStringLiteral("Guardar PDF"),
                           QStringLiteral("¿Confirma que los datos son correctos y desea guardar "
                                          "el comprobante en PDF?"),
                           Icon::None, Buttons::YesNo};
const Message kNoTotal{QStringLiteral("Excepción"),
                       QStringLiteral("No se ha calculado el monto total"), Icon::Critical,
                       Buttons::Ok};
const std::array kCopyTitles{QStringLiteral("Para el Banco - Comprobante de Caja"),
                             QStringLiteral("Talón para el Depositante - Comprobante de Caja")};

// The amount boxes in the order empty ones are filled with "00".
constexpr std::array<const char*, 6> kAmountBoxes{"txtRecargo",        "txtRecargoDec",
                                                  "txtOtrosConceptos", "txtOtrosConceptosDec",
                                                  "txtRemuneracion",   "txtRemuneracionDec"};

}  // namespace

VoucherWindow::VoucherWindow(platform::Platform& platform, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      platform_(platform),
      background_(assets::ResourcePicture(":/assets/voucher.bmp")) {
    setObjectName(QStringLiteral("Talonario"));
    setWindowTitle(QStringLiteral("Generador de Facturas"));
    setFixedSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFont(VoucherFont(Face::Arial, 8.25, QFont::Normal));
    Build();
    notices_ = new EntryNotices(control<QLineEdit>(QStringLiteral("txtCuit")),
                                control<QPlainTextEdit>(QStringLiteral("txtPesos")),
                                control<QLabel>(QStringLiteral("txtTotal")),
                                control<QLabel>(QStringLiteral("TXTtotalDec")), this);
    new ScreenPlacement(this);
    control(QStringLiteral("txtNombre"))->setFocus();
}

VoucherWindow::~VoucherWindow() = default;

void VoucherWindow::Build() {
    // Later siblings paint over earlier ones, so create from the bottom up.
    const auto controls = VoucherControls();
    std::vector<std::pair<int, QWidget*>> focusable;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        QWidget* widget = Create(*it);
        widget->setObjectName(QString::fromUtf8(it->name));
        widget->setGeometry(Pixels(it->rect));
        widget->setFont(VoucherFont(it->face, it->points, it->weight));
        FitCaption(widget, *it);
        widget->setVisible(it->visible);
        // One palette per control; the white window behind comes from the parent.
        QPalette colours = widget->palette();
        if (it->ink == Ink::Black) {
            colours.setColor(QPalette::WindowText, Qt::black);
            colours.setColor(QPalette::Text, Qt::black);
            colours.setColor(QPalette::Base, Qt::white);
        } else {
            colours.setColor(QPalette::WindowText, palette().color(QPalette::ButtonText));
        }
        widget->setPalette(colours);
        controls_.insert(widget->objectName(), widget);
        if (it->tabIndex >= 0) {
            if (widget->focusPolicy() == Qt::NoFocus) {
                widget->setFocusPolicy(Qt::TabFocus);  // the canvas, while it is shown
            }
            focusable.emplace_back(it->tabIndex, widget);
        } else if (widget->focusPolicy() != Qt::ClickFocus) {  // taken by a click only: kept
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
    for (const AccessibleName& entry : AccessibleNames()) {
        control(QString::fromUtf8(entry.control))->setAccessibleName(QString::fromUtf8(entry.name));
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i) {
        setTabOrder(focusable[i - 1].second, focusable[i].second);
    }
}

QWidget* VoucherWindow::Create(const Control& row) {
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
        case Kind::Entry:
        case Kind::MultiEntry: {
            QWidget* box;
            if (row.kind == Kind::Entry) {
                auto* line = new QLineEdit(this);
                line->setAlignment(row.align | Qt::AlignVCenter);
                if (row.maxLength > 0) {
                    line->setMaxLength(row.maxLength);
                }
                box = line;
            } else {
                auto* multi = new QPlainTextEdit(this);
                multi->setTabChangesFocus(true);
                multi->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
                multi->setLineWidth(2);
                multi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                multi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                box = multi;
            }
            new KeyFilter(box, RuleFor(row.filter));
            if (row.onLeave != OnLeave::None) {
                leaveActions_.insert(box, row.onLeave);
                box->installEventFilter(this);
            }
            return box;
        }
        case Kind::Label: {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);  // typed text is shown, never interpreted
            label->setText(caption);
            label->setAlignment(row.align | Qt::AlignTop);
            label->setWordWrap(true);
            label->setAutoFillBackground(row.opaque);
            SetFramed(label, row.framed);
            return label;
        }
        case Kind::Button: {
            auto* button = new QPushButton(caption, this);
            button->setAutoDefault(false);  // Enter and Escape never press it
            button->setDefault(false);
            if (row.name == std::string_view("Command2")) {
                connect(button, &QPushButton::clicked, this, &VoucherWindow::PrintRun);
                return button;
            }
            connect(button, &QPushButton::clicked, this, &VoucherWindow::SavePdfRun);
            // Outside the voucher's tab order; the mouse, Ctrl+S and screen
            // readers reach it. A click still takes the focus, so the box
            // being left computes first.
            button->setFocusPolicy(Qt::ClickFocus);
            button->setAccessibleName(caption);
            button->setToolTip(QStringLiteral("Guardar el comprobante en PDF (Ctrl+S)"));
            auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
            connect(shortcut, &QShortcut::activated, button, [button] {
                // As a click does: the focus first, so the box left computes.
                button->setFocus(Qt::ShortcutFocusReason);
                button->click();
            });
            return button;
        }
        case Kind::CheckBox: {
            auto* check = new QCheckBox(this);
            check->setAutoFillBackground(true);
            // A button fills with the button grey, a patch on the white voucher.
            check->setBackgroundRole(QPalette::Window);
            return check;
        }
        case Kind::Line:
            return new Rule(this);
        case Kind::Image:
            return new StretchedImage(this);
        case Kind::Canvas:
            canvas_ = new Canvas(this);
            return canvas_;
    }
    return new QWidget(this);
}

QString VoucherWindow::text(const QString& name) const {
    return TextOf(control(name));
}

void VoucherWindow::setText(const QString& name, const QString& text) {
    QWidget* widget = control(name);
    SetTextOf(widget, text);
    // A named label is announced by its name; the amount it shows goes with it.
    if (qobject_cast<QLabel*>(widget) && !widget->accessibleName().isEmpty()) {
        widget->setAccessibleDescription(text);
    }
}

void VoucherWindow::paintEvent(QPaintEvent*) {
    // The voucher picture at its own size from the top-left corner; its last
    // rows fall below the client area.
    if (recordingPage_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(0, 0, background_);
}

void VoucherWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

bool VoucherWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A context menu or another application taking the focus is not the
        // focus leaving the box for another control of the voucher.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (auto it = leaveActions_.constFind(watched); it != leaveActions_.cend()) {
                Leave(*it, static_cast<QWidget*>(watched));
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VoucherWindow::Leave(OnLeave action, QWidget* box) {
    switch (action) {
        case OnLeave::ContributionUnlessEmpty:
            if (!TextOf(box).isEmpty()) {
                ComputeContribution();
            }
            break;
        case OnLeave::PadThenContribution:
            PadOwnText(box);
            ComputeContribution();
            break;
        case OnLeave::Total:
            ComputeTotal();
            break;
        case OnLeave::PadThenTotal:
            PadOwnText(box);
            ComputeTotal();
            break;
        case OnLeave::None:
            break;
    }
}

void VoucherWindow::PadOwnText(QWidget* box) {
    const QString padded =
        entry::PadZeros(entry::TrimBlanks(TextOf(box)), 2, [this] { platform_.ProcessEvents(); });
    if (padded != TextOf(box)) {
        SetTextOf(box, padded);
    }
}

void VoucherWindow::ComputeContribution() {
    const entry::Amount contribution = entry::ComputeContribution(
        text(QStringLiteral("txtRemuneracion")), text(QStringLiteral("txtRemuneracionDec")));
    setText(QStringLiteral("txtRetencion"), contribution.pesos);
    setText(QStringLiteral("txtRetencionDec"), contribution.cents);
    ComputeTotal();
}

void VoucherWindow::ComputeTotal() {
    const entry::Amount total = entry::ComputeTotal(
        {text(QStringLiteral("txtRetencion")), text(QStringLiteral("txtRetencionDec"))},
        {text(QStringLiteral("txtRecargo")), text(QStringLiteral("txtRecargoDec"))},
        {text(QStringLiteral("txtOtrosConceptos")), text(QStringLiteral("txtOtrosConceptosDec"))});
    setText(QStringLiteral("TXTtotalDec"), total.cents);
    setText(QStringLiteral("txtTotal"), total.pesos);
    notices_->TotalChanged();
}

bool VoucherWindow::ValidateFields() {
    paycode::ValidationInput input{text(QStringLiteral("txtCuit")),
                                   text(QStringLiteral("txtRemuneracion")),
                                   text(QStringLiteral("txtMes")),
                                   text(QStringLiteral("txtAnio")),
                                   {}};
    for (std::size_t i = 0; i < kAmountBoxes.size(); ++i) {
        input.amounts[i] = text(QString::fromUtf8(kAmountBoxes[i]));
    }
    const paycode::ValidationResult result = paycode::ValidateFields(input);
    for (std::size_t i = 0; i < kAmountBoxes.size(); ++i) {
        if (result.amounts[i] != input.amounts[i]) {
            setText(QString::fromUtf8(kAmountBoxes[i]), result.amounts[i]);
        }
    }
    if (result.refusal) {
        const paycode::RefusalMessage refusal = paycode::MessageFor(*result.refusal);
        Tell({refusal.title, refusal.text, Icon::Critical, Buttons::Ok});
        return false;
    }
    return true;
}

bool VoucherWindow::GenerateBarcode() {
    if (text(QStringLiteral("txtTotal")).isEmpty()) {
        Tell(kNoTotal);
        return false;
    }
    if (!ValidateFields()) {
        return false;
    }
    paycode::PaymentRecord record;
    paycode::PaymentSources sources{
        text(QStringLiteral("txtCuit")), text(QStringLiteral("txtCPersonal")),
        text(QStringLiteral("txtTotal")), text(QStringLiteral("TXTtotalDec"))};
    const QString staff = sources.staff;
    paycode::FillPaymentRecord(record, sources, [this] { platform_.ProcessEvents(); });
    if (sources.staff != staff) {
        setText(QStringLiteral("txtCPersonal"), sources.staff);
    }
    setText(QStringLiteral("Text1"), paycode::ComposeCodeText(record));
    canvas_->show();
    codigo::DrawBarcode(
        *canvas_, 6, entry::TrimBlanks(text(QStringLiteral("Text1"))).toLatin1().toStdString(), 0);
    control<StretchedImage>(QStringLiteral("Image1"))
        ->setImage(RoundTripThroughFile(canvas_->picture()));
    return true;
}

QImage VoucherWindow::RoundTripThroughFile(const QImage& picture) {
    // The program's folder first; when it cannot be written (installed under
    // /usr, a read-only medium) the user's private temporary folder, so that
    // printing still works. Windows and commands running at once share the
    // file name: a lock keeps each save-load-delete whole, and the picture
    // read back must be the one drawn, or nothing is printed.
    constexpr int kLockWaitMs = 5000;
    for (int i = 0; i < 2; ++i) {
        const bool last = i == 1;
        // The private folder is made only when it is needed.
        const QString folder = last ? platform_.TemporaryFolder() : platform_.ProgramFolder();
        const QString path = folder + QLatin1Char('/') + QLatin1String(kTemporaryBitmap);
        platform::FileLock lock(platform::EncodeName(path + QStringLiteral(".lock")));
        if (!lock.TryLock(kLockWaitMs)) {
            if (last) {
                throw platform::Failure(
                    QStringLiteral("No se puede reservar %1").arg(path).toStdString());
            }
            continue;
        }
        try {
            platform_.SavePicture(picture, path);
        } catch (const platform::Failure&) {
            if (last) {
                throw;
            }
            continue;
        }
        canvas_->hide();
        QImage loaded;
        try {
            loaded = platform_.LoadPicture(path);
        } catch (...) {
            platform_.DeleteFile(path);
            throw;
        }
        platform_.DeleteFile(path);
        if (loaded.convertToFormat(QImage::Format_RGB32) !=
            picture.convertToFormat(QImage::Format_RGB32)) {
            throw platform::Failure(
                QStringLiteral("El código de barras leído de %1 no es el dibujado")
                    .arg(path)
                    .toStdString());
        }
        return loaded;
    }
    return {};
}

void VoucherWindow::SetPrintMode(bool printing) {
    for (const PrintPair& pair : PrintPairs()) {
        setText(QString::fromUtf8(pair.label), text(QString::fromUtf8(pair.box)));
    }
    for (const PrintPair& pair : PrintPairs()) {
        control(QString::fromUtf8(pair.label))->setVisible(printing);
    }
    for (const char* name : BoldWhilePrinting()) {
        QWidget* label = control(QString::fromUtf8(name));
        QFont font = label->font();
        font.setBold(printing);
        label->setFont(font);
    }
    for (const PrintPair& pair : PrintPairs()) {
        control(QString::fromUtf8(pair.box))->setVisible(!printing);
    }
}

void VoucherWindow::SetFieldBorders(int style) {
    for (const char* name : FramedForEntry()) {
        SetFramed(control(QString::fromUtf8(name)), style != 0);
    }
}

bool VoucherWindow::PrinterInstalled() {
    try {
        platform_.DefaultPrinterName();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void VoucherWindow::Tell(const Message& message) {
    platform_.ShowMessage(this, message);
}

bool VoucherWindow::ProduceBarcodeOrTell() {
    // A step failing midway (say, no folder can be written) ends the run: a
    // voucher whose barcode does not match its entries must never print.
    try {
        return GenerateBarcode();
    } catch (const std::exception& error) {
        if (canvas_) {
            canvas_->hide();
        }
        Tell({QStringLiteral("Excepción"),
              QStringLiteral("No se pudo generar el código de barras.\n%1")
                  .arg(QString::fromUtf8(error.what())),
              Icon::Critical, Buttons::Ok});
        return false;
    }
}

platform::Page VoucherWindow::RecordPage() {
    platform::Page page{QPicture(), size(), background_};
    QPainter painter(&page.picture);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    // The window's white and its picture are the page's background, painted
    // apart; the recording holds the rest.
    const QScopedValueRollback recording(recordingPage_, true);
    setAutoFillBackground(false);
    render(&painter, QPoint(), QRegion(), DrawChildren);
    setAutoFillBackground(true);
    painter.end();
    return page;
}

QStringList VoucherWindow::PrintCopies(const PageOutput& output) {
    QStringList failures;
    // Each step is tried on its own: one that fails is skipped and the run
    // goes on, so the window always returns to entry presentation.
    const auto step = [&failures](const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& error) {
            failures << QString::fromUtf8(error.what());
        }
    };
    auto* number = control<QLabel>(QStringLiteral("lblNroFactura"));
    auto* title = control<QLabel>(QStringLiteral("lblTitulo"));
    const QList<QWidget*> buttons{control(QStringLiteral("Command2")),
                                  control(QStringLiteral("cmdGuardarPdf"))};
    step([&] { SetPrintMode(true); });
    step([&] {
        for (QWidget* button : buttons) {
            button->hide();
        }
    });
    step([&] { SetFieldBorders(0); });
    step([&] { number->setText(QStringLiteral("1")); });
    step([&] { number->show(); });
    step([&] { title->show(); });
    step([&] { title->setText(kCopyTitles[0]); });
    step([&] { output(RecordPage(), 1); });
    step([&] { number->setText(QStringLiteral("2")); });
    step([&] { title->setText(kCopyTitles[1]); });
    step([&] { output(RecordPage(), 2); });
    step([&] { title->hide(); });
    step([&] { number->hide(); });
    step([&] { SetFieldBorders(1); });
    step([&] {
        for (QWidget* button : buttons) {
            button->show();
        }
    });
    step([&] { SetPrintMode(false); });
    return failures;
}

void VoucherWindow::PrintRun() {
    // One run at a time: the zero fill lets queued clicks through mid-run.
    if (runInProgress_) {
        return;
    }
    QScopedValueRollback guard(runInProgress_, true);
    if (!PrinterInstalled()) {
        Tell(kNoPrinter);
        return;
    }
    if (!ProduceBarcodeOrTell()) {
        return;
    }
    if (platform_.ShowMessage(this, kConfirm) != Answer::Yes) {
        return;
    }
    const QStringList failures = PrintCopies([this](const platform::Page& page, int copy) {
        try {
            platform_.PrintPage(
                page, PrintJobName(text(QStringLiteral("txtCuit")), text(QStringLiteral("txtMes")),
                                   text(QStringLiteral("txtAnio")), copy));
        } catch (const std::exception& error) {
            throw platform::Failure(QStringLiteral("Copia %1: %2")
                                        .arg(copy)
                                        .arg(QString::fromUtf8(error.what()))
                                        .toStdString());
        }
    });
    // The copies that failed were skipped; say so rather than let the user
    // take the voucher to the bank believing both were printed.
    if (!failures.isEmpty()) {
        Tell({QStringLiteral("Imprimir!"),
              QStringLiteral("No se pudo imprimir:\n") + failures.join(QLatin1Char('\n')),
              Icon::Critical, Buttons::Ok});
    }
}

QString VoucherWindow::ProposedPdfName() const {
    // Named after whose voucher it is and which month it settles, so a folder
    // of vouchers sorts by employer and period.
    // Digits only: pasted text must not put a separator into the name.
    return QStringLiteral("comprobante-%1-%2-%3.pdf")
        .arg(entry::LeadingDigits(text(QStringLiteral("txtCuit"))),
             entry::LeadingDigits(text(QStringLiteral("txtAnio"))),
             entry::PadZeros(entry::LeadingDigits(text(QStringLiteral("txtMes"))), 2));
}

std::vector<platform::Page> VoucherWindow::RecordCopies(QStringList& failures) {
    std::vector<platform::Page> pages;
    failures = PrintCopies([&pages](const platform::Page& page, int) { pages.push_back(page); });
    return pages;
}

void VoucherWindow::SavePdfRun() {
    if (runInProgress_) {
        return;
    }
    QScopedValueRollback guard(runInProgress_, true);
    if (!ProduceBarcodeOrTell()) {
        return;
    }
    QString path =
        platform_.AskSaveFileName(this, QStringLiteral("Guardar comprobante en PDF"),
                                  ProposedPdfName(), QStringLiteral("Documentos PDF (*.pdf)"));
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    if (platform_.ShowMessage(this, kConfirmSave) != Answer::Yes) {
        return;
    }
    QStringList failures;
    const std::vector<platform::Page> pages = RecordCopies(failures);
    try {
        if (!failures.isEmpty()) {
            throw platform::Failure(failures.join(QLatin1Char('\n')).toStdString());
        }
        platform_.WritePdf(pages, path);
    } catch (const std::exception& error) {
        Tell({QStringLiteral("Guardar PDF"),
              QStringLiteral("No se pudo guardar el comprobante.\n%1")
                  .arg(QString::fromUtf8(error.what())),
              Icon::Critical, Buttons::Ok});
    }
}

bool VoucherWindow::WriteVoucherPdf(const QString& path) {
    if (!GenerateBarcode()) {
        return false;
    }
    QStringList failures;
    const std::vector<platform::Page> pages = RecordCopies(failures);
    if (!failures.isEmpty()) {
        throw platform::Failure(failures.join(QLatin1Char('\n')).toStdString());
    }
    platform_.WritePdf(pages, path);
    return true;
}

}  // namespace app
