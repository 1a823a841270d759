#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace batch {

// One record of the file after the header.
struct CsvRow {
    int number = 0;      // as a spreadsheet numbers its rows: the header is 1
    QStringList fields;  // decoded text, quotes removed
};

struct CsvTable {
    QStringList header;
    std::vector<CsvRow> rows;
    char separator = ',';
    // Set when the file cannot be read as a table at all; the rows are then
    // not to be used.
    QString error;
};

// Reads a spreadsheet's CSV export: comma or semicolon separator (whichever
// the header uses), quoted fields with separators, quotes and line breaks
// inside (given back as \n), blank lines skipped. Each record is UTF-8 (a
// leading BOM dropped) or, when it is not valid UTF-8, Windows-1252, as
// spreadsheets here save it.
CsvTable ReadCsv(const QByteArray& bytes);

// Windows-1252 text, 0x80-0x9F included (€, curly quotes, dashes).
QString DecodeWindows1252(const QByteArray& bytes);

// One line of a CSV file: fields quoted when they need it, no line end.
QByteArray CsvLine(const QStringList& fields, char separator);

}  // namespace batch
