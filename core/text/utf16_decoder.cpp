// UTF-16 (either byte order) to code page 932.
#include <string>

#include "core/text/cp932.h"
#include "core/text/text_encodings.h"

namespace quenbol {

std::string Utf16ToCp932Bytes(std::string_view bytes, bool bigEndian) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? a << 8 | b : b << 8 | a);
    }
    std::string out = Utf16ToCp932(units);
    if (bytes.size() % 2) out += kUnmappable;
    return out;
}

}  // namespace quenbol
