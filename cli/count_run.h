// One run of quenbol-count: the texts counted one search-all each, in order,
// with everything the output forms need (per-keyword counts, and for the
// matches and the report every occurrence with the text it came from).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/keyword_counts.h"
#include "cli/text_decoding.h"
#include "core/counting.h"
#include "core/occurrence.h"

namespace quenbol::cli {

struct CountedText {
    std::string path;  // as given; "-" is standard input
    DecodedText decoded;
    OccurrenceList occurrences;  // text order
};

struct CountRun {
    std::string tableSource;  // the keyword file's name (UTF-8), or empty for the built-in table
    CountingState state;      // state.manualWords are the manual words counted
    MemberIndex top = -1;     // the leader of the last text
    KeywordCounts byKeyword;  // byKeyword.words is the table counted with
    std::vector<MemberCounts> currentPerText;  // the members' counts after each text
    bool keepTexts = false;   // keep each text with its occurrences (matches, report)
    std::vector<CountedText> texts;
};

// Counts one more text, read from `path` as `fileBytes`. Set byKeyword.words
// and state.manualWords first.
void CountText(CountRun& run, const std::string& path, std::string fileBytes, TextEncoding encoding);

}  // namespace quenbol::cli
