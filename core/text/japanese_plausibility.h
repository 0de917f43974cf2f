// How implausible a decoded text is as Japanese, for the automatic choice of
// encoding: each reading of the same bytes (code page 932, EUC-JP, UTF-8,
// UTF-16) is decoded into code page 932 and costed here, and the cheapest wins.
#pragma once

#include <cstdint>
#include <string_view>

namespace quenbol {

// A character's cost is about twice the number of bits it takes in a
// Japanese text (the minus logarithm of how often such a character occurs
// there): hiragana and the common punctuation of JIS row 1 cost 14,
// katakana 18, full-width letters and digits 20, a first-level kanji and
// row 2's symbols 24, a half-width katakana 13 (a voiced or semi-voiced
// mark after a letter that takes it 9), a second-level kanji, Greek,
// Cyrillic and box drawing 34, the vendors' extra rows 40, a printable ASCII
// character (with tab, LF and CR) 12. A byte sequence that is not a defined
// character, a control character, and the NUL that stands for a character
// with no code page 932 form cost 60.
//
// Costs rather than flags make short texts come out right: EUC-JP's
// hiragana read as code page 932 are two half-width katakana (26 against
// 14), its first-level kanji often too (26 against 24), its half-width
// katakana after 0x8E a first-level kanji (24 against 13), and a UTF-16 text
// read a byte at a time is ASCII pairs, NULs and broken pairs. A run of
// half-width katakana in code page 932 read as EUC-JP gives second-level
// kanji and undefined rows as often as first-level kanji, and stays code
// page 932.
std::int64_t Implausibility(std::string_view cp932);

}  // namespace quenbol
