// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/CsvRows.h"

#include <csv.h>

#include <QBuffer>
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

// What libcsv hands over while parsing one record: its raw fields.
struct Collector {
    std::vector<QByteArray> fields;
    int records = 0;
};

void OnField(void* data, std::size_t length, void* context) {
    auto& collector = *static_cast<Collector*>(context);
    collector.fields.emplace_back(static_cast<const char*>(data), static_cast<qsizetype>(length));
}

void OnRecordEnd(int, void* context) {
    ++static_cast<Collector*>(context)->records;
}

bool IsBlankRecord(const QStringList& fields) {
    for (const QString& field : fields) {
        if (!field.trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

constexpr qsizetype kChunk = 64 * 1024;

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

CsvReader::CsvReader(QIODevice& device) : device_(device) {}

CsvReader::~CsvReader() = default;

bool CsvReader::Fill() {
    if (end_) {
        return false;
    }
    const qsizetype before = buffer_.size();
    buffer_.resize(before + kChunk);
    const qint64 read = device_.read(buffer_.data() + before, kChunk);
    buffer_.resize(before + std::max<qint64>(read, 0));
    if (read < 0) {
        error_ = QStringLiteral("no se puede leer el archivo");
    }
    if (read <= 0) {
        end_ = true;
        return false;
    }
    return true;
}

// The bytes up to the next line end that is not inside quotes. A quote
// opens a quoted field only at the field's start; one elsewhere is left for
// the parser to refuse.
bool CsvReader::NextRecord(QByteArray& record, int& number) {
    if (at_ >= kChunk) {
        buffer_.remove(0, at_);
        at_ = 0;
    }
    bool quoted = false;
    bool fieldStart = true;
    for (qsizetype i = at_;; ++i) {
        while (i + 1 >= buffer_.size() && Fill()) {
        }
        if (i >= buffer_.size()) {
            if (at_ >= buffer_.size()) {
                return false;
            }
            record = buffer_.mid(at_);
            at_ = buffer_.size();
            number = ++rowsSeen_;
            return true;
        }
        const char c = buffer_[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < buffer_.size() && buffer_[i + 1] == '"') {
                    ++i;
                } else {
                    quoted = false;
                }
            }
        } else if (c == '\n' || c == '\r') {
            record = buffer_.mid(at_, i - at_);
            if (c == '\r' && i + 1 < buffer_.size() && buffer_[i + 1] == '\n') {
                ++i;
            }
            at_ = i + 1;
            number = ++rowsSeen_;
            return true;
        } else if (c == separator_) {
            fieldStart = true;
        } else if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (!IsBlank(c)) {
            fieldStart = false;
        }
    }
}

bool CsvReader::Parse(const QByteArray& record, int number, QStringList& fields) {
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        error_ = QStringLiteral("no hay memoria suficiente para leer el CSV");
        return false;
    }
    csv_set_delim(&parser, static_cast<unsigned char>(separator_));
    Collector collector;
    const auto length = static_cast<std::size_t>(record.size());
    const bool read = csv_parse(&parser, record.constData(), length, OnField, OnRecordEnd,
                                &collector) == length &&
                      csv_fini(&parser, OnField, OnRecordEnd, &collector) == 0;
    csv_free(&parser);
    if (!read) {
        error_ = QStringLiteral(
                     "fila %1: las comillas no están bien puestas. Un campo entre comillas "
                     "empieza y termina con ellas, y una comilla dentro de él se escribe dos "
                     "veces (\"\"); corrija esa fila en la planilla y vuelva a guardar el CSV")
                     .arg(number);
        return false;
    }
    QByteArray whole;
    for (const QByteArray& field : collector.fields) {
        whole += field;
    }
    const bool utf8 = IsUtf8(whole);
    fields.clear();
    for (const QByteArray& field : collector.fields) {
        fields << DecodeRecordField(field, utf8);
    }
    return true;
}

bool CsvReader::ReadHeader(QStringList& header) {
    if (!started_) {
        started_ = true;
        // The first line decides the separator; its end may lie beyond the
        // first chunk.
        while (Fill()) {
            if (buffer_.contains('\n') || buffer_.contains('\r')) {
                break;
            }
        }
        if (buffer_.startsWith(kBom)) {
            at_ = 3;
        }
        separator_ = HeaderSeparator(buffer_.mid(at_));
    }
    QByteArray record;
    int number = 0;
    while (NextRecord(record, number)) {
        if (!Parse(record, number, header)) {
            return false;
        }
        if (!IsBlankRecord(header)) {
            return true;
        }
    }
    if (error_.isEmpty()) {
        error_ = QStringLiteral("El CSV está vacío: falta el encabezado");
    }
    return false;
}

bool CsvReader::Next(CsvRow& row) {
    QByteArray record;
    while (NextRecord(record, row.number)) {
        if (!Parse(record, row.number, row.fields)) {
            return false;
        }
        if (!IsBlankRecord(row.fields)) {
            return true;
        }
    }
    return false;
}

CsvTable ReadCsv(const QByteArray& input) {
    CsvTable table;
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    if (!reader.ReadHeader(table.header)) {
        table.error = reader.error();
        return table;
    }
    table.separator = reader.separator();
    CsvRow row;
    while (reader.Next(row)) {
        table.rows.push_back(row);
    }
    table.error = reader.error();
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
