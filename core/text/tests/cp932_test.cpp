// Code page 932 conversions.
#include <gtest/gtest.h>

#include "core/text/cp932.h"

namespace quenbol {
namespace {

TEST(Cp932, DecodesAndEncodesTheCommonRanges) {
    EXPECT_EQ(Cp932ToUtf16("a\x82\xa0\x83\x5c\xb1"), u"aあソｱ");
    EXPECT_EQ(Utf16ToCp932(u"aあソｱ"), "a\x82\xa0\x83\x5c\xb1");
    EXPECT_EQ(Cp932ToUtf8("\x90\xec\x81\x40"), "川\u3000");
    EXPECT_EQ(Utf8ToCp932("～〜"), "\x81\x60\x81\x60");  // the wave dash of other systems too
    EXPECT_EQ(Cp932ToUtf16("\x81\x60"), u"～");
}

TEST(Cp932, DuplicateCodesEncodeAsWindowsDoes) {
    // ∵ exists three times; the JIS row wins. ⅰ: the IBM row beats the NEC-selected one.
    EXPECT_EQ(Cp932ToUtf16("\x87\x9a"), u"∵");
    EXPECT_EQ(Cp932ToUtf16("\xfa\x5b"), u"∵");
    EXPECT_EQ(Utf16ToCp932(u"∵"), "\x81\xe6");
    EXPECT_EQ(Cp932ToUtf16("\xee\xef"), u"ⅰ");
    EXPECT_EQ(Utf16ToCp932(u"ⅰ"), "\xfa\x40");
    EXPECT_EQ(Utf16ToCp932(u"①"), "\x87\x40");
}

TEST(Cp932, EveryDefinedCodeRoundTripsThroughItsCharacter) {
    int defined = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;  // never a trail byte
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string u = Cp932ToUtf16(code);
            ASSERT_EQ(u.size(), 1u);
            if (u[0] == 0xFFFD) continue;
            ++defined;
            bool lossless = false;
            const std::string back = Utf16ToCp932(u, &lossless);
            ASSERT_TRUE(lossless);
            ASSERT_EQ(Cp932ToUtf16(back), u) << std::hex << lead << trail;
        }
    }
    EXPECT_GT(defined, 9000);
}

TEST(Cp932, CharactersWithoutAFormBecomeOneNulEach) {
    bool lossless = true;
    EXPECT_EQ(Utf16ToCp932(u"a\U0001F600b\U00020B9F", &lossless), std::string("a\0b\0", 4));
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp932("x\xff\xc0\xafy", &lossless), std::string("x\0\0\0y", 5));
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf16ToCp932(std::u16string(1, char16_t(0xD800))), std::string(1, '\0'));
    Utf8ToCp932("plain", &lossless);
    EXPECT_TRUE(lossless);
}

TEST(Cp932, MalformedBytesDecodeToReplacement) {
    EXPECT_EQ(Cp932ToUtf16("a\x82"), u"a\uFFFD");          // lead byte at the end
    EXPECT_EQ(Cp932ToUtf16("\x82\x20z"), u"\uFFFD z");       // lead byte before a non-trail
    EXPECT_EQ(Cp932ToUtf16("\x85\x40"), u"\uFFFD");          // undefined pair
    EXPECT_EQ(Cp932ToUtf16("\xa0\xfd"), u"\uF8F0\uF8F1");    // Microsoft's private-use singles
}

TEST(Cp932, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8("日本語 text"));
    EXPECT_FALSE(IsValidUtf8("\x82\xa0"));
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // an encoded surrogate
    EXPECT_FALSE(IsValidUtf8("\xe3\x81"));      // cut short
    EXPECT_TRUE(IsValidUtf8(""));
}

}  // namespace
}  // namespace quenbol
