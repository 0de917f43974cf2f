// What quenbol-count prints after counting: a readable table, or one JSON
// object. Pure functions from the counting state to UTF-8 text. (The results
// line comes from the core unchanged.)
#pragma once

#include <string>
#include <string_view>

#include "core/counting.h"

namespace quenbol::cli {

// Terminal columns that UTF-8 text takes: 2 for each East Asian wide or
// full-width character, 1 for every other character.
int DisplayWidth(std::string_view utf8);

// Display name, current count and total of each member, the manual pair and
// the caption for `top` (the leader of the last search-all, or -1).
std::string FormatTable(const CountingState& state, MemberIndex top);

// A JSON string literal, quotes included, for code page 932 bytes: converted
// to UTF-8, with quote, backslash and control characters escaped.
std::string JsonString(std::string_view cp932);

// {"members": [{"name", "current", "total"} x 21], "manual": {"current",
// "total"}, "top": index or -1, "caption": text}
std::string FormatJson(const CountingState& state, MemberIndex top);

}  // namespace quenbol::cli
