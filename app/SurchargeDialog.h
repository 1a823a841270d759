// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDialog>
#include <functional>
#include <optional>

#include "entry/Amounts.h"
#include "platform/Platform.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

// Where the last rate used is kept, if anywhere (the employer register):
// `last` proposes it, `remember` keeps the one accepted. Either may be
// empty, and either may throw: the surcharge goes on without them.
struct RateMemory {
    std::function<QString()> last;
    std::function<void(const QString&)> remember;
};

// The late-payment surcharge worked out for the user: due date, payment
// date (today unless changed), the monthly rate in percent (the user's own,
// or the last one used; never one of the program's) and the base (the
// contribution on the voucher unless changed). The days late, the formula
// with its numbers and the result follow every edit. Aceptar with a result
// the Recargo boxes cannot take tells why and stays open.
class SurchargeDialog : public QDialog {
    Q_OBJECT
  public:
    SurchargeDialog(platform::Platform& platform, const QString& base, const QDate& today,
                    const RateMemory& memory, QWidget* parent);

    // The surcharge to type into the Recargo boxes, once everything reads
    // and the result is within their limit.
    std::optional<entry::Amount> result() const { return result_; }
    // Why there is no result, in the words the dialog shows.
    QString problem() const { return problem_; }

  public slots:
    void accept() override;

  private:
    void Recompute();
    static void Show(QLabel* label, const QString& text);

    platform::Platform& platform_;
    RateMemory memory_;
    QLineEdit* due_;
    QLineEdit* paid_;
    QLineEdit* rate_;
    QLineEdit* base_;
    QLabel* days_;
    QLabel* formula_;
    QLabel* outcome_;
    std::optional<entry::Amount> result_;
    QString problem_;
    QString rateText_;  // the rate as read, for `remember`
};

}  // namespace app
