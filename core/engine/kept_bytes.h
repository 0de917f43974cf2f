// The bytes still there after deletions played out on a bit per byte (a bit
// set for each byte still there): a one-byte word removed from them in place,
// and the kept bytes closed up into a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/engine/bit_array.h"
#include "core/engine/match_report.h"

namespace quenbol {

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
