// Code page 932 (Shift-JIS), the encoding of every byte string the core
// handles: its character boundaries, and the conversions between its bytes
// and Unicode (UTF-16 for the window program's wide-character controls, UTF-8
// for the command-line counter). The tables are Microsoft's code page 932,
// built into the program, so every build converts alike whatever the
// system's locale.
//
// The text layer (core/text/) around it: jis_x0208.h maps JIS X 0208 rows
// and cells to code page 932 for the EUC-JP and ISO-2022-JP decoders;
// text_encodings.h names the encodings files come in, their decoders and the
// automatic choice between them, which japanese_plausibility.h helps make.
// The layer knows nothing of the members or the counting; the engine uses its
// character rules (IsLeadByte), the framework its conversions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenbol {

// A byte from 0x81 to 0x9F or from 0xE0 to 0xFC starts a two-byte character;
// every other byte is a character by itself.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

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

// The length of Utf16ToCp932(text), without making it.
std::size_t Utf16ToCp932Length(std::u16string_view text);

// As Utf8ToCp932; origins gets, for each byte of the result, the offset in
// `utf8` of the character (or ill-formed sequence) it came from, and
// `illFormed`, when given, the number of ill-formed sequences.
std::string Utf8ToCp932Tracked(std::string_view utf8, std::vector<std::size_t>& origins,
                               std::size_t* illFormed = nullptr);

// Well-formed UTF-8 for any bytes: each ill-formed sequence becomes U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Utf8ToCp932 for text that is well-formed UTF-8, checked in the same pass;
// nothing when it is not.
std::optional<std::string> WellFormedUtf8ToCp932(std::string_view utf8);

// The same two into `out`, whose storage is reused, for a buffer kept from
// text to text; the second returns false (with `out` empty) when the text is
// not well-formed. An ill-formed sequence is a byte that starts no
// well-formed sequence; `illFormed`, when given, receives their number.
void Utf8ToCp932(std::string_view utf8, std::string& out, std::size_t* illFormed = nullptr);
// And into memory with room for utf8.size() bytes (no character takes more
// bytes in code page 932 than in UTF-8), not filled first; returns the bytes
// written.
std::size_t Utf8ToCp932(std::string_view utf8, char* out, std::size_t* illFormed = nullptr);
bool WellFormedUtf8ToCp932(std::string_view utf8, std::string& out);
// And over the text itself, which then starts with its code page 932 form;
// returns the bytes of that form. No memory of the text's size is taken
// and written for it.
std::size_t Utf8ToCp932InPlace(char* text, std::size_t size, std::size_t* illFormed = nullptr);

// Into `out` as above while the text has at most `maxIllFormed` ill-formed
// sequences: returns true with their number in `illFormed` and whether every
// character had a form in `lossless`; false (with `out` empty) as soon as
// there are more.
bool Utf8ToCp932Within(std::string_view utf8, std::string& out, std::size_t maxIllFormed, std::size_t& illFormed,
                       bool& lossless);

// True when lead and trail form a defined double-byte character.
bool IsDefinedCp932Pair(unsigned char lead, unsigned char trail);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace quenbol
