// EUC-JP to code page 932: a JIS X 0208 code is its two bytes less 0x80.
#include "core/text/cp932.h"
#include "core/text/jis_x0208.h"
#include "core/text/text_encodings.h"

namespace quenbol {
namespace {

bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

}  // namespace

std::string EucJpToCp932(std::string_view bytes, std::size_t* faults) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t bad = 0;
    const auto at = [&bytes](std::size_t i) {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            out += static_cast<char>(b);
            i += 1;
        } else if (b == 0x8E && at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF) {
            out += static_cast<char>(at(i + 1));  // half-width katakana: the same byte
            i += 2;
        } else if (b == 0x8F && IsEucByte(at(i + 1)) && IsEucByte(at(i + 2))) {
            out += kUnmappable;  // JIS X 0212: no code page 932 form
            i += 3;
        } else if (IsEucByte(b) && IsEucByte(at(i + 1))) {
            if (!AppendJisAsCp932(out, b - 0x80, at(i + 1) - 0x80)) ++bad;
            i += 2;
        } else {
            out += kUnmappable;
            ++bad;
            i += 1;
        }
    }
    if (faults) *faults = bad;
    return out;
}

}  // namespace quenbol
