// Conversions between code page 932 bytes and Unicode (UTF-16 for the window
// program's wide-character controls, UTF-8 for the command-line counter).
// The tables are Microsoft's code page 932, built into the program, so every
// build converts alike whatever the system's locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quenbol {

// A character that has no code page 932 form becomes this byte when encoding.
// No keyword holds it, so such a character matches nothing.
constexpr char kUnmappable = '\0';

// Decodes bytes; an undefined pair, or a lead byte with no trail byte after
// it, becomes U+FFFD.
std::u16string Cp932ToUtf16(std::string_view bytes);
std::string Cp932ToUtf8(std::string_view bytes);

// Encodes text, one kUnmappable byte for each code point with no code page
// 932 form (and for each ill-formed sequence). Returns through `lossless`
// whether every code point had a form.
std::string Utf16ToCp932(std::u16string_view text, bool* lossless = nullptr);
std::string Utf8ToCp932(std::string_view utf8, bool* lossless = nullptr);

// Utf8ToCp932 for text that is well-formed UTF-8, checked in the same pass;
// nothing when it is not.
std::optional<std::string> WellFormedUtf8ToCp932(std::string_view utf8);

// True when lead and trail form a defined double-byte character.
bool IsDefinedCp932Pair(unsigned char lead, unsigned char trail);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace quenbol
