#include "batch/CsvRows.h"

#include <csv.h>

#include <QStringDecoder>
#include <array>

namespace batch {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

// The separator the header line uses, read outside quotes: a semicolon when it
// has more of them than commas (spreadsheets set to a comma decimal mark).
char HeaderSeparator(const QByteArray& bytes) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : bytes) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            break;
        } else if (!quoted && c == ',') {
            ++commas;
        } else if (!quoted && c == ';') {
            ++semicolons;
        }
    }
    return semicolons > commas ? ';' : ',';
}

bool IsUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Line breaks inside a field come back as \n whatever the file's line ends.
QString DecodeRecordField(QByteArray field, bool utf8) {
    field.replace("\r\n", "\n").replace('\r', '\n');
    if (!utf8) {
        return DecodeWindows1252(field);
    }
    // The file's own BOM is gone already; one starting a field is the field's.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(field);
}

// What libcsv trims off both ends of a field that is not quoted.
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// What libcsv hands over while parsing: the raw fields of the record being read.
struct Collector {
    std::vector<std::vector<QByteArray>> records;
    std::vector<QByteArray> current;
};

void OnField(void* data, std::size_t length, void* context) {
    auto& collector = *static_cast<Collector*>(context);
    collector.current.emplace_back(static_cast<const char*>(data), static_cast<qsizetype>(length));
}

void OnRecordEnd(int, void* context) {
    auto& collector = *static_cast<Collector*>(context);
    collector.records.push_back(std::move(collector.current));
    collector.current.clear();
}

}  // namespace

QString DecodeWindows1252(const QByteArray& bytes) {
    // Qt converts through ICU when it has it; otherwise Latin-1 with the
    // 0x80-0x9F block, where the two encodings differ, mapped by hand.
    QStringDecoder decoder("windows-1252");
    if (decoder.isValid()) {
        return decoder.decode(bytes);
    }
    // clang-format off
    static constexpr std::array<char16_t, 32> kHigh{
        u'\u20AC', u'\uFFFD', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
        u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\uFFFD', u'\u017D', u'\uFFFD',
        u'\uFFFD', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
        u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\uFFFD', u'\u017E', u'\u0178'};
    // clang-format on
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        text += code >= 0x80 && code < 0xA0 ? QChar(kHigh[code - 0x80]) : QChar(code);
    }
    return text;
}

CsvTable ReadCsv(const QByteArray& input) {
    CsvTable table;
    QByteArray bytes = input;
    if (bytes.startsWith(kBom)) {
        bytes.remove(0, 3);
    }
    table.separator = HeaderSeparator(bytes);

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        table.error = QStringLiteral("No se pudo preparar la lectura del CSV");
        return table;
    }
    csv_set_delim(&parser, static_cast<unsigned char>(table.separator));
    Collector collector;
    const auto length = static_cast<std::size_t>(bytes.size());
    const bool read =
        csv_parse(&parser, bytes.constData(), length, OnField, OnRecordEnd, &collector) == length &&
        csv_fini(&parser, OnField, OnRecordEnd, &collector) == 0;
    if (!read) {
        table.error = QStringLiteral("El CSV no se puede leer después de la fila %1: %2")
                          .arg(collector.records.size())
                          .arg(QString::fromUtf8(csv_strerror(csv_error(&parser))));
        csv_free(&parser);
        return table;
    }
    csv_free(&parser);

    if (collector.records.empty()) {
        table.error = QStringLiteral("El CSV está vacío: falta el encabezado");
        return table;
    }
    for (std::size_t r = 0; r < collector.records.size(); ++r) {
        const std::vector<QByteArray>& raw = collector.records[r];
        QByteArray whole;
        for (const QByteArray& field : raw) {
            whole += field;
        }
        const bool utf8 = IsUtf8(whole);
        QStringList fields;
        for (const QByteArray& field : raw) {
            fields << DecodeRecordField(field, utf8);
        }
        if (r == 0) {
            table.header = fields;
        } else {
            table.rows.push_back({static_cast<int>(r) + 1, fields});
        }
    }
    return table;
}

QByteArray CsvLine(const QStringList& fields, char separator) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += separator;
        }
        QByteArray field = fields[i].toUtf8();
        // Blanks at either end are quoted too: the reader trims them off bare fields.
        const bool blankEnd = !field.isEmpty() && (IsBlank(field.front()) || IsBlank(field.back()));
        if (blankEnd || field.contains(separator) || field.contains('"') || field.contains('\n') ||
            field.contains('\r')) {
            field.replace("\"", "\"\"");
            field = '"' + field + '"';
        }
        line += field;
    }
    return line;
}

}  // namespace batch
