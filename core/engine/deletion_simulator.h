// Count-by-deletion of an ordered list of keywords, played out on the
// original text instead of a shrinking copy: a bit per byte says whether the
// byte is still there. Each keyword takes, left to right, the non-overlapping
// occurrences whose bytes are all still there: those found in the original
// text, and those that only formed where earlier deletions closed the text up
// (found by looking around each new join for the keywords still to come).
//
// This is exact for keywords made of whole characters: such a keyword,
// deleted where it starts on a character start, leaves every other byte's
// character-start status as it was, so one boundary map serves all keywords.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/engine/bit_array.h"
#include "core/engine/keyword_scanner.h"

namespace quenbol {

struct SimulatedWord {
    std::string_view bytes;   // non-empty, whole characters, no NUL
    std::uint32_t scanIndex;  // its keyword number in `found`
};

// Deletes `words` in order from the text whose remaining bytes are the set
// bits of `alive` (cleared here as bytes go); counts[k] = occurrences deleted
// by words[k]. `found` holds every boundary occurrence in `text` itself.
void SimulateDeletions(std::string_view text, const BitArray& boundaries, const Occurrences& found,
                       std::span<const SimulatedWord> words, BitArray& alive, std::int64_t* counts);

// A keyword's bytes walk as whole characters: no lead byte at its end.
bool IsWholeCharacters(std::string_view word);

}  // namespace quenbol
