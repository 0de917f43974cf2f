// The code page 932 length of UTF-16 text, counted without converting, is the
// length of the conversion: every single unit, and random texts mixing pairs,
// lone surrogates, unmappable and two-byte characters.
#include <gtest/gtest.h>

#include <random>

#include "core/text/cp932.h"

namespace quenbol {
namespace {

TEST(Cp932Length, EqualsTheConvertedLength) {
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const std::u16string one(1, static_cast<char16_t>(u));
        ASSERT_EQ(Utf16ToCp932Length(one), Utf16ToCp932(one).size()) << std::hex << static_cast<unsigned>(u);
    }
    const char16_t units[] = {u'a', u'\u3042', u'\uFF71', char16_t{0xD83D}, char16_t{0xDE00}, u'\u2014', u'\0', u'\r'};
    std::mt19937 random(932);
    for (int n = 0; n < 2000; ++n) {
        std::u16string text;
        for (int i = static_cast<int>(random() % 40); i > 0; --i) text += units[random() % 8];
        ASSERT_EQ(Utf16ToCp932Length(text), Utf16ToCp932(text).size());
    }
    const std::u16string mixed = {0xD83D, 0xDE00, 0xD83D, u'a', u'\u3042'};  // pair, lone half, a, あ
    EXPECT_EQ(Utf16ToCp932Length(mixed), 5u);
}

}  // namespace
}  // namespace quenbol
