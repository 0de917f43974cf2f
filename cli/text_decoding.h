// Turns the bytes of a text file into the code page 932 bytes that counting
// works on, by the encoding the user chose or by a guess.
#pragma once

#include <string>
#include <string_view>

namespace quenbol::cli {

enum class TextEncoding {
    Auto,   // UTF-8 when it has a byte-order mark, or is valid UTF-8 beyond ASCII
    Cp932,  // the bytes as they are
    Utf8,   // converted; a character with no code page 932 form becomes a NUL
};

// True when `bytes` would be read as UTF-8 by the automatic choice.
bool LooksLikeUtf8(std::string_view bytes);

// True when `bytes` are read as UTF-8 under `encoding`; otherwise they are
// code page 932 already and need no decoding.
bool ReadsAsUtf8(std::string_view bytes, TextEncoding encoding);

// The text as code page 932 bytes. A UTF-8 byte-order mark is dropped
// whenever the text is read as UTF-8.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

}  // namespace quenbol::cli
