// Fuzz target: reading a text file into code page 932 (the automatic choice
// between UTF-8 and code page 932, and the conversions under it).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/text_decoding.h"
#include "core/cp932.h"

using quenbol::cli::DecodeText;
using quenbol::cli::TextEncoding;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (TextEncoding encoding : {TextEncoding::Auto, TextEncoding::Cp932, TextEncoding::Utf8}) {
        const std::string text = DecodeText(bytes, encoding);
        // No character ever grows: code page 932 needs at most two bytes where
        // UTF-8 needed two or more.
        if (text.size() > bytes.size()) std::abort();
        if (encoding == TextEncoding::Cp932 && text != bytes) std::abort();
        if (encoding != TextEncoding::Cp932 && !quenbol::cli::LooksLikeUtf8(bytes) &&
            encoding == TextEncoding::Auto && text != bytes) {
            std::abort();
        }
    }
    // What the encoder produces decodes and re-encodes to itself.
    const std::string encoded = quenbol::Utf8ToCp932(bytes);
    if (quenbol::Utf16ToCp932(quenbol::Cp932ToUtf16(encoded)) != encoded) std::abort();
    if (quenbol::Utf8ToCp932(quenbol::Cp932ToUtf8(encoded)) != encoded) std::abort();
    return 0;
}
