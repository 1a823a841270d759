// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Run.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <new>

#include "cli/BarcodeCommand.h"
#include "cli/BatchCommand.h"
#include "cli/BatchWorker.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/PdfCommand.h"
#include "cli/RecordCommands.h"
#include "cli/Tell.h"
#include "cli/TemplateCommand.h"
#include "platform/Files.h"
#include "platform/Startup.h"

namespace cli {

namespace {

QtMessageHandler qtHandler = nullptr;

int RunParsed(const QStringList& arguments, QTextStream& out, QTextStream& err);

// A command's standard error holds its own Spanish lines only: Qt's notice
// that it made up a runtime folder (root without a login session) is
// nothing the user can act on.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths: "))) {
        return;
    }
    if (qtHandler != nullptr) {
        qtHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

int RunCommandLine(int& argc, char** argv) {
    qtHandler = qInstallMessageHandler(QuietHandler);
    // The commands show nothing and draw on the offscreen platform: they
    // need no display, whatever platform the desktop session names.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt takes its own options (-platform, -style, -reverse...) out of what
    // it is given and acts on them before our parser could refuse them: it
    // is given the program's name alone, and our parser sees everything.
    // Qt decodes arguments lossily; names that are not UTF-8 must survive.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << platform::DecodeName(QByteArray(argv[i]));
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("talonario"));
    QApplication::setApplicationVersion(QStringLiteral(TALONARIO_VERSION));
    InstallParserTexts();
    platform::InstallSpanishQtTranslation();
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        return RunParsed(arguments, out, err);
    } catch (const std::bad_alloc&) {
        Error(err, QStringLiteral("no hay memoria suficiente"));
        return kFailed;
    }
}

namespace {

int RunParsed(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    CommandLine line;
    if (!line.Parse(arguments)) {
        Error(err, line.errorText());
        return kRefused;
    }
    switch (line.command()) {
        case Command::Help:
        case Command::HelpAll:
            out << line.helpText(line.command() == Command::HelpAll);
            return kDone;
        case Command::Version:
            out << VersionText() << Qt::endl;
            return kDone;
        case Command::Barcode:
            return RunBarcodeCommand(line, err);
        case Command::Pdf:
            return RunPdfCommand(line, out, err);
        case Command::Batch:
            return RunBatchCommand(line, err);
        case Command::BatchWorker:
            return RunBatchWorker();
        case Command::Template:
            return RunTemplateCommand(line, err);
        case Command::History:
            return RunHistoryCommand(line, out, err);
        case Command::Reprint:
            return RunReprintCommand(line, out, err);
        case Command::Register:
            return RunRegisterCommand(line, err);
    }
    return kRefused;
}

}  // namespace

}  // namespace cli
