// --matches: every counted occurrence as one JSON object a line, the texts in
// the order given and each text's occurrences in text order.
#pragma once

#include <string>
#include <vector>

#include "cli/count/text_job.h"
#include "cli/emit/piece_writer.h"

namespace quenbol::cli {

// The lines of one counted text of the run (whose words name the
// occurrences), into `out` a piece at a time;
// false when a write failed.
// {"file", "group", "member", "name" (members only), "slot", "word", "spans",
// "line", "column", "before", "after"}: spans as byte offsets into the file
// as read, line and column (in characters, both from 1) of the first span's
// start, and up to `context` characters before the first span and after the
// last, in UTF-8; and "inside", the ordinary word the occurrence sits inside,
// for the occurrences `inside` (the text's finds, when checked) holds.
bool WriteMatches(const RunTotals& run, const CountedText& counted, const InsideFinds* inside, int context,
                  PieceWriter& out);

}  // namespace quenbol::cli
