// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <vector>

namespace history {

// The schema's migrations in order: the statements that bring a database
// from version i to version i + 1 (index i). A database records each version
// applied in schema_versions; a program never changes an applied one, only
// adds the next.
const std::vector<QStringList>& Migrations(bool server);

}  // namespace history
