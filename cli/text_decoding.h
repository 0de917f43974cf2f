// Turns the bytes of a text file into the code page 932 bytes that counting
// works on, by the encoding the user chose or by the automatic choice
// (core/text_encodings.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/text_encodings.h"

namespace quenbol::cli {

enum class TextEncoding {
    Auto,  // chosen per text: byte-order mark, ISO-2022-JP, UTF-8, EUC-JP or code page 932
    Cp932,  // the bytes as they are
    Utf8,   // converted; a character with no code page 932 form becomes a NUL
    Utf16Le,
    Utf16Be,
    EucJp,
    Iso2022Jp,
};

// The names --encoding takes, "auto" included; nothing for another name.
std::optional<TextEncoding> TextEncodingByName(std::string_view name);

// The encoding forced by the choice, or nothing for Auto.
std::optional<Encoding> ForcedEncoding(TextEncoding encoding);

// True when `bytes` would be read as UTF-8 by the automatic choice.
bool LooksLikeUtf8(std::string_view bytes);

// The text as code page 932 bytes. A byte-order mark is dropped whenever the
// text is read in the encoding it marks.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

}  // namespace quenbol::cli
