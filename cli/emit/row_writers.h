// One row per text for scripts and spreadsheets: JSON Lines and CSV. Pure
// functions from a text and the totals after it to UTF-8 text.
#pragma once

#include <cstdint>
#include <string>

#include "cli/count/text_job.h"

namespace quenbol::cli {

// {"file", "encoding", "bytes", "members": [{"name", "current", "total"} x 21],
//  "manual": {"current", "total"}, "top", "caption"} on one line, then LF;
// a text that could not be read has null encoding and bytes and ends with
// "error". "encoding_errors" follows "bytes" when a text read as UTF-8 had
// ill-formed sequences (each read as U+FFFD, matching nothing).
// With `byKeyword`, each member also has its "keywords" as in --json, and
// when the ordinary-word check ran, "inside_words" (the sum of its keywords')
// after "total".
std::string JsonlRecord(const TextJob& text, const RunTotals& after, bool byKeyword = false);

// A byte-order mark and the header: file, encoding, bytes, the 21 display
// names, manual, top, error; CR LF.
std::string CsvHeader();

// file, encoding, bytes, the 21 current counts, the manual count, the
// display name of the leading member (empty when none), the error (empty
// when fine); RFC 4180 quoting, CR LF. A text cell beginning with = + - @,
// a tab or a CR gets a leading apostrophe, so that a spreadsheet does not
// take it for a formula.
std::string CsvRow(const TextJob& text, const RunTotals& after);

// A text cell (UTF-8) as every CSV row writes it: the apostrophe above, then
// RFC 4180 quoting where needed.
std::string CsvField(const std::string& utf8);

// `n` in decimal, appended.
void AppendNumber(std::string& out, std::int64_t n);

}  // namespace quenbol::cli
