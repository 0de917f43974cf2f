// Benchmark inputs: deterministic, realistic-looking code page 932 prose with
// the members' names sprinkled in, and the keyword tables to count with.
#pragma once

#include <cstddef>
#include <string>

#include "core/roster.h"

namespace quenbol::bench {

// `size` bytes of Japanese prose (hiragana, kanji, katakana, ASCII, half-width
// katakana, punctuation, CR LF line breaks) with a keyword of the default
// table or a manual word about every `bytesPerName` bytes. Same seed, same text.
std::string JapaneseText(std::size_t size, std::size_t bytesPerName, unsigned seed = 1);

// The built-in table.
Keywords DefaultTable();
// The built-in table with every empty slot filled: seven keywords per member.
Keywords SevenPerMemberTable();
// The built-in table with awkward user keywords in place of some nicknames:
// single bytes, a half-width katakana, words ending in a lead byte and a word
// beginning with a byte that is usually a second byte.
Keywords AwkwardTable();

}  // namespace quenbol::bench
