// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PdfCommand.h"

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Recording.h"
#include "cli/Tell.h"
#include "cli/VoucherFill.h"
#include "cli/VoucherOptions.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

#include <QFileInfo>

namespace cli {

int RunPdfCommand(const CommandLine& line, QTextStream& out, QTextStream& err) {
    const QString path = line.value(QStringLiteral("pdf"));
    const bool print = line.isSet(QString::fromUtf8(kPrintOption));
    if (path.isEmpty() && !print) {
        Error(err, QStringLiteral("Uso: talonario --pdf ARCHIVO [opciones]; vea --help"));
        return kRefused;
    }
    VoucherValues input;
    for (const TextOption& option : kTextOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (line.isSet(name)) {
            input.values.insert(name, line.value(name));
        }
    }
    for (const AmountOption& option : kAmountOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (line.isSet(name)) {
            input.values.insert(name, line.value(name));
        }
    }
    for (const char* option : {kSurchargeFromOption, kRateOption}) {
        const QString name = QString::fromUtf8(option);
        if (line.isSet(name)) {
            input.values.insert(name, line.value(name));
        }
    }
    input.cash = line.isSet(QString::fromUtf8(kCashOption));
    input.strict = line.isSet(QString::fromUtf8(kStrictOption));

    const VoucherOutcome outcome =
        print ? PrintVoucher(input, line.value(QString::fromUtf8(kPrinterOption)))
              : WriteVoucher(input, path);
    for (const QString& message : outcome.messages) {
        Error(err, message);
    }
    for (const QString& warning : outcome.warnings) {
        Warning(err, warning);
    }
    if (outcome.status == kDone) {
        // The PDF itself went to standard output: the code must not mix into it.
        const bool toOutput = !print && platform::IsStandardOutput(platform::EncodeName(path));
        if (toOutput) {
            err << outcome.code << Qt::endl;
        } else {
            out << outcome.code << Qt::endl;
        }
        // Once the PDF is complete on disk; a failure is a warning only.
        Recorder recorder(RecordDestination(line), err);
        const QString destination =
            print ? PrintedDestination(outcome.jobs, line.value(QString::fromUtf8(kPrinterOption)))
            : toOutput ? QStringLiteral("salida estándar")
                       : QFileInfo(path).absoluteFilePath();
        recorder.Record(RecordedVoucher(outcome.boxes, outcome.figures, outcome.code,
                                        print ? history::kFromPrint : history::kFromPdf,
                                        destination));
    }
    return outcome.status;
}

}  // namespace cli
