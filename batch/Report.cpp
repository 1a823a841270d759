// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/Report.h"

#include <QCryptographicHash>
#include <QtEndian>

#include "batch/CsvRows.h"
#include "platform/Files.h"

namespace batch {

namespace {

const QStringList& Columns() {
    static const QStringList columns{QStringLiteral("fila"),
                                     QStringLiteral("archivo"),
                                     QStringLiteral("codigo_pago"),
                                     QStringLiteral("estado"),
                                     QStringLiteral("mensaje"),
                                     QStringLiteral("cuit"),
                                     QStringLiteral("establecimiento"),
                                     QStringLiteral("periodo"),
                                     QStringLiteral("remuneracion"),
                                     QStringLiteral("aporte"),
                                     QStringLiteral("recargo"),
                                     QStringLiteral("otros"),
                                     QStringLiteral("total")};
    return columns;
}

quint64 KeyHash(const QByteArray& key) {
    const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256);
    return qFromLittleEndian<quint64>(digest.constData());
}

}  // namespace

QString SafeCell(const QString& text) {
    QString cell = platform::Printable(text);
    if (!cell.isEmpty() &&
        (cell[0] == u'=' || cell[0] == u'+' || cell[0] == u'-' || cell[0] == u'@')) {
        cell.prepend(u'\'');
    }
    return cell;
}

QByteArray ReportHeader(char separator) {
    return CsvLine(Columns(), separator);
}

QByteArray ReportLine(const ReportRow& row, char separator) {
    const VoucherFigures& f = row.figures;
    QStringList cells{QString::number(row.number),
                      row.file,
                      row.code,
                      row.state,
                      row.message,
                      f.cuit,
                      f.name,
                      f.period,
                      f.remuneration,
                      f.contribution,
                      f.surcharge,
                      f.other,
                      f.total};
    for (QString& cell : cells) {
        cell = SafeCell(cell);
    }
    // A spreadsheet reads 23 digits as a number and keeps 15 of them
    // (5,2472E+22); after a tab, which it keeps, they stay text, and the
    // code reads as it was written. No formula is involved.
    if (!cells[2].isEmpty()) {
        cells[2].prepend(u'\t');
    }
    return CsvLine(cells, separator);
}

QByteArray VoucherKey(const VoucherFigures& figures, const QString& code) {
    // As the report keeps them, so that a key read back from it is the same.
    QStringList parts{figures.cuit,      figures.period, figures.remuneration, figures.contribution,
                      figures.surcharge, figures.other,  figures.total,        code.trimmed()};
    for (QString& part : parts) {
        part = SafeCell(part);
    }
    return parts.join(u'\x1f').toUtf8();
}

void EarlierRecords::Add(const QByteArray& report) {
    const CsvTable table = ReadCsv(report);
    if (!table.error.isEmpty()) {
        return;
    }
    QHash<QString, qsizetype> at;
    for (qsizetype i = 0; i < table.header.size(); ++i) {
        at.insert(table.header[i].trimmed(), i);
    }
    for (const QString& column : Columns()) {
        if (!at.contains(column)) {
            return;  // a report of an earlier version: it cannot tell the figures
        }
    }
    const auto cell = [&at](const CsvRow& row, const QString& column) {
        return row.fields.value(at.value(column));
    };
    for (const CsvRow& row : table.rows) {
        const QString state = cell(row, QStringLiteral("estado"));
        QString file = cell(row, QStringLiteral("archivo"));
        if (file.size() > 1 && file[0] == u'\'' && SafeCell(file.mid(1)) == file) {
            file.remove(0, 1);
        }
        // A voucher not printed was made all the same.
        if ((state != kWritten && state != kAlreadyThere && state != kNotPrinted) ||
            file.isEmpty()) {
            continue;
        }
        const VoucherFigures figures{
            cell(row, QStringLiteral("cuit")),    cell(row, QStringLiteral("establecimiento")),
            cell(row, QStringLiteral("periodo")), cell(row, QStringLiteral("remuneracion")),
            cell(row, QStringLiteral("aporte")),  cell(row, QStringLiteral("recargo")),
            cell(row, QStringLiteral("otros")),   cell(row, QStringLiteral("total"))};
        const quint64 key = KeyHash(VoucherKey(figures, cell(row, QStringLiteral("codigo_pago"))));
        files_.insert(key, file);
        if (state == kNotPrinted) {
            notPrinted_.insert(key);
        } else if (cell(row, QStringLiteral("mensaje")).contains(kPrintedNote)) {
            printed_.insert(key);
        }
    }
}

bool EarlierRecords::Unprinted(const QByteArray& key) const {
    const quint64 hash = KeyHash(key);
    return notPrinted_.contains(hash) && !printed_.contains(hash);
}

std::optional<QString> EarlierRecords::File(const QByteArray& key) const {
    const auto it = files_.constFind(KeyHash(key));
    if (it == files_.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

qint64 AmountCents(const QString& amount) {
    const QStringList parts = amount.split(u',');
    bool pesosOk = false;
    bool centsOk = false;
    const qint64 pesos = parts.value(0).toLongLong(&pesosOk);
    const qint64 cents = parts.size() == 2 ? parts[1].toLongLong(&centsOk) : 0;
    if (!pesosOk || (parts.size() == 2 && (!centsOk || parts[1].size() != 2)) || parts.size() > 2) {
        return 0;
    }
    return pesos * 100 + cents;
}

namespace {

QString Cents(qint64 cents) {
    return QStringLiteral("%1,%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString SummaryText(const ReportTotals& t) {
    QString printing;
    if (t.printing) {
        printing =
            QStringLiteral("; %1 impresos, %2 sin imprimir").arg(t.printed).arg(t.notPrinted);
    }
    return QStringLiteral(
               "%1 escritos (%2 con avisos), %3 ya estaban, %4 rechazados, %5 con error, "
               "%6 sin hacer; total escrito %7")
               .arg(t.written)
               .arg(t.warned)
               .arg(t.alreadyThere)
               .arg(t.refused)
               .arg(t.failed)
               .arg(t.notDone)
               .arg(Cents(t.writtenCents)) +
           printing;
}

QByteArray TotalsLine(const ReportTotals& totals, char separator) {
    ReportRow row;
    row.message = SummaryText(totals);
    row.figures.total = Cents(totals.writtenCents);
    QByteArray line = ReportLine(row, separator);
    // The row's column says what the line is, where a row gives its number.
    return "total" + line.mid(line.indexOf(separator));
}

QString KeptReportName(const QString& stamp) {
    return QStringLiteral("resultado %1.csv").arg(stamp);
}

}  // namespace batch
