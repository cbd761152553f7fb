// The Pendrillax export of a database. Part of the uDataMan unit (include
// data/uDataMan.h).
#pragma once

#include "data/uDataMan.h"

namespace qelvo {

// The list entries of Lines (lists or tags), one per line, CR LF after
// each: name, "->", 0xBF, "0", 0xBF, "0", 0xBF, icon, 0xBF. The icon is the
// number after the first 0xF7, or 72 when that is not a number.
void BuildFolderEntries(const gcl::TStrings& lines, std::string& text);
// Writes the whole database as a Pendrillax database: one item ".jmw" in
// an uncompressed, unencrypted named-stream container. File errors are
// raised.
void ExportJmw(const TuData& data, const std::string& fileName);
// The export text itself (the item's bytes).
std::string BuildJmwText(const TuData& data);

} // namespace qelvo
