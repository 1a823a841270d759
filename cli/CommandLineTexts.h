// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The help's generated parts, kept apart from the parsing that shows them.
namespace cli {

// Every column of the batch's CSV and the cash column's words, from the same
// lists the batch reads them with.
QString BatchColumnsHelp();

// The exit statuses' table: the status, then its meaning wrapped under itself.
QString ExitStatusHelp();

}  // namespace cli
