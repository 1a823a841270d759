#pragma once

#include <QString>

namespace batch {

// "name.pdf", then "name (2).pdf", "name (3).pdf"...: the `attempt`th
// candidate for a proposed file name (attempt 1 is the name itself).
QString NumberedName(const QString& proposed, int attempt);

// Gives the finished file at `temporary` its final name in `folder`: the
// proposed one, or the first numbered one not taken. Never replaces a file,
// not even one created meanwhile by another program (the name is claimed
// with a hard link, which fails when the name exists). Returns the name
// given, or an empty string when the folder refused (errno says why); the
// temporary name is gone either way on success. Names are encoded as
// platform::EncodeName does, so folders whose names are not UTF-8 work.
QString ClaimName(const QString& temporary, const QString& folder, const QString& proposed);

}  // namespace batch
