// The encodings Japanese text files come in, read into the code page 932
// bytes that counting works on. Each decoder lives in a file of its own; the
// automatic choice (DetectEncoding) lives in encoding_detection.cpp.
//
// In every decoder a character with no code page 932 form, and a byte
// sequence that is not well-formed in the encoding, becomes kUnmappable
// (cp932.h), as in Utf8ToCp932: no keyword holds it, so it matches nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quenbol {

enum class Encoding { Cp932, Utf8, Utf16Le, Utf16Be, EucJp, Iso2022Jp };

// "cp932", "utf-8", "utf-16le", "utf-16be", "euc-jp", "iso-2022-jp".
std::string_view EncodingName(Encoding encoding);
std::optional<Encoding> EncodingByName(std::string_view name);

// UTF-16 in either byte order; a last odd byte is ill-formed.
std::string Utf16ToCp932Bytes(std::string_view bytes, bool bigEndian);

// EUC-JP as Windows reads it: JIS X 0208 pairs (and the rows code page 932
// adds to it) by the JIS arithmetic, half-width katakana after 0x8E; JIS X
// 0212 characters (after 0x8F) have no code page 932 form. `faults`, when
// given, receives the number of ill-formed sequences and undefined codes.
std::string EucJpToCp932(std::string_view bytes, std::size_t* faults = nullptr);

// ISO-2022-JP (RFC 1468) with the JIS X 0201 katakana set (ESC ( I, or SO/SI).
std::string Iso2022JpToCp932(std::string_view bytes);

// True when the bytes are 7-bit and hold an ISO-2022-JP designation.
bool LooksLikeIso2022Jp(std::string_view bytes);

// The automatic choice: a byte-order mark (UTF-8, UTF-16LE, UTF-16BE);
// ISO-2022-JP; UTF-8 that is well-formed or almost; otherwise the reading
// that gives the most plausible Japanese among UTF-8, EUC-JP, code page 932
// and UTF-16 without a mark (the rules are in encoding_detection.cpp).
Encoding DetectEncoding(std::string_view bytes);

// DetectEncoding and DecodeToCp932 in one go, with no second pass where the
// choice has decoded already: returns the encoding; `decoded` receives the
// text as code page 932 unless the encoding is code page 932 itself, whose
// bytes are the text as they are (`decoded` is then left empty).
// `illFormed`, when given, receives the number of ill-formed sequences
// replaced when the text is read as UTF-8, and 0 otherwise.
Encoding DecodeDetected(std::string_view bytes, std::string& decoded, std::size_t* illFormed = nullptr);

// The text as code page 932 bytes. A byte-order mark of the encoding at the
// start is dropped (code page 932 bytes are kept as they are).
std::string DecodeToCp932(std::string_view bytes, Encoding encoding);

// As DecodeToCp932, into `out`, whose storage is reused where it can be (a
// buffer kept from text to text); for code page 932 `out` is left empty, the
// bytes being the text as they are.
// `illFormed` as for DecodeDetected.
void DecodeToCp932(std::string_view bytes, Encoding encoding, std::string& out, std::size_t* illFormed = nullptr);

}  // namespace quenbol
