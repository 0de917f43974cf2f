// The readable table quenbol-count prints by default: a pure function from
// the counting state to UTF-8 text.
#pragma once

#include <string>
#include <string_view>

#include "cli/count/keyword_counts.h"
#include "core/counting.h"

namespace quenbol::cli {

// Terminal columns that UTF-8 text takes: 2 for each East Asian wide or
// full-width character, 1 for every other character.
int DisplayWidth(std::string_view utf8);

// Display name, current count and total of each member, the manual pair and
// the caption for `top` (the leader of the last search-all, or -1). With
// `byKeyword`, each member's and the manual group's row is followed by a row
// for each filled slot. With `inside` (counts with the ordinary-word check),
// a note follows on each keyword that was counted inside ordinary words over
// the texts: how often of its total, in which words, and how to fix it.
std::string FormatTable(const CountingState& state, MemberIndex top,
                        const KeywordCounts* byKeyword = nullptr, const KeywordCounts* inside = nullptr);

}  // namespace quenbol::cli
