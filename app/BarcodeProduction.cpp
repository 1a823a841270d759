// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VoucherWindow.h"

#include <QLabel>
#include <array>

#include "app/Canvas.h"
#include "app/Widgets.h"
#include "barcode/Codigo.h"
#include "entry/LeadingNumber.h"
#include "paycode/PaymentRecord.h"
#include "paycode/Validation.h"
#include "platform/FileLock.h"
#include "platform/Files.h"

namespace app {

// The code and barcode steps: the entries checked, the payment code composed,
// and its barcode drawn and put on the voucher through the temporary bitmap.

using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {

const Message kNoTotal{QStringLiteral("Excepción"),
                       QStringLiteral("No se ha calculado el monto total"), Icon::Critical,
                       Buttons::Ok};

// The amount boxes in the order empty ones are filled with "00".
constexpr std::array<const char*, 6> kAmountBoxes{"txtRecargo",        "txtRecargoDec",
                                                  "txtOtrosConceptos", "txtOtrosConceptosDec",
                                                  "txtRemuneracion",   "txtRemuneracionDec"};

}  // namespace

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

}  // namespace app
