// Choosing how a text is read, and reading it into code page 932.
#include "cli/text_decoding.h"

namespace quenbol::cli {

std::optional<TextEncoding> TextEncodingByName(std::string_view name) {
    if (name == "auto") return TextEncoding::Auto;
    const std::optional<Encoding> e = EncodingByName(name);
    if (!e) return std::nullopt;
    switch (*e) {
        case Encoding::Cp932: return TextEncoding::Cp932;
        case Encoding::Utf8: return TextEncoding::Utf8;
        case Encoding::Utf16Le: return TextEncoding::Utf16Le;
        case Encoding::Utf16Be: return TextEncoding::Utf16Be;
        case Encoding::EucJp: return TextEncoding::EucJp;
        case Encoding::Iso2022Jp: return TextEncoding::Iso2022Jp;
    }
    return std::nullopt;
}

std::optional<Encoding> ForcedEncoding(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Auto: return std::nullopt;
        case TextEncoding::Cp932: return Encoding::Cp932;
        case TextEncoding::Utf8: return Encoding::Utf8;
        case TextEncoding::Utf16Le: return Encoding::Utf16Le;
        case TextEncoding::Utf16Be: return Encoding::Utf16Be;
        case TextEncoding::EucJp: return Encoding::EucJp;
        case TextEncoding::Iso2022Jp: return Encoding::Iso2022Jp;
    }
    return std::nullopt;
}

bool LooksLikeUtf8(std::string_view bytes) { return DetectEncoding(bytes) == Encoding::Utf8; }

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    const std::optional<Encoding> forced = ForcedEncoding(encoding);
    return DecodeToCp932(bytes, forced ? *forced : DetectEncoding(bytes));
}

}  // namespace quenbol::cli
