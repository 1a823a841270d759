// SPDX-License-Identifier: GPL-3.0-or-later
// The batch's CSV reader: any bytes give a table or an error, never a crash; and any table the
// program itself writes (header of plain names, fields with separators, quotes and line breaks)
// reads back field for field, with either separator, with or without a BOM.
#include <algorithm>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "FuzzInput.h"
#include "batch/CsvRows.h"

namespace {

void CheckAnyBytes(const QByteArray& bytes) {
    const batch::CsvTable table = batch::ReadCsv(bytes);
    if (!table.error.isEmpty()) {
        return;
    }
    FUZZ_CHECK(table.separator == ',' || table.separator == ';');
    int previous = 1;  // the header's row
    for (const batch::CsvRow& row : table.rows) {
        FUZZ_CHECK(row.number > previous);
        previous = row.number;
    }
}

void CheckRoundTrip(const QStringList& lines) {
    if (lines.size() < 2 || lines[0].isEmpty()) {
        return;
    }
    const char separator = (lines[0][0].unicode() & 1) != 0 ? ';' : ',';
    const bool bom = (lines[0][0].unicode() & 2) != 0;
    const qsizetype columns = 2 + lines[0][0].unicode() % 4;
    QStringList header;
    for (qsizetype c = 0; c < columns; ++c) {
        header << QStringLiteral("c%1").arg(c);
    }
    // Each further line of the input gives one field; spreadsheets end lines with CR LF, and a
    // line break inside a field comes back as LF.
    std::vector<QStringList> rows;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (rows.empty() || rows.back().size() == columns) {
            rows.emplace_back();
        }
        QString field = lines[i];
        field.replace(QStringLiteral("\r"), QStringLiteral("\n"));
        field.remove(QChar(u'\0'));
        rows.back() << field.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    }
    while (rows.back().size() < columns) {
        rows.back() << QString();
    }
    QByteArray file = bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    file += batch::CsvLine(header, separator) + "\r\n";
    for (const QStringList& row : rows) {
        file += batch::CsvLine(row, separator) + "\r\n";
    }
    const batch::CsvTable table = batch::ReadCsv(file);
    FUZZ_CHECK(table.error.isEmpty());
    FUZZ_CHECK(table.separator == separator);
    FUZZ_CHECK(table.header == header);
    // A row of nothing but blanks is a spreadsheet's empty row: skipped, yet
    // counted in the row numbers of those after it.
    std::vector<QStringList> kept;
    std::vector<int> numbers;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool blank = std::all_of(rows[r].begin(), rows[r].end(), [](const QString& field) {
            return field.trimmed().isEmpty();
        });
        if (!blank) {
            kept.push_back(rows[r]);
            numbers.push_back(static_cast<int>(r) + 2);
        }
    }
    rows = kept;
    FUZZ_CHECK(table.rows.size() == rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        FUZZ_CHECK(table.rows[r].number == numbers[r]);
        FUZZ_CHECK(table.rows[r].fields == rows[r]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAnyBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    CheckRoundTrip(Lines(data, size, 0));
    return 0;
}
