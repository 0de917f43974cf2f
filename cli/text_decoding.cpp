// Choosing how a text is read, and reading it into code page 932.
#include "cli/text_decoding.h"

#include <algorithm>

#include "core/cp932.h"

namespace quenbol::cli {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HasBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

}  // namespace

bool LooksLikeUtf8(std::string_view bytes) {
    if (HasBom(bytes)) return true;
    // Pure ASCII reads alike either way; the code page 932 path keeps it byte for byte.
    const bool beyondAscii = std::any_of(bytes.begin(), bytes.end(),
                                         [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return beyondAscii && IsValidUtf8(bytes);
}

bool ReadsAsUtf8(std::string_view bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ||
           (encoding == TextEncoding::Auto && LooksLikeUtf8(bytes));
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    if (!ReadsAsUtf8(bytes, encoding)) return std::string(bytes);
    if (HasBom(bytes)) bytes.remove_prefix(kUtf8Bom.size());
    return Utf8ToCp932(bytes);
}

}  // namespace quenbol::cli
