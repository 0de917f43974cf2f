// The count of each keyword and each manual word, for the last text and in
// total over the texts so far: what --by-keyword and the report show.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/roster.h"

namespace quenbol::cli {

struct KeywordCounts {
    Keywords words;                 // the table counted with (code page 932)
    ManualWordList manualWords;
    std::array<std::int32_t, kKeywordEntries> current{}, total{};
    std::array<std::int32_t, kManualWordCount> manualCurrent{}, manualTotal{};

    // With the ordinary-word check (insideChecked): each keyword's occurrences
    // that sit inside an ordinary word, in the last text and over the texts so
    // far, and those words (code page 932) with how often each held one.
    using WordCounts = std::map<std::string, std::int32_t>;
    bool insideChecked = false;
    std::array<std::int32_t, kKeywordEntries> insideCurrent{}, insideTotal{};
    std::array<WordCounts, kKeywordEntries> insideWords, insideWordsTotal;
};

// The words of `words`, the most frequent first (at one count, in byte
// order), at most `limit`.
inline std::vector<std::pair<std::string, std::int32_t>> MostFrequent(const KeywordCounts::WordCounts& words,
                                                                      std::size_t limit) {
    std::vector<std::pair<std::string, std::int32_t>> list(words.begin(), words.end());
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    if (list.size() > limit) list.resize(limit);
    return list;
}

}  // namespace quenbol::cli
