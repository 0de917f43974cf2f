// Counting by deletion: every counted occurrence of a keyword is cut out of a
// working copy of the text, so text taken by one keyword (a full name) is not
// counted again by a later one (the family name inside it).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/engine/count_engine.h"
#include "core/engine/remove_all.h"
#include "core/occurrence.h"
#include "core/roster.h"
#include "core/top_member.h"

namespace quenbol {

// What the main window counts with; it pulls its controls into this, runs an
// action and pushes it back.
struct CountingState {
    std::string text;
    ManualWordList manualWords;
    MemberCounts current{};
    MemberCounts total{};
    std::int32_t manualCurrent = 0;
    std::int32_t manualTotal = 0;
};

// total + n, held at the limits of a signed 32-bit count instead of wrapping.
std::int32_t SaturatingAdd(std::int32_t total, std::int64_t n);

// Runs RemoveAll for each non-empty word in order; current = the sum,
// total grows by it.
void CountAndRemove(std::string& text, const std::string* words, int wordCount,
                    std::int32_t& current, std::int32_t& total);

// What a search-all can tell beyond the counts: how many occurrences each
// keyword and each manual word took, and, when `occurrences` is set, every
// counted occurrence with its place in the text, in text order.
struct SearchDetail {
    std::array<std::int64_t, kKeywordEntries> keywordCounts{};
    std::array<std::int64_t, kManualWordCount> manualCounts{};
    OccurrenceList* occurrences = nullptr;
    // Or the engine's own reports, members' chain [0] and manual words' [1],
    // word by word rather than in text order: 16 bytes an occurrence, where
    // the list takes about 70.
    std::array<MatchReport, 2>* reports = nullptr;
};

// Members 0 to 20 in roster order, each in what the earlier members' deletions
// left, then the manual words in the whole unaltered text. The state's text
// itself is not changed. Returns the leading member (FindTopMember). Works
// in `scratch` when given (count_engine.h).
MemberIndex SearchAll(CountingState& state, const Keywords& table = KeywordTable,
                      SearchDetail* detail = nullptr, CountScratch* scratch = nullptr);

// A keyword table and manual words compiled once, for SearchAll over many
// texts (the command-line counter's files). `sample` only steers the scan.
class CompiledSearch {
public:
    CompiledSearch(const Keywords& table, const ManualWordList& manualWords,
                   std::string_view sample = {});
    const CompiledChains& chains() const { return chains_; }

private:
    CompiledChains chains_;
};

// SearchAll with compiled words, which take the place of the state's
// manual words; the second form counts `text` in place of the state's text,
// working in `scratch` when given (count_engine.h).
MemberIndex SearchAll(CountingState& state, const CompiledSearch& words,
                      SearchDetail* detail = nullptr);
MemberIndex SearchAll(CountingState& state, std::string_view text, const CompiledSearch& words,
                      SearchDetail* detail = nullptr, CountScratch* scratch = nullptr);

// The manual words only; member counts untouched.
void SearchManualOnly(CountingState& state);

// All totals (members and manual) to 0; current counts stay.
void ResetTotals(CountingState& state);

// The text becomes empty; counts stay.
void ClearText(CountingState& state);

}  // namespace quenbol
