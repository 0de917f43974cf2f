// --matches: every counted occurrence as one JSON object a line, the texts in
// the order given and each text's occurrences in text order.
#pragma once

#include <string>
#include <vector>

#include "cli/count_run.h"

namespace quenbol::cli {

// {"file", "group", "member", "name" (members only), "slot", "word", "spans",
// "line", "column", "before", "after"}: spans as byte offsets into the file
// as read, line and column (in characters, both from 1) of the first span's
// start, and up to `context` characters before the first span and after the
// last, in UTF-8.
std::string FormatMatches(const CountRun& run, int context);

}  // namespace quenbol::cli
