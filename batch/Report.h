// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace batch {

// A row's state in resultado.csv.
inline const QString kWritten = QStringLiteral("escrito");
inline const QString kAlreadyThere = QStringLiteral("ya estaba");
inline const QString kRowRefused = QStringLiteral("rechazado");
inline const QString kRowFailed = QStringLiteral("error");
inline const QString kNotDone = QStringLiteral("no hecho");
// Made (written, or already there) but its copies not printed.
inline const QString kNotPrinted = QStringLiteral("no impreso");

// What the voucher of a row holds, as the window shows it ("100000,50",
// period "05/2026"): who and how much.
struct VoucherFigures {
    QString cuit;
    QString name;
    QString period;
    QString remuneration;
    QString contribution;
    QString surcharge;
    QString other;
    QString total;
};

// One line of resultado.csv.
struct ReportRow {
    int number = 0;
    QString file;
    QString code;
    QString state;
    QString message;
    VoucherFigures figures;
};

// The report's name in the batch's folder, and its journal's while a run
// is going (left only by a run killed outright).
inline constexpr char kReportName[] = "resultado.csv";
inline constexpr char kJournalName[] = ".talonario-lote-diario.csv";

// The header line and a row's line, without the line end. Every cell is
// made safe to show and to open in a spreadsheet: control characters
// escaped, and a cell that would start with = + - @ (a formula to a
// spreadsheet) starts with an apostrophe instead. The payment code starts
// with a tab, so that a spreadsheet keeps its 23 digits as text.
QByteArray ReportHeader(char separator);
QByteArray ReportLine(const ReportRow& row, char separator);
QString SafeCell(const QString& text);

// Everything that decides whether two rows make the same voucher: the
// C.U.I.T., the period, every figure and the payment code (the code alone
// does not hold the period).
QByteArray VoucherKey(const VoucherFigures& figures, const QString& code);

// The vouchers earlier runs wrote into a folder, read from their reports:
// the file each voucher went to, by VoucherKey.
class EarlierRecords {
  public:
    // A report's bytes (resultado.csv or an earlier one kept beside it).
    void Add(const QByteArray& report);
    std::optional<QString> File(const QByteArray& key) const;
    // A voucher an earlier run made but could not print, and none printed since.
    bool Unprinted(const QByteArray& key) const;
    qsizetype size() const { return files_.size(); }

  private:
    QHash<quint64, QString> files_;  // by a hash of the key: little memory per voucher
    QSet<quint64> notPrinted_;
    QSet<quint64> printed_;
};

// The start of a printed row's message: "impreso en COLA (trabajos 12, 13)".
inline const QString kPrintedNote = QStringLiteral("impreso en ");

// What became of a batch's rows, and the sum of the totals it wrote.
struct ReportTotals {
    int written = 0;
    int warned = 0;  // of the written ones
    int alreadyThere = 0;
    int refused = 0;
    int failed = 0;
    int notDone = 0;
    qint64 writtenCents = 0;
    bool printing = false;  // the batch printed: the counts below are told too
    int printed = 0;
    int notPrinted = 0;
};

// "1015,00" as cents; 0 for what is not an amount.
qint64 AmountCents(const QString& amount);
// "3 escritos (1 con avisos), 2 ya estaban, ...; total escrito 3045,00",
// and when printing "; 4 impresos, 1 sin imprimir".
QString SummaryText(const ReportTotals& totals);
// The report's last line: "total" in the row's column, the summary as its
// message and the sum in the total's column.
QByteArray TotalsLine(const ReportTotals& totals, char separator);

// The name an earlier report is kept under: "resultado 2026-12-10 09.45.12.csv".
QString KeptReportName(const QString& stamp);

}  // namespace batch
