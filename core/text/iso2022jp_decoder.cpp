// ISO-2022-JP to code page 932: escape sequences switch between ASCII (or
// JIS X 0201 Roman, read as ASCII), JIS X 0208 pairs of 7-bit bytes, JIS X
// 0201 katakana and JIS X 0212 (which has no code page 932 form).
#include <array>

#include "core/text/cp932.h"
#include "core/text/jis_x0208.h"
#include "core/text/text_encodings.h"

namespace quenbol {
namespace {

enum class Set { Ascii, Jis0208, Katakana, Jis0212 };

struct Designation {
    std::string_view escape;
    Set set;
};

constexpr std::array<Designation, 7> kDesignations{{
    {"\x1B(B", Set::Ascii},
    {"\x1B(J", Set::Ascii},
    {"\x1B$@", Set::Jis0208},
    {"\x1B$B", Set::Jis0208},
    {"\x1B(I", Set::Katakana},
    {"\x1B$(D", Set::Jis0212},
    {"\x1B&@", Set::Jis0208},  // JIS X 0208-1990's announcer before ESC $ B
}};

// The designation that begins at `pos`, if any.
const Designation* DesignationAt(std::string_view bytes, std::size_t pos) {
    for (const Designation& d : kDesignations) {
        if (bytes.substr(pos, d.escape.size()) == d.escape) return &d;
    }
    return nullptr;
}

bool IsGraphic(unsigned char b) { return b >= 0x21 && b <= 0x7E; }

}  // namespace

bool LooksLikeIso2022Jp(std::string_view bytes) {
    bool designated = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
        if (bytes[i] == '\x1B' && DesignationAt(bytes, i)) designated = true;
    }
    return designated;
}

std::string Iso2022JpToCp932(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    Set set = Set::Ascii;
    Set beforeShiftOut = Set::Ascii;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0x1B) {
            if (const Designation* d = DesignationAt(bytes, i)) {
                if (d->escape != "\x1B&@") set = d->set;
                i += d->escape.size();
                continue;
            }
        }
        if (b == 0x0E || b == 0x0F) {  // shift out to katakana and back
            if (b == 0x0E && set != Set::Katakana) beforeShiftOut = set, set = Set::Katakana;
            if (b == 0x0F && set == Set::Katakana) set = beforeShiftOut;
            ++i;
            continue;
        }
        if (b >= 0x80) {
            out += kUnmappable;  // never in 7-bit text
            ++i;
        } else if (!IsGraphic(b) || set == Set::Ascii) {
            out += static_cast<char>(b);  // controls, space and line ends in any set
            ++i;
        } else if (set == Set::Katakana) {
            out += b <= 0x5F ? static_cast<char>(b + 0x80) : kUnmappable;
            ++i;
        } else if (i + 1 < bytes.size() && IsGraphic(static_cast<unsigned char>(bytes[i + 1]))) {
            if (set == Set::Jis0208) AppendJisAsCp932(out, b, static_cast<unsigned char>(bytes[i + 1]));
            else out += kUnmappable;
            i += 2;
        } else {
            out += kUnmappable;  // half a pair
            ++i;
        }
    }
    return out;
}

}  // namespace quenbol
