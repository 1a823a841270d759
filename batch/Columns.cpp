// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/Columns.h"

#include <QHash>
#include <QRegularExpression>

namespace batch {

namespace {

// Words that join others and say nothing about which column it is.
const QStringList kFillers{QStringLiteral("de"),    QStringLiteral("del"), QStringLiteral("la"),
                           QStringLiteral("el"),    QStringLiteral("los"), QStringLiteral("las"),
                           QStringLiteral("en"),    QStringLiteral("y"),   QStringLiteral("o"),
                           QStringLiteral("n"),     QStringLiteral("nro"), QStringLiteral("num"),
                           QStringLiteral("numero")};

// A title as words of plain lower-case letters and digits, fillers left
// out, joined by "-" as the columns' own names are.
QString Key(const QString& title) {
    QString text = title.toLower();
    // "ñ" is "ni" in the columns' names (anio), not the "n" its base letter gives.
    text.replace(u'ñ', QStringLiteral("ni"));
    text = text.normalized(QString::NormalizationForm_D);
    QString plain;
    for (const QChar c : text) {
        if (c.isMark() || c == u'.' || c == u'º' || c == u'°' || c == u'ª') {
            continue;  // accents, and the dots of "C.U.I.T." and "Nº"
        }
        plain += c.isLetterOrNumber() ? c : u' ';
    }
    QStringList words = plain.split(u' ', Qt::SkipEmptyParts);
    words.removeIf([](const QString& word) { return kFillers.contains(word); });
    return words.join(u'-');
}

// Other names for a column, as keys.
const QHash<QString, QString>& Aliases() {
    static const QHash<QString, QString> aliases{
        {QStringLiteral("razon-social"), QStringLiteral("establecimiento")},
        {QStringLiteral("nombre"), QStringLiteral("establecimiento")},
        {QStringLiteral("nombre-establecimiento"), QStringLiteral("establecimiento")},
        {QStringLiteral("empleador"), QStringLiteral("establecimiento")},
        {QStringLiteral("empresa"), QStringLiteral("establecimiento")},
        {QStringLiteral("direccion"), QStringLiteral("calle")},
        {QStringLiteral("domicilio"), QStringLiteral("calle")},
        {QStringLiteral("codigo-postal"), QStringLiteral("cp")},
        {QStringLiteral("cod-postal"), QStringLiteral("cp")},
        {QStringLiteral("c-p"), QStringLiteral("cp")},
        {QStringLiteral("ciudad"), QStringLiteral("localidad")},
        {QStringLiteral("loc"), QStringLiteral("localidad")},
        {QStringLiteral("pcia"), QStringLiteral("provincia")},
        {QStringLiteral("prov"), QStringLiteral("provincia")},
        {QStringLiteral("mes-liquidado"), QStringLiteral("mes")},
        {QStringLiteral("anio-liquidado"), QStringLiteral("anio")},
        {QStringLiteral("ano"), QStringLiteral("anio")},
        {QStringLiteral("cantidad-personal"), QStringLiteral("personal")},
        {QStringLiteral("cant-personal"), QStringLiteral("personal")},
        {QStringLiteral("empleados"), QStringLiteral("personal")},
        {QStringLiteral("cantidad-empleados"), QStringLiteral("personal")},
        {QStringLiteral("otros-descripcion"), QStringLiteral("otros-desc")},
        {QStringLiteral("descripcion-otros"), QStringLiteral("otros-desc")},
        {QStringLiteral("descripcion-otros-conceptos"), QStringLiteral("otros-desc")},
        {QStringLiteral("otros-conceptos-descripcion"), QStringLiteral("otros-desc")},
        {QStringLiteral("cheque-giro"), QStringLiteral("cheque")},
        {QStringLiteral("giro"), QStringLiteral("cheque")},
        {QStringLiteral("banco-cheque"), QStringLiteral("banco")},
        {QStringLiteral("importe-letras"), QStringLiteral("son-pesos")},
        {QStringLiteral("letras"), QStringLiteral("son-pesos")},
        {QStringLiteral("dia-deposito"), QStringLiteral("dia")},
        {QStringLiteral("ano-deposito"), QStringLiteral("anio-deposito")},
        {QStringLiteral("total-remuneracion"), QStringLiteral("remuneracion")},
        {QStringLiteral("remuneraciones"), QStringLiteral("remuneracion")},
        {QStringLiteral("total-remuneraciones"), QStringLiteral("remuneracion")},
        {QStringLiteral("recargo-actualizado"), QStringLiteral("recargo")},
        {QStringLiteral("recargo-actualizado-intereses"), QStringLiteral("recargo")},
        {QStringLiteral("recargo-intereses"), QStringLiteral("recargo")},
        {QStringLiteral("intereses"), QStringLiteral("recargo")},
        {QStringLiteral("otros-conceptos"), QStringLiteral("otros")},
        {QStringLiteral("pago-efectivo"), QStringLiteral("efectivo")},
        {QStringLiteral("vencimiento"), QStringLiteral("recargo-desde")},
        {QStringLiteral("fecha-vencimiento"), QStringLiteral("recargo-desde")},
        {QStringLiteral("vto"), QStringLiteral("recargo-desde")},
        {QStringLiteral("tasa-mensual"), QStringLiteral("tasa")},
        {QStringLiteral("tasa-interes"), QStringLiteral("tasa")},
        {QStringLiteral("tasa-interes-mensual"), QStringLiteral("tasa")},
        {QStringLiteral("tasa-recargo"), QStringLiteral("tasa")},
        {QStringLiteral("interes-mensual"), QStringLiteral("tasa")},
    };
    return aliases;
}

}  // namespace

QString CanonicalColumn(const QString& title, const QStringList& known) {
    const QString key = Key(title);
    if (key.isEmpty()) {
        return {};
    }
    for (const QString& name : known) {
        if (Key(name) == key) {
            return name;
        }
    }
    const QString alias = Aliases().value(key);
    return known.contains(alias) ? alias : QString();
}

}  // namespace batch
