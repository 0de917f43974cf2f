// The keyword table of a keyword file as the counter takes it: read whole,
// parsed by the settings dialog's loading rules, refused with its messages.
// Shared by quenbol-count's --keywords and the Python package.
#pragma once

#include <string>

#include "core/roster.h"

namespace quenbol::cli {

// Fills `table` from the keyword file at `path` (UTF-8; "-" is standard
// input). Returns an empty string on success; otherwise the message that
// refuses the file (UTF-8), a file that cannot be read with the system's
// reason after it in parentheses, and `table` is left as it was.
std::string LoadKeywordTable(const std::string& path, Keywords& table);

}  // namespace quenbol::cli
