// Which bytes of a code page 932 text start a character, for all bytes at
// once. A walk from the text start takes a lead byte (0x81-0x9F, 0xE0-0xFC)
// together with the byte after it; so a byte starts a character exactly when
// the run of lead-range bytes right before it (back to the text start or to a
// byte outside that range) has even length. That rule is worked out 64 bytes
// at a time with carries, and it agrees with the walk on any bytes at all.
#pragma once

#include <string_view>

#include "core/bit_array.h"

namespace quenbol {

// Bit i is set when byte i of `text` starts a character.
BitArray BuildBoundaryMap(std::string_view text);

}  // namespace quenbol
