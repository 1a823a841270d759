// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// Reads a PDF back with poppler's command-line tools, independently of how
// we wrote it: its page count, a page's text, and a page as a picture.
int PdfPageCount(const QString& path);
QString PdfPageText(const QString& path, int page);
QImage PdfPageImage(const QString& path, int page, int dotsPerInch);
