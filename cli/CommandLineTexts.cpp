// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineTexts.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

#include "batch/Cash.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/VoucherOptions.h"

namespace cli {

namespace {

// Words quoted and listed: «si», «sí» o «x».
QString Quoted(const QStringList& words) {
    QStringList quoted;
    for (const QString& word : words) {
        quoted << QStringLiteral("«%1»").arg(word);
    }
    const QString last = quoted.takeLast();
    return quoted.join(QStringLiteral(", ")) + QStringLiteral(" o ") + last;
}

// Words joined into lines of at most `width` characters, each opened by
// `indent` spaces.
QStringList Wrapped(const QString& text, qsizetype indent, qsizetype width) {
    QStringList lines{QString()};
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!lines.back().isEmpty() && indent + lines.back().size() + 1 + word.size() > width) {
            lines << QString();
        }
        lines.back() += (lines.back().isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    for (QString& line : lines) {
        line.prepend(QString(indent, u' '));
    }
    return lines;
}

// The option parser's own texts in Spanish, for where Qt's translation is
// not installed; installed before it, so that its own wording wins.
class ParserTexts : public QTranslator {
  public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        static const QHash<QByteArray, QString> texts{
            {"Usage: %1", QStringLiteral("Uso: %1")},
            {"Options:", QStringLiteral("Opciones:")},
            {"Arguments:", QStringLiteral("Argumentos:")},
            {"[options]", QStringLiteral("[opciones]")},
            {"Unknown option '%1'.", QStringLiteral("Opción desconocida «%1».")},
            {"Unknown options: %1.", QStringLiteral("Opciones desconocidas: %1.")},
            {"Missing value after '%1'.", QStringLiteral("Falta valor tras «%1».")},
            {"Unexpected value after '%1'.", QStringLiteral("Valor inesperado tras «%1».")},
        };
        if (qstrcmp(context, "QCommandLineParser") != 0 || source == nullptr) {
            return {};
        }
        return texts.value(QByteArray(source));
    }
};

}  // namespace

QString BatchColumnsHelp() {
    QStringList no = batch::CashNo();
    no.removeAll(QString());
    // The names as lines of at most 80 characters, indented.
    QStringList lines{QStringLiteral(" ")};
    for (const QString& name : VoucherOptionNames()) {
        if (lines.back().size() + name.size() + 2 > 80) {
            lines << QStringLiteral(" ");
        }
        lines.back() += u' ' + name + u',';
    }
    lines.back().back() = u'.';
    return QStringLiteral(
               "Columnas del CSV de --lote, una por opción de --pdf (vea cada una):\n"
               "%1\n"
               "En efectivo, sí es %2;\n"
               "no es %3, o la celda vacía.\n"
               "Con --plantilla ARCHIVO.csv escribe un CSV con todas las columnas y una fila de\n"
               "ejemplo, listo para completar.")
        .arg(lines.join(u'\n'), Quoted(batch::CashYes()), Quoted(no));
}

QString ExitStatusHelp() {
    QString help = QStringLiteral("Estados de salida:\n");
    for (const ExitStatusMeaning& entry : kExitStatuses) {
        QStringList lines = Wrapped(QString::fromUtf8(entry.meaning), 6, 80);
        lines.front().replace(2, 3, QStringLiteral("%1").arg(entry.status, -3));
        help += lines.join(u'\n') + u'\n';
    }
    return help;
}

void InstallParserTexts() {
    static ParserTexts parserTexts;
    static bool installed = false;
    if (!installed) {
        installed = QCoreApplication::installTranslator(&parserTexts);
    }
}

QString VersionText() {
    return QStringLiteral("talonario %1").arg(QStringLiteral(TALONARIO_VERSION));
}

}  // namespace cli
