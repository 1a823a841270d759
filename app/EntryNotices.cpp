// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EntryNotices.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "app/KeyEvents.h"
#include "entry/AmountWords.h"
#include "paycode/CuitCheck.h"

namespace app {

namespace {

const QColor kNoticeRed(0xd0, 0x00, 0x00);

// Drawn over the whole box, above its frame; mouse and focus go through.
class Outline : public QWidget {
  public:
    explicit Outline(QWidget* box) : QWidget(box) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(box->rect());
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(kNoticeRed, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
};

}  // namespace

BoxNotice::BoxNotice(QWidget* box) : box_(box), outline_(new Outline(box)) {}

void BoxNotice::Show(const QString& text) {
    if (text == text_ || !box_ || !outline_) {
        return;
    }
    text_ = text;
    box_->setToolTip(text);
    box_->setAccessibleDescription(text);
    outline_->setGeometry(box_->rect());
    outline_->raise();
    outline_->setVisible(!text.isEmpty());
}

EntryNotices::EntryNotices(QLineEdit* cuit, QPlainTextEdit* pesos, const QLabel* total,
                           const QLabel* totalCents, QObject* parent)
    : QObject(parent),
      cuit_(cuit),
      pesos_(pesos),
      total_(total),
      totalCents_(totalCents),
      cuitNotice_(cuit),
      pesosNotice_(pesos),
      take_(new QAction(QStringLiteral("Escribir el total en letras"), pesos)) {
    QPalette colours = pesos_->palette();
    colours.setColor(QPalette::PlaceholderText, QColor(0x80, 0x80, 0x80));
    pesos_->setPalette(colours);
    take_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    take_->setShortcutContext(Qt::WidgetShortcut);
    pesos_->addAction(take_);
    connect(take_, &QAction::triggered, this, &EntryNotices::TakeTotalInWords);
    // The box's own filter shows its context menu (its Paste types through the
    // rule); the words action goes at the end of it.
    if (auto* filter = pesos_->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly)) {
        filter->AddMenuAction(take_);
    }
    connect(cuit_, &QLineEdit::textChanged, this, &EntryNotices::CheckCuit);
    connect(pesos_, &QPlainTextEdit::textChanged, this, [this] { CheckPesos(true); });
    pesos_->installEventFilter(this);
    TotalChanged();
}

QMenu* EntryNotices::CreatePesosMenu(const QPoint& position) {
    auto* filter = pesos_->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly);
    return filter ? filter->CreateContextMenu(position) : nullptr;
}

void EntryNotices::TotalChanged() {
    const QString words = entry::AmountInWords(total_->text(), totalCents_->text());
    if (words != pesos_->placeholderText()) {
        pesos_->setPlaceholderText(words);
        // The box repaints for its placeholder only when the text shown
        // changes, not when the placeholder does: the screen kept a blank or
        // the last total's words until something else drew the box.
        pesos_->viewport()->update();
    }
    take_->setEnabled(!words.isEmpty());
    CheckPesos(false);
}

void EntryNotices::TakeTotalInWords() {
    const QString words = entry::AmountInWords(total_->text(), totalCents_->text());
    if (words.isEmpty()) {
        return;
    }
    QTextCursor cursor = pesos_->textCursor();
    cursor.select(QTextCursor::Document);
    cursor.insertText(words);
    pesos_->setTextCursor(cursor);
}

void EntryNotices::SetCuitHint(const QString& hint) {
    cuitHint_ = hint;
    CheckCuit();
}

void EntryNotices::CheckCuit() {
    QStringList remarks{paycode::CuitCheckProblem(cuit_->text()), cuitHint_};
    remarks.removeAll(QString());
    cuitNotice_.Show(remarks.join(QLatin1Char('\n')));
}

bool EntryNotices::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pesos_ && event->type() == QEvent::FocusOut) {
        CheckPesos(false);
    }
    return QObject::eventFilter(watched, event);
}

void EntryNotices::CheckPesos(bool typing) {
    const QString problem =
        entry::AmountWordsProblem(pesos_->toPlainText(), total_->text(), totalCents_->text());
    // Words half typed ("Catorce" on the way to "Catorce mil...") are not
    // wrong yet: while the box is being typed in, a remark may change or go
    // away, but a new one waits until the box is left.
    if (typing && pesos_->hasFocus() && pesosNotice_.text().isEmpty() && !problem.isEmpty()) {
        return;
    }
    pesosNotice_.Show(problem);
}

}  // namespace app
