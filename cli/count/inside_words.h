// The ordinary-word check (core/words/inside_word.h) in the count stage: the
// check for a run, whose keywords and manual words are names and never
// ordinary words; the members' occurrences of a counted text that sit inside
// ordinary words; and their tally keyword by keyword.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/count/keyword_counts.h"
#include "core/engine/match_report.h"
#include "core/roster.h"
#include "core/words/inside_word.h"

namespace quenbol::cli {

InsideWordCheck MakeInsideWordCheck(const Keywords& table, const ManualWordList& manualWords);

// A member's occurrence inside an ordinary word: where it starts in the
// counted text (code page 932), its keyword's entry and the word (code page 932).
struct InsideFind {
    std::uint32_t start = 0;
    int entry = 0;
    std::string word;
};
using InsideFinds = std::vector<InsideFind>;  // by start

// The occurrences of `members` (the members' report of counting `text`) that
// sit inside ordinary words. A match formed across deletions is not one
// stretch of the text to look inside, so it is never inside a word.
InsideFinds FindInsideWords(const InsideWordCheck& check, std::string_view text, const MatchReport& members);

// The find of the member occurrence that starts at `start`, or null (no two
// member occurrences share a start).
const InsideFind* InsideAt(const InsideFinds& finds, std::uint32_t start);

// Makes `finds` the last text's inside counts of `counts` and adds them to
// its totals.
void SetInsideCounts(const InsideFinds& finds, KeywordCounts& counts);

}  // namespace quenbol::cli
