// The count of each keyword and each manual word, for the last text and in
// total over the texts so far: what --by-keyword and the report show.
#pragma once

#include <array>
#include <cstdint>

#include "core/roster.h"

namespace quenbol::cli {

struct KeywordCounts {
    Keywords words;                 // the table counted with (code page 932)
    ManualWordList manualWords;
    std::array<std::int32_t, kKeywordEntries> current{}, total{};
    std::array<std::int32_t, kManualWordCount> manualCurrent{}, manualTotal{};
};

}  // namespace quenbol::cli
