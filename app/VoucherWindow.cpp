// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VoucherWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

#include "app/Canvas.h"
#include "app/Captions.h"
#include "app/EntryNotices.h"
#include "app/Fonts.h"
#include "app/HistoryDialog.h"
#include "app/KeyEvents.h"
#include "app/Placement.h"
#include "app/RegisterHint.h"
#include "app/SurchargeAction.h"
#include "app/Widgets.h"
#include "assets/Assets.h"
#include "entry/Amounts.h"
#include "entry/KeyFilters.h"
#include "entry/LeadingNumber.h"
#include "history/Store.h"

namespace app {

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

}  // namespace

VoucherWindow::VoucherWindow(platform::Platform& platform, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      platform_(platform),
      background_(assets::ResourcePicture(":/assets/voucher.bmp")),
      recordedAs_(QString::fromUtf8(history::kFromWindow)) {
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
    surcharge_ = new SurchargeAction(*this, platform_);
    registerHint_ = new RegisterHint(*this, *notices_);
    auto* history = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(history, &QShortcut::activated, this, &VoucherWindow::OpenHistory);
    new ScreenPlacement(this);
    // Ctrl+P, beside IMPRIMIR: as a click does, the focus goes to the button
    // first, so the box being left computes.
    previewAction_ = new QAction(QStringLiteral("Vista previa e impresión…"), this);
    previewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    previewAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(previewAction_);
    connect(previewAction_, &QAction::triggered, this, [this] {
        if (QWidget* button = control(QStringLiteral("Command2")); button->isVisible()) {
            button->setFocus(Qt::ShortcutFocusReason);
        }
        PreviewRun();
    });
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
                button->setToolTip(
                    QStringLiteral("Imprime las dos copias en la impresora predeterminada "
                                   "(Ctrl+P: vista previa, impresora y copias)"));
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

QMenu* VoucherWindow::CreateWindowMenu() {
    auto* menu = new QMenu(this);
    menu->addAction(previewAction_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

void VoucherWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The voucher itself and its labels; the boxes have menus of their own.
    CreateWindowMenu()->popup(event->globalPos());
    event->accept();
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

void VoucherWindow::setStore(history::Store* store) {
    store_ = store;
    registerHint_->setStore(store);
    // The surcharge dialog proposes the rate last used, remembered in the store.
    const QString rateKey = QStringLiteral("tasa_recargo");
    if (store == nullptr) {
        surcharge_->SetRateMemory({});
    } else {
        surcharge_->SetRateMemory(
            {[store, rateKey] { return store->Setting(rateKey); },
             [store, rateKey](const QString& rate) { store->SetSetting(rateKey, rate); }});
    }
}

void VoucherWindow::OpenHistory() {
    if (runInProgress_) {
        return;
    }
    if (!store_) {
        Tell({QString::fromUtf8(HistoryDialog::kTitle),
              QStringLiteral("El historial está desactivado: los comprobantes que se emiten no "
                             "se registran."),
              platform::Icon::Information, platform::Buttons::Ok});
        return;
    }
    HistoryDialog dialog(platform_, *store_, this);
    dialog.exec();
}

void VoucherWindow::Tell(const Message& message) {
    platform_.ShowMessage(this, message);
}

}  // namespace app
