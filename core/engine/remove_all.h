// RemoveAll: count-by-deletion of one word, the primitive that the engine's
// exact path and the counting actions share.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/match_report.h"

namespace quenbol {

// Deletes every occurrence of `word` found left to right from the scan
// position, matches starting only on character boundaries; returns how many.
// A match formed across a deletion point by this same call is not counted.
// An empty word removes nothing, and so does a word holding a NUL byte: NUL
// stands for a character that has no code page 932 form, which matches nothing.
std::int64_t RemoveAll(std::string& text, std::string_view word);

// The same, appending to `starts` where each occurrence began, as offsets
// into the text as it was before the call (under 4 GiB).
std::int64_t RemoveAll(std::string& text, std::string_view word, std::vector<std::uint32_t>& starts);

// The same, handing the starts to `take` in ascending pieces of at most
// `piece`, so that they are never all held (a text can hold as many as bytes).
std::int64_t RemoveAll(std::string& text, std::string_view word, std::size_t piece,
                       const std::function<void(std::span<std::uint32_t>)>& take);

// RemoveAll of the one-byte word `byte` on the text made of the bytes of
// `text` whose bits in `kept` are set, without moving a byte: the
// occurrences' bits are cleared. With a `report`, each occurrence is added
// to it as word `word`, placed in `text`. `kept` has a bit per byte of `text`.
std::int64_t RemoveByteOfKept(std::string_view text, BitArray& kept, unsigned char byte,
                              MatchReport* report = nullptr, std::uint32_t word = 0);

// The bytes of `text` whose bits in `kept` are set, in order, written to
// `out`; returns how many. `out` may be `text` itself (bytes only move down);
// otherwise it needs room for one byte more than is kept.
std::size_t KeepBytes(std::string_view text, const BitArray& kept, char* out);

}  // namespace quenbol
