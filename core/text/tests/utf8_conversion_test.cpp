// The one-pass UTF-8 conversion, into new memory and over the text itself,
// against a deliberately simple one, on generated text: every code point, ASCII runs of every length around the
// fast path's blocks, and ill-formed sequences of every kind.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/text/cp932.h"

namespace quenbol {
namespace {

// One code point at a time, by the rules of UTF-8: a lead byte gives the
// length, every following byte must be 10xxxxxx, and the value must be the
// shortest form, not a surrogate and at most U+10FFFF; otherwise the first
// byte alone is one ill-formed sequence. Each code point is encoded through
// the UTF-16 conversion. Returns false when any sequence was ill-formed.
bool SimpleUtf8ToCp932(const std::string& in, std::string& out, bool& lossless) {
    out.clear();
    lossless = true;
    bool wellFormed = true;
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        std::size_t len = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        char32_t cp = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        bool ok = len > 0 && i + len <= in.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(in[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = cp << 6 | (c & 0x3F);
        }
        const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && cp >= shortest[len] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (!ok) {
            out += '\0';
            lossless = wellFormed = false;
            ++i;
            continue;
        }
        i += len;
        if (cp == 0) {
            out += '\0';
        } else if (cp > 0xFFFF) {
            out += '\0';
            lossless = false;
        } else {
            bool mapped = true;
            out += Utf16ToCp932(std::u16string(1, static_cast<char16_t>(cp)), &mapped);
            lossless = lossless && mapped;
        }
    }
    return wellFormed;
}

void AppendUtf8(std::string& s, char32_t cp) {
    const int len = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    const unsigned char leads[] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    char bytes[4];
    for (int k = len - 1; k > 0; --k, cp >>= 6) bytes[k] = static_cast<char>(0x80 | (cp & 0x3F));
    bytes[0] = static_cast<char>(leads[len] | cp);
    s.append(bytes, len);
}

void ExpectSameAsSimple(const std::string& in) {
    std::string expected;
    bool expectedLossless = true;
    const bool wellFormed = SimpleUtf8ToCp932(in, expected, expectedLossless);
    bool lossless = !expectedLossless;
    ASSERT_EQ(Utf8ToCp932(in, &lossless), expected);
    ASSERT_EQ(lossless, expectedLossless);
    const std::optional<std::string> strict = WellFormedUtf8ToCp932(in);
    ASSERT_EQ(strict.has_value(), wellFormed);
    if (strict) {
        ASSERT_EQ(*strict, expected);
    }
    std::vector<std::size_t> origins;
    ASSERT_EQ(Utf8ToCp932Tracked(in, origins), expected);
    // Over the text itself, the write a few bytes behind the read or level with it.
    std::string over = in;
    over.resize(Utf8ToCp932InPlace(over.data(), over.size()));
    ASSERT_EQ(over, expected);
}

TEST(Utf8Conversion, EveryCodePointAsTheSimpleConversion) {
    std::string all;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp)
        if (cp < 0xD800 || cp > 0xDFFF) AppendUtf8(all, cp);
    ExpectSameAsSimple(all);
    // Each code point also after ASCII runs of every length, so that it
    // meets each block boundary of the ASCII runs.
    std::string shifted;
    for (char32_t cp = 0x80; cp < 0x10000; cp += 7) {
        shifted.append(cp % 37, 'a');
        if (cp < 0xD800 || cp > 0xDFFF) AppendUtf8(shifted, cp);
    }
    ExpectSameAsSimple(shifted);
}

TEST(Utf8Conversion, GeneratedTextWithIllFormedBytesAsTheSimpleConversion) {
    std::mt19937 rng(932);
    const std::vector<std::string> illFormed = {
        "\x80", "\xBF", "\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xE0\x82\xA7", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF0\x80\x80\xAF",
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xFE", "\xE3\x81", "\xE3", "\xF0\x9F\x98", "\xC3",
        "\xE3\x41\x82", "\xE3\x81\xC3\xA9"};
    std::uniform_int_distribution<int> pick(0, 9);
    for (int round = 0; round < 3000; ++round) {
        std::string in;
        const int pieces = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int p = 0; p < pieces; ++p) {
            switch (pick(rng)) {
                case 0: in.append(std::uniform_int_distribution<int>(0, 40)(rng), 'x'); break;
                case 1: in += illFormed[std::uniform_int_distribution<std::size_t>(0, illFormed.size() - 1)(rng)]; break;
                case 2: AppendUtf8(in, std::uniform_int_distribution<char32_t>(0x80, 0x7FF)(rng)); break;
                case 3: AppendUtf8(in, std::uniform_int_distribution<char32_t>(0x10000, 0x10FFFF)(rng)); break;
                case 4: in += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)); break;
                default: AppendUtf8(in, std::uniform_int_distribution<char32_t>(0x3000, 0x9FFF)(rng)); break;
            }
        }
        // Cut anywhere, so that a sequence may end the text half done.
        in.resize(std::uniform_int_distribution<std::size_t>(0, in.size())(rng));
        ExpectSameAsSimple(in);
    }
}

}  // namespace
}  // namespace quenbol
