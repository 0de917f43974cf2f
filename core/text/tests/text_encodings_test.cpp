// The decoders and the automatic choice, against texts that Python's codecs
// saved in each encoding (encoding_fixtures.inc, made at build time).
#include <gtest/gtest.h>

#include "core/text/cp932.h"
#include "core/text/text_encodings.h"

namespace quenbol {
namespace {

#include "encoding_fixtures.inc"

std::string_view WithoutBom(std::string_view bytes) {
    for (std::string_view bom : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (bytes.starts_with(bom)) return bytes.substr(bom.size());
    }
    return bytes;
}

TEST(TextEncodings, TextsSavedInEveryEncodingReadAsTheSameCp932AndAreRecognised) {
    for (const SavedText& t : kSavedTexts) {
        SCOPED_TRACE(t.label);
        const Encoding detected = DetectEncoding(t.bytes);
        EXPECT_EQ(EncodingName(detected), t.detected);
        EXPECT_TRUE(DecodeToCp932(t.bytes, detected) == t.cp932);
        std::string decoded;  // the same in one go; code page 932 stays where it lies
        EXPECT_EQ(DecodeDetected(t.bytes, decoded), detected);
        EXPECT_TRUE((detected == Encoding::Cp932 ? t.bytes : std::string_view(decoded)) == t.cp932);
        // Named explicitly, and without a byte-order mark, the same.
        const std::optional<Encoding> named = EncodingByName(t.detected);
        ASSERT_TRUE(named);
        EXPECT_TRUE(DecodeToCp932(WithoutBom(t.bytes), *named) == t.cp932);
    }
}

TEST(TextEncodings, RealLookingTextsAreToldApartAsEucJpOrCp932) {
    for (const SavedText& t : kDetectionTexts) {
        SCOPED_TRACE(std::string(t.label) + ": " + Cp932ToUtf8(t.cp932));
        EXPECT_EQ(EncodingName(DetectEncoding(t.bytes)), t.detected);
        EXPECT_TRUE(DecodeToCp932(t.bytes, DetectEncoding(t.bytes)) == t.cp932);
    }
}

TEST(TextEncodings, CharactersWithNoCp932FormAndIllFormedBytesMatchNothing) {
    const std::string nul(1, kUnmappable);
    // JIS X 0212 after 0x8F, a byte EUC-JP never uses, a lead byte cut short.
    EXPECT_EQ(EucJpToCp932("a\x8F\xB0\xA1" "b\x80" "c\xA4"), "a" + nul + "b" + nul + "c" + nul);
    // A pair outside the BMP (U+20BB7), é, and a last odd byte.
    EXPECT_EQ(Utf16ToCp932Bytes(std::string("\x42\xD8\xB7\xDF\xE9\x00\x42\x30\x41", 9), false),
              nul + nul + "\x82\xA0" + nul);
    // JIS X 0212, half a pair, an 8-bit byte.
    EXPECT_EQ(Iso2022JpToCp932("\x1B$(D\x30\x21\x1B$B\x30\x21\x30\x1B(B\xA4"),
              nul + "\x88\x9F" + nul + nul);
}

TEST(TextEncodings, Iso2022JpKatakanaSetsAndLineEndsInsideKanjiRuns) {
    EXPECT_EQ(Iso2022JpToCp932("\x1B(I\x31\x32\x1B(B!\x0E\x33\x0Fx"), "\xB1\xB2!\xB3x");
    EXPECT_EQ(Iso2022JpToCp932("\x1B$B\x24\x22\r\n\x24\x24\x1B(J~"), "\x82\xA0\r\n\x82\xA2~");
}

TEST(TextEncodings, TheAutomaticChoiceByItsRules) {
    EXPECT_EQ(DetectEncoding("plain ASCII"), Encoding::Cp932);
    EXPECT_EQ(DetectEncoding(""), Encoding::Cp932);
    EXPECT_EQ(DetectEncoding("\x1B$B\x24\x22\x1B(B"), Encoding::Iso2022Jp);
    EXPECT_EQ(DetectEncoding("\x1B$B\x24\x22\x1B(B\xA4\xA2"), Encoding::EucJp);  // not 7-bit
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF\x82\xA0"), Encoding::Utf8);  // the mark wins
    EXPECT_EQ(DetectEncoding("\xFF\xFE\x1B\x00"), Encoding::Utf16Le);
    EXPECT_EQ(DetectEncoding("\xB1\xB2"), Encoding::EucJp);  // 旭 rather than ｱｲ
}

TEST(TextEncodings, AlmostWellFormedUtf8IsReadAsUtf8EachIllFormedSequenceMatchingNothing) {
    const std::string unit = "七緒です。", unitCp932 = "\x8E\xB5\x8F\x8F\x82\xC5\x82\xB7\x81\x42";
    std::string text, textCp932;  // 1,200 bytes
    for (int i = 0; i < 80; ++i) text += unit;
    for (int i = 0; i < 40; ++i) textCp932 += unitCp932;
    std::string decoded;
    std::size_t illFormed = 99;
    // One stray Latin-1 byte (é) in 1,201 bytes.
    EXPECT_EQ(DecodeDetected(text.substr(0, 600) + "\xE9" + text.substr(600), decoded, &illFormed), Encoding::Utf8);
    EXPECT_EQ(illFormed, 1u);
    EXPECT_TRUE(decoded == textCp932 + std::string(1, kUnmappable) + textCp932);
    // Cut inside its last character (。, E3 80 82), however short the text: each byte one sequence.
    EXPECT_EQ(DecodeDetected("七緒です\xE3\x80", decoded, &illFormed), Encoding::Utf8);
    EXPECT_EQ(illFormed, 2u);
    EXPECT_TRUE(decoded == "\x8E\xB5\x8F\x8F\x82\xC5\x82\xB7" + std::string(2, kUnmappable));
    // Too many: two in fewer than 2,000 bytes; one among fewer than 100 sequences beyond ASCII.
    EXPECT_NE(DetectEncoding(text.substr(0, 300) + "\xE9" + text.substr(300, 600) + "\xE9" + text.substr(900)),
              Encoding::Utf8);
    EXPECT_NE(DetectEncoding(std::string(1500, 'a') + text.substr(0, 150) + "\xE9" + "b"), Encoding::Utf8);
    // Well-formed, nothing is replaced.
    EXPECT_EQ(DecodeDetected(text, decoded, &illFormed), Encoding::Utf8);
    EXPECT_EQ(illFormed, 0u);
}

TEST(TextEncodings, ShortTextsAreReadInTheirOwnEncoding) {
    const struct {
        const char* what;
        std::string bytes;
        Encoding expected;
    } cases[] = {
        {"EUC-JP した。, each character two half-width katakana in code page 932", "\xA4\xB7\xA4\xBF\xA1\xA3",
         Encoding::EucJp},
        {"EUC-JP 文法, well-formed UTF-8 as two letters of other scripts", "\xCA\xB8\xCB\xA1", Encoding::EucJp},
        {"EUC-JP ｱｲｳ after 0x8E, code page 932 kanji", "\x8E\xB1\x8E\xB2\x8E\xB3", Encoding::EucJp},
        {"UTF-16LE こんにちは、世界",
         std::string("\x53\x30\x93\x30\x6B\x30\x61\x30\x6F\x30\x01\x30\x16\x4E\x4C\x75", 16), Encoding::Utf16Le},
        {"UTF-16BE こんにちは、世界",
         std::string("\x30\x53\x30\x93\x30\x6B\x30\x61\x30\x6F\x30\x01\x4E\x16\x75\x4C", 16), Encoding::Utf16Be},
        {"UTF-16LE abc", std::string("a\0b\0c\0", 6), Encoding::Utf16Le},
        {"code page 932 した。", "\x82\xB5\x82\xBD\x81\x42", Encoding::Cp932},
        {"code page 932 ﾀｲﾌﾟｽｸﾘﾌﾟﾄ", "\xC0\xB2\xCC\xDF\xBD\xB8\xD8\xCC\xDF\xC4", Encoding::Cp932},
        {"code page 932 ﾃﾞｰﾀﾍﾞｰｽ, voiced marks after their letters", "\xC3\xDE\xB0\xC0\xCD\xDE\xB0\xBD",
         Encoding::Cp932},
        {"ASCII", "make install", Encoding::Cp932},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodingName(DetectEncoding(c.bytes)), EncodingName(c.expected)) << c.what;
}

TEST(TextEncodings, NamesAsTheOptionTakesThem) {
    for (const char* name : {"cp932", "utf-8", "utf-16le", "utf-16be", "euc-jp", "iso-2022-jp"}) {
        const std::optional<Encoding> e = EncodingByName(name);
        ASSERT_TRUE(e) << name;
        EXPECT_EQ(EncodingName(*e), name);
    }
    EXPECT_FALSE(EncodingByName("shift_jis"));
}

}  // namespace
}  // namespace quenbol
