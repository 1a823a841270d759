// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TemplateCommand.h"

#include <QDir>
#include <QHash>

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Tell.h"
#include "cli/VoucherOptions.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

namespace cli {

namespace {

// A voucher the batch writes as it stands; plain ASCII, so that any
// spreadsheet opens it the same whatever encoding it guesses.
const QHash<QString, QString>& Example() {
    static const QHash<QString, QString> example{
        {QStringLiteral("establecimiento"), QStringLiteral("Taller Norte SRL")},
        {QStringLiteral("calle"), QStringLiteral("Belgrano 1234")},
        {QStringLiteral("cp"), QStringLiteral("5000")},
        {QStringLiteral("localidad"), QStringLiteral("Cordoba")},
        {QStringLiteral("provincia"), QStringLiteral("Cordoba")},
        {QStringLiteral("cuit"), QStringLiteral("20123456786")},
        {QStringLiteral("mes"), QStringLiteral("5")},
        {QStringLiteral("anio"), QStringLiteral("2026")},
        {QStringLiteral("personal"), QStringLiteral("7")},
        {QStringLiteral("otros-desc"), QStringLiteral("Aporte extraordinario")},
        {QStringLiteral("cheque"), QStringLiteral("12345678")},
        {QStringLiteral("banco"), QStringLiteral("Banco Sur")},
        {QStringLiteral("son-pesos"), QString::fromUtf8(kWordsFromTotal)},
        {QStringLiteral("dia"), QStringLiteral("10")},
        {QStringLiteral("mes-deposito"), QStringLiteral("Junio")},
        {QStringLiteral("anio-deposito"), QStringLiteral("26")},
        {QStringLiteral("remuneracion"), QStringLiteral("100000,50")},
        {QStringLiteral("recargo"), QStringLiteral("120,50")},
        {QStringLiteral("otros"), QStringLiteral("0")},
        {QString::fromUtf8(kCashOption), QStringLiteral("no")},
    };
    return example;
}

}  // namespace

QByteArray BatchTemplate() {
    // Semicolons: the separator a spreadsheet writes where the comma is the
    // decimal mark, as in the example's amounts.
    QStringList values;
    const QStringList columns = VoucherOptionNames();
    for (const QString& column : columns) {
        values << Example().value(column);
    }
    return (columns.join(u';') + QStringLiteral("\r\n") + values.join(u';') +
            QStringLiteral("\r\n"))
        .toUtf8();
}

int RunTemplateCommand(const CommandLine& line, QTextStream& err) {
    const QString path = line.value(QStringLiteral("plantilla"));
    if (path.isEmpty()) {
        Error(err, QStringLiteral("Uso: talonario --plantilla ARCHIVO.csv"));
        return kRefused;
    }
    const QString why = platform::WriteFileSafely(platform::EncodeName(path), BatchTemplate());
    if (!why.isEmpty()) {
        Error(err, QStringLiteral("No se puede escribir %1: %2")
                       .arg(platform::Printable(QDir::toNativeSeparators(path)), why));
        return kUnwritable;
    }
    return kDone;
}

}  // namespace cli
