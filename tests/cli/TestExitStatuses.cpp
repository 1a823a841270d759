// SPDX-License-Identifier: GPL-3.0-or-later
// The exit statuses' meanings are written once, beside the constants: the
// help, the manual page and the README must say the same.
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"

namespace {

using Statuses = QList<QPair<int, QString>>;

QString Read(const QString& name) {
    QFile file(QStringLiteral(TALONARIO_SOURCE_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

Statuses Table() {
    Statuses table;
    for (const cli::ExitStatusMeaning& entry : cli::kExitStatuses) {
        table.append({entry.status, QString::fromUtf8(entry.meaning)});
    }
    return table;
}

// "  3   No se pudo ...\n      sigue ...": the status, then its meaning wrapped under it.
Statuses FromHelp(const QString& help) {
    Statuses statuses;
    const qsizetype start = help.indexOf(QStringLiteral("Estados de salida:\n"));
    if (start < 0) {
        return statuses;
    }
    static const QRegularExpression first(QStringLiteral("^  (\\d+) +(.*)$"));
    const QStringList lines = help.mid(start).split(u'\n').mid(1);
    for (const QString& line : lines) {
        if (const QRegularExpressionMatch match = first.match(line); match.hasMatch()) {
            statuses.append({match.captured(1).toInt(), match.captured(2)});
        } else if (line.startsWith(QStringLiteral("      ")) && !statuses.isEmpty()) {
            statuses.back().second += u' ' + line.trimmed();
        } else {
            break;
        }
    }
    return statuses;
}

// Arguments of a font macro line, double quotes grouping words.
QStringList MacroArguments(const QString& rest) {
    QStringList arguments;
    static const QRegularExpression argument(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
    for (const QRegularExpressionMatch& match : argument.globalMatch(rest)) {
        arguments << (match.hasCaptured(1) ? match.captured(1) : match.captured(2));
    }
    return arguments;
}

// The manual page's plain text: .B and .I join their words with spaces,
// .BR and the like alternate fonts with nothing in between.
QString PlainRoff(const QStringList& lines) {
    QStringList words;
    for (const QString& line : lines) {
        if (!line.startsWith(u'.')) {
            words << line;
            continue;
        }
        const QString macro = line.section(u' ', 0, 0).mid(1);
        const QStringList arguments = MacroArguments(line.section(u' ', 1));
        words << arguments.join(macro.size() == 1 ? QStringLiteral(" ") : QString());
    }
    return words.join(u' ').replace(QStringLiteral("\\-"), QStringLiteral("-")).simplified();
}

Statuses FromManual(const QString& page) {
    Statuses statuses;
    const qsizetype start = page.indexOf(QStringLiteral(".SH ESTADO DE SALIDA\n"));
    if (start < 0) {
        return statuses;
    }
    QString section = page.mid(start).section(u'\n', 1);
    section = section.left(section.indexOf(QStringLiteral("\n.SH ")));
    for (const QString& entry : section.split(QStringLiteral(".TP\n"), Qt::SkipEmptyParts)) {
        QStringList lines = entry.split(u'\n', Qt::SkipEmptyParts);
        const QString status = lines.takeFirst();
        statuses.append({status.startsWith(QStringLiteral(".B ")) ? status.mid(3).toInt() : -1,
                         PlainRoff(lines)});
    }
    return statuses;
}

// The README is English: its list must hold the same statuses, in order.
Statuses FromReadme(const QString& readme) {
    Statuses statuses;
    const qsizetype start = readme.indexOf(QStringLiteral("### Messages and exit statuses"));
    if (start < 0) {
        return statuses;
    }
    static const QRegularExpression item(QStringLiteral("^- `(\\d+)` "),
                                         QRegularExpression::MultilineOption);
    QString section = readme.mid(start);
    section = section.left(section.indexOf(QStringLiteral("\n#"), 1));
    for (const QRegularExpressionMatch& match : item.globalMatch(section)) {
        statuses.append({match.captured(1).toInt(), QString()});
    }
    return statuses;
}

}  // namespace

class TestExitStatuses : public QObject {
    Q_OBJECT
  private slots:
    void toldAsWritten_data();
    void toldAsWritten();
};

void TestExitStatuses::toldAsWritten_data() {
    QTest::addColumn<Statuses>("told");
    QTest::addColumn<bool>("sameWords");
    cli::InstallParserTexts();
    QTest::newRow("--help") << FromHelp(cli::CommandLine().helpText(false)) << true;
    QTest::newRow("--help-all") << FromHelp(cli::CommandLine().helpText(true)) << true;
    QTest::newRow("manual page") << FromManual(Read(QStringLiteral("docs/talonario.1"))) << true;
    QTest::newRow("README, in English") << FromReadme(Read(QStringLiteral("README.md"))) << false;
}

void TestExitStatuses::toldAsWritten() {
    QFETCH(Statuses, told);
    QFETCH(bool, sameWords);
    Statuses table = Table();
    if (!sameWords) {
        for (auto& [status, meaning] : table) {
            meaning.clear();
        }
    }
    for (qsizetype i = 0; i < std::min(told.size(), table.size()); ++i) {
        QCOMPARE(told[i].first, table[i].first);
        QCOMPARE(told[i].second, table[i].second);
    }
    QCOMPARE(told.size(), table.size());
}

QTEST_GUILESS_MAIN(TestExitStatuses)
#include "TestExitStatuses.moc"
