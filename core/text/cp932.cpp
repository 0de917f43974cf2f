// Code page 932 tables and conversions.
#include "core/text/cp932.h"

#include <array>
#include <bit>
#include <optional>
#include <cstdint>
#include <cstring>
#include <vector>


namespace quenbol {
namespace {

constexpr std::uint16_t kPairTable[] = {
#include "core/text/cp932_table.inc"
};
constexpr int kTrailCount = 0xFC - 0x40 + 1;
static_assert(sizeof kPairTable / sizeof kPairTable[0] == 60 * kTrailCount);

constexpr char32_t kReplacement = 0xFFFD;

int LeadRow(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Single bytes: ASCII, half-width katakana, and the few that Microsoft maps
// to private-use code points.
char32_t DecodeSingle(unsigned char b) {
    if (b < 0x80) return b;
    if (b == 0x80) return 0x80;
    if (b == 0xA0) return 0xF8F0;
    if (b >= 0xA1 && b <= 0xDF) return 0xFF61 + (b - 0xA1);
    if (b >= 0xFD) return 0xF8F1 + (b - 0xFD);
    return kReplacement;
}

// Reads one character at `pos`, advancing it.
char32_t DecodeNext(std::string_view bytes, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (!IsLeadByte(lead)) {
        ++pos;
        return DecodeSingle(lead);
    }
    if (pos + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[pos + 1]))) {
        const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
        pos += 2;
        const std::uint16_t u = kPairTable[LeadRow(lead) * kTrailCount + (trail - 0x40)];
        return u ? u : kReplacement;
    }
    ++pos;
    return kReplacement;
}

// Unicode (BMP) to code page 932, 0 where there is no form. Where several
// codes decode to one character, the first in code order wins, except that
// the NEC-selected rows 0xED/0xEE yield to the IBM rows 0xFA-0xFC, as in
// Microsoft's own conversion.
const std::vector<std::uint16_t>& EncodeTable() {
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> t(0x10000, 0);
        for (unsigned b = 0; b < 0x100; ++b) {
            if (IsLeadByte(static_cast<unsigned char>(b))) continue;
            const char32_t u = DecodeSingle(static_cast<unsigned char>(b));
            if (u != kReplacement && !t[u]) t[u] = static_cast<std::uint16_t>(b);
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
                if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
                const bool necSelected = lead == 0xED || lead == 0xEE;
                if (necSelected != (pass == 1)) continue;
                for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                    const std::uint16_t u =
                        kPairTable[LeadRow(static_cast<unsigned char>(lead)) * kTrailCount +
                                   (trail - 0x40)];
                    if (u && !t[u]) t[u] = static_cast<std::uint16_t>(lead << 8 | trail);
                }
            }
        }
        // The JIS forms of a few symbols that Japanese texts from other
        // systems carry (the wave dash above all) map to the same codes.
        const std::array<std::pair<char16_t, std::uint16_t>, 6> variants{{
            {0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00AC, 0x81CA},
            {0x2016, 0x8161}, {0x2212, 0x817C}, {0x301C, 0x8160},
        }};
        for (auto [u, code] : variants) t[u] = code;
        return t;
    }();
    return table;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Reads one UTF-8 code point at `pos`, advancing it; -1 for an ill-formed
// sequence (which then advances by one byte).
long DecodeUtf8Next(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    int len;
    char32_t cp;
    char32_t min;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++pos;
        return -1;
    }
    if (pos + len > s.size()) {
        ++pos;
        return -1;
    }
    for (int i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return -1;
        }
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return -1;
    }
    pos += len;
    return static_cast<long>(cp);
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) out += static_cast<char16_t>(DecodeNext(bytes, pos));
    return out;
}

std::string Cp932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t pos = 0; pos < bytes.size();) AppendUtf8(out, DecodeNext(bytes, pos));
    return out;
}

namespace {

// Walks UTF-16 text as code points: a pair outside the BMP (never in code
// page 932) and a lone surrogate each count as one code point with no form.
template <class Visit>
void ForEachCodeOf(std::u16string_view text, Visit visit) {
    const std::vector<std::uint16_t>& table = EncodeTable();
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDFFF) {
            if (u <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
            visit(std::uint16_t{0}, false);
        } else {
            const std::uint16_t code = table[u];
            visit(code, code != 0 || u == 0);
        }
    }
}

}  // namespace

