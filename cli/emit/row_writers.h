// One row per text for scripts and spreadsheets: JSON Lines and CSV. Pure
// functions from a text's record to UTF-8 text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/count/keyword_counts.h"
#include "core/counting.h"

namespace quenbol::cli {

// What one text gave, with the counting state after it (current counts of
// this text, totals running over the texts so far).
struct TextRecord {
    std::string_view file; // UTF-8 as named; "-" is standard input (the input list outlives the record)
    std::string encoding;  // the name the text was read by; empty when it could not be read
    std::uint64_t bytes = 0;
    std::string error;     // empty when the text was counted
    std::uint64_t encodingErrors = 0;  // ill-formed sequences replaced in a text read as UTF-8
};

// {"file", "encoding", "bytes", "members": [{"name", "current", "total"} x 21],
//  "manual": {"current", "total"}, "top", "caption"} on one line, then LF;
// a text that could not be read has null encoding and bytes and ends with
// "error". "encoding_errors" follows "bytes" when a text read as UTF-8 had
// ill-formed sequences (each read as U+FFFD, matching nothing).
// With `byKeyword`, each member also has its "keywords" as in --json.
std::string JsonlRecord(const TextRecord& record, const CountingState& after, MemberIndex top,
                        const KeywordCounts* byKeyword = nullptr);

// A byte-order mark and the header: file, encoding, bytes, the 21 display
// names, manual, top, error; CR LF.
std::string CsvHeader();

// file, encoding, bytes, the 21 current counts, the manual count, the
// display name of the leading member (empty when none), the error (empty
// when fine); RFC 4180 quoting, CR LF. A text cell beginning with = + - @,
// a tab or a CR gets a leading apostrophe, so that a spreadsheet does not
// take it for a formula.
std::string CsvRow(const TextRecord& record, const CountingState& after, MemberIndex top);

// A JSON string literal for UTF-8 text; bytes that are not UTF-8 become U+FFFD.
std::string JsonRowString(std::string_view utf8);

}  // namespace quenbol::cli
