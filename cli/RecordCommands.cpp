// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RecordCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

#include "batch/CsvRows.h"
#include "batch/Report.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Recording.h"
#include "cli/Tell.h"
#include "cli/VoucherFill.h"
#include "history/Destination.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

namespace cli {

namespace {

// The record to read, or null with the reason told.
std::unique_ptr<history::Store> OpenForReading(const CommandLine& line, QTextStream& err) {
    const QString destination = RecordDestination(line);
    if (destination.isEmpty()) {
        Error(err, QStringLiteral("el historial está desactivado («ninguna»); indique "
                                  "--base DESTINO"));
        return nullptr;
    }
    try {
        return history::OpenStore(destination);
    } catch (const history::StoreFailure& failure) {
        Error(err, QStringLiteral("no se puede leer el historial: ") +
                       QString::fromUtf8(failure.what()));
        return nullptr;
    }
}

// "20-12345678-6" or "20123456786" as 11 digits; empty when neither.
QString CuitDigits(const QString& text) {
    QString digits = text.trimmed();
    digits.remove(u'-');
    static const QRegularExpression eleven(QStringLiteral("^[0-9]{11}$"));
    return eleven.match(digits).hasMatch() ? digits : QString();
}

bool ValidPeriod(const QString& period) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{4})-([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(period);
    const int month = match.captured(2).toInt();
    return match.hasMatch() && month >= 1 && month <= 12;
}

QString Amount(const history::Voucher& voucher, const char* pesos, const char* cents) {
    const QString whole = voucher.boxes.value(QString::fromLatin1(pesos));
    const QString part = voucher.boxes.value(QString::fromLatin1(cents));
    return whole.isEmpty() && part.isEmpty() ? QString() : whole + u',' + part;
}

QByteArray HistoryLine(const history::Voucher& voucher) {
    const QString month = voucher.boxes.value(QStringLiteral("txtMes"));
    QStringList cells{
        QString::number(voucher.id),
        voucher.issued.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        voucher.how,
        voucher.destination,
        voucher.version,
        voucher.cuit(),
        voucher.name(),
        month.rightJustified(2, u'0') + u'/' + voucher.boxes.value(QStringLiteral("txtAnio")),
        Amount(voucher, "txtRemuneracion", "txtRemuneracionDec"),
        voucher.contribution,
        Amount(voucher, "txtRecargo", "txtRecargoDec"),
        Amount(voucher, "txtOtrosConceptos", "txtOtrosConceptosDec"),
        voucher.total,
        voucher.paymentCode};
    for (QString& cell : cells) {
        cell = batch::SafeCell(cell);
    }
    // As in resultado.csv: after a tab a spreadsheet keeps the 23 digits as text.
    cells.back().prepend(u'\t');
    return batch::CsvLine(cells, ';');
}

}  // namespace

int RunHistoryCommand(const CommandLine& line, QTextStream& out, QTextStream& err) {
    history::Filter filter;
    if (line.isSet(QStringLiteral("cuit"))) {
        filter.cuit = CuitDigits(line.value(QStringLiteral("cuit")));
        if (filter.cuit.isEmpty()) {
            Error(err, QStringLiteral("--cuit: 11 dígitos o 20-12345678-6"));
            return kRefused;
        }
    }
    for (const auto& [name, period] : {std::pair{QStringLiteral("desde"), &filter.fromPeriod},
                                       std::pair{QStringLiteral("hasta"), &filter.toPeriod}}) {
        if (line.isSet(name)) {
            *period = line.value(name).trimmed();
            if (!ValidPeriod(*period)) {
                Error(err, QStringLiteral("--%1: un período AAAA-MM, como 2026-05").arg(name));
                return kRefused;
            }
        }
    }
    const auto store = OpenForReading(line, err);
    if (!store) {
        return kNoRecord;
    }
    std::vector<history::Voucher> vouchers;
    try {
        vouchers = store->List(filter);
    } catch (const history::StoreFailure& failure) {
        Error(err, QStringLiteral("no se puede leer el historial: ") +
                       QString::fromUtf8(failure.what()));
        return kNoRecord;
    }
    QByteArray csv =
        "\xEF\xBB\xBF" +
        batch::CsvLine(
            {QStringLiteral("id"), QStringLiteral("emitido"), QStringLiteral("forma"),
             QStringLiteral("destino"), QStringLiteral("version"), QStringLiteral("cuit"),
             QStringLiteral("establecimiento"), QStringLiteral("periodo"),
             QStringLiteral("remuneracion"), QStringLiteral("aporte"), QStringLiteral("recargo"),
             QStringLiteral("otros"), QStringLiteral("total"), QStringLiteral("codigo_pago")},
            ';') +
        "\r\n";
    for (const history::Voucher& voucher : vouchers) {
        csv += HistoryLine(voucher) + "\r\n";
    }
    out.flush();
    std::fwrite(csv.constData(), 1, std::size_t(csv.size()), stdout);
    std::fflush(stdout);
    if (vouchers.empty()) {
        Error(err, QStringLiteral("ningún comprobante del historial coincide"));
    }
    return kDone;
}

int RunReprintCommand(const CommandLine& line, QTextStream& out, QTextStream& err) {
    bool ok = false;
    const qint64 id = line.value(QStringLiteral("reimprimir")).trimmed().toLongLong(&ok);
    if (!ok || id < 1) {
        Error(err, QStringLiteral("--reimprimir: el número de un comprobante, la columna id de "
                                  "--historial"));
        return kRefused;
    }
    const QString path = line.value(QStringLiteral("pdf"));
    if (path.isEmpty()) {
        Error(err, QStringLiteral("Uso: talonario --reimprimir ID --pdf ARCHIVO [--base DESTINO]"));
        return kRefused;
    }
    const auto store = OpenForReading(line, err);
    if (!store) {
        return kNoRecord;
    }
    std::optional<history::Voucher> stored;
    try {
        stored = store->Find(id);
    } catch (const history::StoreFailure& failure) {
        Error(err, QStringLiteral("no se puede leer el historial: ") +
                       QString::fromUtf8(failure.what()));
        return kNoRecord;
    }
    if (!stored) {
        Error(err, QStringLiteral("el historial no tiene ningún comprobante número %1; vea "
                                  "--historial")
                       .arg(id));
        return kRefused;
    }
    const VoucherOutcome outcome = WriteStoredVoucher(stored->boxes, path);
    for (const QString& message : outcome.messages) {
        err << message << Qt::endl;
    }
    if (outcome.status != kDone) {
        return outcome.status;
    }
    const bool toOutput = platform::IsStandardOutput(platform::EncodeName(path));
    (toOutput ? err : out) << outcome.code << Qt::endl;
    if (outcome.code.trimmed() != stored->paymentCode) {
        // Never expected: the figures are the recorded ones. Said, not hidden.
        Warning(
            err,
            QStringLiteral("el código de pago no es el registrado (%1)").arg(stored->paymentCode));
    }
    Recorder recorder(RecordDestination(line), err);
    recorder.Record(RecordedVoucher(
        outcome.boxes, outcome.figures, outcome.code, history::kFromReprint,
        toOutput ? QStringLiteral("salida estándar") : QFileInfo(path).absoluteFilePath()));
    return kDone;
}

int RunRegisterCommand(const CommandLine& line, QTextStream& err) {
    const QString path = line.value(QStringLiteral("padron"));
    if (path.isEmpty()) {
        Error(err, QStringLiteral("Uso: talonario --padron ARCHIVO.csv [--base DESTINO]"));
        return kRefused;
    }
    const auto store = OpenForReading(line, err);
    if (!store) {
        return kNoRecord;
    }
    std::vector<history::Employer> employers;
    try {
        employers = store->Employers();
    } catch (const history::StoreFailure& failure) {
        Error(err, QStringLiteral("no se puede leer el historial: ") +
                       QString::fromUtf8(failure.what()));
        return kNoRecord;
    }
    if (employers.empty()) {
        Error(err,
              QStringLiteral("el padrón está vacío: todavía no se registró ningún comprobante"));
        return kRefused;
    }
    QByteArray csv =
        "\xEF\xBB\xBF" +
        batch::CsvLine(
            {QStringLiteral("cuit"), QStringLiteral("establecimiento"), QStringLiteral("calle"),
             QStringLiteral("cp"), QStringLiteral("localidad"), QStringLiteral("provincia"),
             QStringLiteral("mes"), QStringLiteral("anio"), QStringLiteral("remuneracion")},
            ';') +
        "\r\n";
    for (const history::Employer& employer : employers) {
        QStringList cells{employer.cuit,      employer.establecimiento, employer.calle, employer.cp,
                          employer.localidad, employer.provincia,       QString(),      QString(),
                          QString()};
        for (QString& cell : cells) {
            cell = batch::SafeCell(cell);
        }
        csv += batch::CsvLine(cells, ';') + "\r\n";
    }
    if (const QString why = platform::WriteFileSafely(platform::EncodeName(path), csv);
        !why.isEmpty()) {
        Error(err, QStringLiteral("No se puede escribir %1: %2")
                       .arg(platform::Printable(QDir::toNativeSeparators(path)), why));
        return kUnwritable;
    }
    return kDone;
}

}  // namespace cli