std::string Utf16ToCp932(std::u16string_view text, bool* lossless) {
    // Written through a pointer into a buffer of the largest size, then cut:
    // a 10 MB text is converted in one pass without growing a string.
    std::string out(text.size() * 2, '\0');
    char* p = out.data();
    bool ok = true;
    ForEachCodeOf(text, [&](std::uint16_t code, bool mapped) {
        if (!mapped) {
            *p++ = kUnmappable;
            ok = false;
        } else if (code > 0xFF) {
            *p++ = static_cast<char>(code >> 8);
            *p++ = static_cast<char>(code & 0xFF);
        } else {
            *p++ = static_cast<char>(code);
        }
    });
    out.resize(static_cast<std::size_t>(p - out.data()));
    if (lossless) *lossless = ok;
    return out;
}

std::size_t Utf16ToCp932Length(std::u16string_view text) {
    std::size_t bytes = 0;
    ForEachCodeOf(text, [&](std::uint16_t code, bool) { bytes += code > 0xFF ? 2 : 1; });
    return bytes;
}

namespace {

constexpr std::size_t kIllFormed = static_cast<std::size_t>(-1);

// Four bytes read from memory as a number with the first byte lowest.
std::uint32_t LittleEndian(std::uint32_t w) {
    if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(w);
    return w;
}
std::uint64_t LittleEndian64(std::uint64_t w) {
    if constexpr (std::endian::native == std::endian::big) return __builtin_bswap64(w);
    return w;
}

// Writes the code page 932 form of `utf8` to `out`, which has room for
// utf8.size() bytes (no character takes more bytes in code page 932 than in
// UTF-8) and either does not overlap it or is its very start (the text
// converted in place: each character is read before its form is written,
// and the write never passes the read); returns the bytes written, or
// kIllFormed as soon as there are more than `maxIllFormed` ill-formed
// sequences, which `illFormed` counts.
std::size_t ConvertUtf8(std::string_view utf8, char* out, bool& lossless, std::size_t& illFormed,
                        std::size_t maxIllFormed = static_cast<std::size_t>(-1)) {
    const bool inPlace = out == utf8.data();
    const std::uint16_t* const table = EncodeTable().data();  // a local pointer: writes to `out` cannot move it
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t write = 0;
    const auto put = [&](long cp) {
        const std::uint16_t code = cp >= 0 && cp < 0x10000 ? table[cp] : 0;
        if (code == 0) {
            out[write++] = kUnmappable;
            lossless = false;
        } else if (code > 0xFF) {
            out[write++] = static_cast<char>(code >> 8);
            out[write++] = static_cast<char>(code & 0xFF);
        } else {
            out[write++] = static_cast<char>(code);
        }
    };
    for (std::size_t pos = 0; pos < size;) {
        // Runs of ASCII eight bytes at a time: each word is stored whole (the
        // output never overlaps the input) and the position moves past its
        // ASCII bytes, found from the word's high bits. A Japanese text has a
        // short run every few characters, and a byte loop's end would be
        // guessed wrong at each.
        // In place, a whole word is stored only where it cannot reach bytes
        // not read yet: at the read position itself (the same bytes), or
        // eight bytes or more behind it.
        while (pos + 8 <= size) {
            std::uint64_t a;
            std::memcpy(&a, in + pos, 8);
            const std::uint64_t high = LittleEndian64(a) & 0x8080808080808080u;
            const std::size_t ascii = high == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(high)) / 8;
            if (!inPlace || write == pos || pos - write >= 8) std::memcpy(out + write, &a, 8);
            else std::memmove(out + write, in + pos, ascii);
            pos += ascii;
            write += ascii;
            if (ascii < 8) break;
        }
        while (pos < size && in[pos] < 0x80) out[write++] = static_cast<char>(in[pos++]);
        // Most of a Japanese text: runs of well-formed three-byte sequences
        // of double-byte characters, each read as one four-byte word (the fourth
        // byte unused) and converted with one table look-up; anything else
        // the general way.
        while (pos + 4 <= size) {
            std::uint32_t w;
            std::memcpy(&w, in + pos, 4);
            w = LittleEndian(w);
            if ((w & 0xC0C0F0u) != 0x8080E0u) break;
            const unsigned cp = (w & 0x0Fu) << 12 | (w & 0x3F00u) >> 2 | (w & 0x3F0000u) >> 16;
            if (cp < 0x800) break;  // an overlong form
            const std::uint16_t code = table[cp];
            if (code <= 0xFF) break;  // a single byte, or no form (the surrogates among them): the general way
            pos += 3;
            out[write] = static_cast<char>(code >> 8);  // the usual case: a double-byte character
            out[write + 1] = static_cast<char>(code & 0xFF);
            write += 2;
        }
        if (pos >= size || in[pos] < 0x80) continue;
        const long cp = DecodeUtf8Next(utf8, pos);
        if (cp < 0 && ++illFormed > maxIllFormed) return kIllFormed;
        put(cp);
    }
    return write;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8, bool* lossless) {
    std::string out(utf8.size(), '\0');
    bool ok = true;
    std::size_t illFormed = 0;
    out.resize(ConvertUtf8(utf8, out.data(), ok, illFormed));
    if (lossless) *lossless = ok;
    return out;
}

