// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/Layout.h"
#include "platform/Platform.h"

class QAction;
class QImage;
class QMenu;

namespace history {
class Store;
}

namespace app {

class Canvas;
class EntryNotices;
class SurchargeAction;
class RegisterHint;

// The voucher window: the bank's pre-printed voucher as background, entry
// boxes over its blanks, and the procedures that fill, compute and print it.
// All voucher data lives in the controls' texts; every procedure reads them
// afresh.
class VoucherWindow : public QWidget {
    Q_OBJECT
  public:
    explicit VoucherWindow(platform::Platform& platform, QWidget* parent = nullptr);
    ~VoucherWindow() override;

    // The control with this name (as the layout table spells it), or null.
    QWidget* control(const QString& name) const { return controls_.value(name); }
    template <class T>
    T* control(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);

    // The remarks beside the voucher's validation (check digit, amount in words).
    EntryNotices& notices() const { return *notices_; }
    // The late-payment surcharge helper (Ctrl+R).
    SurchargeAction& surcharge() const { return *surcharge_; }

    // Recomputation when the focus leaves an amount box.
    void ComputeContribution();
    void ComputeTotal();

    // Checks the entries; on a failure shows its message and returns false.
    bool ValidateFields();
    // Composes the payment code and puts it and its barcode on the voucher.
    // False when refused (its message shown); throws platform::Failure or
    // another std::exception when a step fails midway.
    bool GenerateBarcode();

    // Switches between entry presentation and print presentation.
    void SetPrintMode(bool printing);
    void SetFieldBorders(int style);

    bool PrinterInstalled();
    // The print button's run: printer check, barcode, confirmation, two copies.
    void PrintRun();
    // The same run into one two-page PDF chosen in a save dialog.
    void SavePdfRun();
    // The voucher as a two-page PDF at `path` without any dialog; used by the
    // command line. Throws what GenerateBarcode or the writing throws.
    bool WriteVoucherPdf(const QString& path);
    // Ctrl+P: IMPRIMIR's checks, then both copies in the print preview with
    // the print dialog's choice of printer, paper and copies; each copy
    // printed from there is its own job, named as IMPRIMIR's.
    void PreviewRun();
    // The voucher's two copies on the chosen printer without any dialog;
    // used by the command line. False when the voucher is refused (its
    // message shown); throws a Failure naming the copies not printed.
    bool PrintVoucher(const platform::PrintChoice& choice);
    // The jobs the last printing from the preview or PrintVoucher handed over.
    const std::vector<platform::PrintedJob>& printedJobs() const { return printedJobs_; }
    // Ctrl+P's action, and the window's context menu that offers it.
    QAction* previewAction() const { return previewAction_; }
    QMenu* CreateWindowMenu();

    // The window's client area as it looks now, as one page.
    platform::Page RecordPage();
    // The file name the save dialog proposes: C.U.I.T., year and month.
    QString ProposedPdfName() const;

    // Where vouchers that left are recorded, and whose register the employer
    // boxes are offered from; null (the default) records nothing.
    void setStore(history::Store* store);
    history::Store* store() const { return store_; }
    // How the runs record a voucher: history::kFromWindow unless told.
    void setRecordedAs(const QString& how) { recordedAs_ = how; }
    // Ctrl+H: the dialog of the vouchers on record, or why there is none.
    void OpenHistory();
    const RegisterHint& registerHint() const { return *registerHint_; }

    // The temporary bitmap's name, tried in the program's folder first.
    static constexpr const char* kTemporaryBitmap = "picCode.bmp";

  signals:
    void closed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using PageOutput = std::function<void(const platform::Page& page, int copy)>;

    void Build();
    QWidget* Create(const Control& row);
    void Leave(OnLeave action, QWidget* box);
    void PadOwnText(QWidget* box);
    QImage RoundTripThroughFile(const QImage& picture);
    bool ProduceBarcodeOrTell();
    bool PrinterReadyAndBarcodeOrTell();
    // Steps 4 to 19 of a run: print presentation, both copies, and back.
    // Returns the reasons of the steps that failed.
    QStringList PrintCopies(const PageOutput& output);
    std::vector<platform::Page> RecordCopies(QStringList& failures);
    QStringList SendCopies(const std::vector<platform::Page>& pages,
                           const platform::PrintChoice& choice, bool stopAtFailure);
    void Tell(const platform::Message& message);
    // After a voucher left: records it, and tells when it could not be.
    void RecordLeft(const QString& destination);

    platform::Platform& platform_;
    QHash<QString, QWidget*> controls_;
    QHash<QObject*, OnLeave> leaveActions_;
    Canvas* canvas_ = nullptr;
    EntryNotices* notices_ = nullptr;
    SurchargeAction* surcharge_ = nullptr;
    RegisterHint* registerHint_ = nullptr;
    QImage background_;
    history::Store* store_ = nullptr;
    QString recordedAs_;
    bool recordingPage_ = false;  // paintEvent leaves the picture to the page
    bool runInProgress_ = false;
    std::vector<platform::PrintedJob> printedJobs_;
    QAction* previewAction_ = nullptr;
};

}  // namespace app
