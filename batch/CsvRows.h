// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <vector>

namespace batch {

// One record of the file after the header.
struct CsvRow {
    int number = 0;      // the spreadsheet's row: blank lines count, the header's is its own
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

// Reads a spreadsheet's CSV export as a stream, a record at a time, so that
// a file of any length is read in little memory: comma or semicolon
// separator (whichever the header uses), quoted fields with separators,
// quotes and line breaks inside (given back as \n); blank lines, and lines
// of nothing but separators (a spreadsheet's formatted empty rows), are
// skipped but counted, so row numbers are the spreadsheet's. Each record is
// UTF-8 (a leading BOM dropped) or, when it is not valid UTF-8, Windows-1252,
// as spreadsheets here save it.
class CsvReader {
  public:
    // Reads from `device`, which must stay open while the reader is used.
    explicit CsvReader(QIODevice& device);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // The header; false (and error() says why) when the file has none or
    // cannot be read.
    bool ReadHeader(QStringList& header);
    // The next record; false at the end of the file or on a fault, which
    // error() then tells, naming the row and what to do.
    bool Next(CsvRow& row);
    const QString& error() const { return error_; }
    char separator() const { return separator_; }

  private:
    bool NextRecord(QByteArray& record, int& number);
    bool Fill();
    bool Parse(const QByteArray& record, int number, QStringList& fields);

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype at_ = 0;
    bool end_ = false;
    bool started_ = false;
    char separator_ = ',';
    int rowsSeen_ = 0;
    QString error_;
};

// The whole of `bytes` read as CsvReader does.
CsvTable ReadCsv(const QByteArray& bytes);

// Windows-1252 text, 0x80-0x9F included (€, curly quotes, dashes).
QString DecodeWindows1252(const QByteArray& bytes);

// One line of a CSV file: fields quoted when they need it, no line end.
QByteArray CsvLine(const QStringList& fields, char separator);

}  // namespace batch
