// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QStringList>

namespace cli {

enum class Command {
    Pdf,
    Barcode,
    Batch,
    BatchWorker,
    Template,
    Help,
    HelpAll,
    Version,
    History,
    Reprint,
    Register
};

// The hidden option that starts one of a batch's worker processes.
inline constexpr const char* kBatchWorkerOption = "lote-trabajador";

// The one parser of the program's command line: every option of every
// command, so that any form the parser accepts (`--pdf=a.pdf`, `--pdf a.pdf`,
// `-v`) works and anything else is refused before a command starts. Its texts
// are Spanish when Qt's Spanish translation is installed first.
class CommandLine {
  public:
    CommandLine();

    // `arguments` start with the program's name. False when they are not a
    // command line this program takes; errorText() then says why.
    bool Parse(const QStringList& arguments);
    const QString& errorText() const { return error_; }

    Command command() const { return command_; }
    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const { return parser_.value(name); }
    // Options' and usage help; `all` adds the environment variables.
    QString helpText(bool all) const;

  private:
    bool ParseRecordCommand();

    QCommandLineParser parser_;
    Command command_ = Command::Help;
    QString error_;
};

// Installs our Spanish for the option parser's texts, for where Qt's own
// translation lacks them or is not installed; installed before Qt's
// (platform::InstallSpanishQtTranslation), whose wording then wins. Needs
// the application object.
void InstallParserTexts();

// "talonario 1.0".
QString VersionText();

}  // namespace cli
