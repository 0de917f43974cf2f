// RemoveAll: count-by-deletion of one word, the primitive that the engine's
// exact path and the counting actions share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/match_report.h"

namespace quenbol {

// Deletes every occurrence of `word` found left to right from the scan
// position, matches starting only on character boundaries; returns how many.
// A match formed across a deletion point by this same call is not counted.
// An empty word removes nothing, and so does a word holding a NUL byte: NUL
// stands for a character that has no code page 932 form, which matches nothing.
std::int64_t RemoveAll(std::string& text, std::string_view word);

// The same on a working copy whose byte i stood at origin[i] in the original
// text: `origin` is closed up along with the text, and each occurrence is
// added to `report` as word `wordIndex`, with its original stretches.
std::int64_t RemoveAll(std::string& text, std::vector<std::uint32_t>& origin, std::string_view word,
                       std::uint32_t wordIndex, MatchReport& report);

}  // namespace quenbol
