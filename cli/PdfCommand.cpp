// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PdfCommand.h"

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Recording.h"
#include "cli/VoucherFill.h"
#include "cli/VoucherOptions.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

#include <QFileInfo>

namespace cli {

int RunPdfCommand(const CommandLine& line, QTextStream& out, QTextStream& err) {
    const QString path = line.value(QStringLiteral("pdf"));
    if (path.isEmpty()) {
        err << "Uso: talonario --pdf ARCHIVO [opciones]; vea --help" << Qt::endl;
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
    input.cash = line.isSet(QString::fromUtf8(kCashOption));
    input.strict = line.isSet(QString::fromUtf8(kStrictOption));

    const VoucherOutcome outcome = WriteVoucher(input, path);
    for (const QString& message : outcome.messages) {
        err << message << Qt::endl;
    }
    if (outcome.status == kDone) {
        // The PDF itself went to standard output: the code must not mix into it.
        const bool toOutput = platform::IsStandardOutput(platform::EncodeName(path));
        if (toOutput) {
            err << outcome.code << Qt::endl;
        } else {
            out << outcome.code << Qt::endl;
        }
        // Once the PDF is complete on disk; a failure is a warning only.
        Recorder recorder(RecordDestination(line), err);
        recorder.Record(RecordedVoucher(
            outcome.boxes, outcome.figures, outcome.code, history::kFromPdf,
            toOutput ? QStringLiteral("salida estándar") : QFileInfo(path).absoluteFilePath()));
    }
    return outcome.status;
}

}  // namespace cli