std::string Utf8ToCp932Tracked(std::string_view utf8, std::vector<std::size_t>& origins, std::size_t* illFormed) {
    std::string out;
    out.reserve(utf8.size());
    origins.clear();
    origins.reserve(utf8.size());
    const std::vector<std::uint16_t>& table = EncodeTable();
    std::size_t bad = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t at = pos;
        const long cp = DecodeUtf8Next(utf8, pos);
        bad += cp < 0;
        const std::uint16_t code = cp >= 0 && cp < 0x10000 ? table[cp] : 0;
        if (code == 0 && cp != 0) {
            out += kUnmappable;
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
        origins.resize(out.size(), at);
    }
    if (illFormed) *illFormed = bad;
    return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t at = pos;
        if (DecodeUtf8Next(bytes, pos) < 0) {
            AppendUtf8(out, kReplacement);
        } else {
            out.append(bytes.substr(at, pos - at));
        }
    }
    return out;
}

std::optional<std::string> WellFormedUtf8ToCp932(std::string_view utf8) {
    std::string out;
    if (!WellFormedUtf8ToCp932(utf8, out)) return std::nullopt;
    return out;
}

void Utf8ToCp932(std::string_view utf8, std::string& out, std::size_t* illFormed) {
    std::size_t bad = 0;
    bool lossless = true;
    Utf8ToCp932Within(utf8, out, static_cast<std::size_t>(-1), bad, lossless);
    if (illFormed) *illFormed = bad;
}

std::size_t Utf8ToCp932(std::string_view utf8, char* out, std::size_t* illFormed) {
    bool lossless = true;
    std::size_t bad = 0;
    const std::size_t written = ConvertUtf8(utf8, out, lossless, bad);
    if (illFormed) *illFormed = bad;
    return written;
}

std::size_t Utf8ToCp932InPlace(char* text, std::size_t size, std::size_t* illFormed) {
    bool lossless = true;
    std::size_t bad = 0;
    const std::size_t written = ConvertUtf8(std::string_view(text, size), text, lossless, bad);
    if (illFormed) *illFormed = bad;
    return written;
}

bool Utf8ToCp932Within(std::string_view utf8, std::string& out, std::size_t maxIllFormed, std::size_t& illFormed,
                       bool& lossless) {
    // Grown only, never filled again where an earlier text has been.
    if (out.size() < utf8.size()) out.resize(utf8.size());
    lossless = true;
    illFormed = 0;
    const std::size_t written = ConvertUtf8(utf8, out.data(), lossless, illFormed, maxIllFormed);
    out.resize(written == kIllFormed ? 0 : written);
    return written != kIllFormed;
}

bool WellFormedUtf8ToCp932(std::string_view utf8, std::string& out) {
    std::size_t illFormed = 0;
    bool lossless = true;
    return Utf8ToCp932Within(utf8, out, 0, illFormed, lossless);
}

bool IsDefinedCp932Pair(unsigned char lead, unsigned char trail) {
    return IsLeadByte(lead) && IsTrailByte(trail) &&
           kPairTable[LeadRow(lead) * kTrailCount + (trail - 0x40)] != 0;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (DecodeUtf8Next(bytes, pos) < 0) return false;
    }
    return true;
}

}  // namespace quenbol
