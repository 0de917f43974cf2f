// Reading texts into code page 932, and the table and JSON forms of a result.
#include <gtest/gtest.h>

#include <vector>

#include "cli/emit/format_json.h"
#include "cli/emit/format_table.h"
#include "cli/tests/json_reader.h"
#include "cli/decode/text_decoding.h"
#include "core/text/cp932.h"
#include "testing/cp932_text.h"

namespace quenbol::cli {
namespace {

using quenbol::testing::Cp932;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kNanaoDesu = "\x8E\xB5\x8F\x8F\x82\xC5\x82\xB7";  // 七緒です in code page 932

TEST(DecodeText, AutoReadsUtf8WithBomOrBeyondAsciiAndEverythingElseAsCodePage932) {
    EXPECT_EQ(DecodeText(kBom + "七緒です", std::nullopt), kNanaoDesu);
    EXPECT_EQ(DecodeText("七緒です", std::nullopt), kNanaoDesu);
    EXPECT_EQ(DecodeText(kNanaoDesu, std::nullopt), kNanaoDesu);  // code page 932 bytes stay
    EXPECT_NE(DetectEncoding("plain ASCII\r\n"), Encoding::Utf8);
    EXPECT_EQ(DecodeText("plain ASCII\r\n", std::nullopt), "plain ASCII\r\n");
    EXPECT_EQ(DecodeText(kBom + "abc", std::nullopt), "abc");
    EXPECT_EQ(DecodeText("", std::nullopt), "");
    // A byte-order mark decides even when the rest is broken: the broken byte matches nothing.
    EXPECT_EQ(DecodeText(kBom + "a\xFF", std::nullopt), std::string("a\0", 2));
}

TEST(DecodeText, ForcedEncodingsIgnoreTheGuess) {
    const std::string utf8 = "七緒";
    EXPECT_EQ(DecodeText(utf8, Encoding::Cp932), utf8);
    EXPECT_EQ(DecodeText(kBom + utf8, Encoding::Utf8), "\x8E\xB5\x8F\x8F");  // 七緒
    EXPECT_EQ(DecodeText("abc", Encoding::Utf8), "abc");
    // Code page 932 bytes forced through UTF-8: every broken sequence a NUL, nothing else invented.
    EXPECT_EQ(DecodeText("\x8e\xb5", Encoding::Utf8), std::string("\0\0", 2));
}

TEST(DecodeText, TwoHalvesConvertAsTheWhole) {
    // Texts of pieces around the middle, where the cut falls: characters of
    // every length, truncated and stray bytes, runs of continuation bytes that
    // move the cut (to the end, for a text of them only).
    const std::vector<std::string> pieces = {"a", "七", "é", "\U0001F600", "ｱ", "\xE4\xB8",
                                             "\x80", "\x80\x80\x80\x80\x80", "\xF0\x9F", "\xFF", "\xC3"};
    const auto inTwo = [](const std::string& text) {
        std::string out(text.size(), '\0');
        out.resize(Utf8ToCp932InTwo(text, out.data()));
        std::string over = text;  // and each half over itself
        over.resize(Utf8ToCp932InTwoInPlace(over.data(), over.size()));
        EXPECT_EQ(over, out);
        return out;
    };
    for (std::size_t a = 0; a < pieces.size(); ++a)
        for (std::size_t b = 0; b < pieces.size(); ++b)
            for (std::size_t c = 0; c < pieces.size(); ++c)
                for (std::size_t pad = 0; pad < 4; ++pad) {
                    const std::string text = std::string(pad, 'x') + pieces[a] + pieces[b] + pieces[c] + pieces[a];
                    ASSERT_EQ(inTwo(text), Utf8ToCp932(text)) << a << ' ' << b << ' ' << c << ' ' << pad;
                }
    EXPECT_EQ(inTwo(""), "");
    // A long text forced as UTF-8 is converted so, its mark dropped, when the decoder may take two threads.
    std::string longText = kBom;
    while (longText.size() < kConvertInTwoFrom) longText += "七緒と\U0001F600\xFF";
    TextDecoder decoder;
    const DecodedBytes two = decoder.Decode(longText, Encoding::Utf8, true);
    EXPECT_EQ(two.text, Utf8ToCp932(longText.substr(3)));
    EXPECT_EQ(two.illFormed, longText.size() / 14);  // one stray byte in each piece
    std::string over = longText;
    const DecodedBytes overTwo = decoder.DecodeOver(over.data(), over.size(), Encoding::Utf8, true);
    EXPECT_EQ(overTwo.text, two.text);
    EXPECT_EQ(overTwo.illFormed, two.illFormed);
}

TEST(DecodeText, AnUnmappableCharacterBecomesANulThatSplitsAName) {
    const std::string decoded = DecodeText("七\U0001F600緒と七緒", std::nullopt);
    EXPECT_EQ(decoded, Cp932("七") + std::string(1, '\0') + Cp932("緒と七緒"));
    std::string work = decoded;
    EXPECT_EQ(RemoveAll(work, Cp932("七緒")), 1);
}

// The map back to the file against the whole text's conversion with an
// offset kept for every byte, on a text of several conversion pieces:
// characters of one to four bytes, an unmappable one, ill-formed bytes.
TEST(DecodedText, MapsEveryByteBackAsTheWholeConversionDoes) {
    const std::string pieces[] = {"a", "\r\n", "七", "ｱ", "é", "😀", "\xFF", "\xE4\xB8", "緒"};
    std::string file = kBom;
    std::uint32_t seed = 7;
    while (file.size() < (5u << 19)) {
        seed = seed * 1103515245 + 12345;
        file += pieces[(seed >> 16) % std::size(pieces)];
    }
    const DecodedText d(file, Encoding::Utf8);
    std::vector<std::size_t> origins;
    const std::string text = Utf8ToCp932Tracked(std::string_view(file).substr(kBom.size()), origins);
    ASSERT_TRUE(d.text() == text);  // (2.5 MB: not printed)
    // Byte i's character ends where the next character begins, or at the file's end.
    std::size_t end = file.size();
    for (std::size_t i = text.size(); i-- > 0;) {
        ASSERT_EQ(d.FileStart(i), origins[i] + kBom.size()) << i;
        ASSERT_EQ(d.FileEnd(i + 1), end) << i;
        if (i == 0 || origins[i - 1] != origins[i]) end = origins[i] + kBom.size();
    }
    EXPECT_EQ(d.FileStart(text.size()), file.size());
    // A code page 932 text is the file's bytes themselves.
    const std::string cp932 = Cp932("七緒\r\n");
    const DecodedText same(cp932, Encoding::Cp932);
    EXPECT_EQ(same.text().data(), cp932.data());
    EXPECT_EQ(same.FileEnd(3), 3u);
}

TEST(DisplayWidth, CountsFullWidthCharactersAsTwoColumns) {
    EXPECT_EQ(DisplayWidth("abc"), 3);
    EXPECT_EQ(DisplayWidth("七緒"), 4);
    EXPECT_EQ(DisplayWidth("ﾅｵﾋﾟｰ"), 5);  // half-width katakana
    EXPECT_EQ(DisplayWidth("ナオピー高篠!"), 13);
    EXPECT_EQ(DisplayWidth("ＡＢ\u3000x"), 7);
}

CountingState SomeState() {
    CountingState s;
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        s.current[m] = m;
        s.total[m] = 10 * m;
    }
    s.manualCurrent = 3;
    s.manualTotal = 4;
    return s;
}

TEST(FormatTable, RowsLineUpAndTheCaptionFollows) {
    CountingState state = SomeState();
    state.total[20] = 1234567;  // a wide number widens the columns of every row
    const std::string table = FormatTable(state, 20);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = table.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(table.substr(start, end - start));
    ASSERT_EQ(lines.size(), 1u + 21u + 1u + 2u);  // head, members, manual, blank, caption
    for (int row = 0; row < 23; ++row)
        EXPECT_EQ(DisplayWidth(lines[row]), DisplayWidth(lines[0])) << lines[row];
    EXPECT_EQ(lines[1].rfind(Cp932ToUtf8(DisplayName(0)), 0), 0u);
    EXPECT_NE(lines[21].find("20  1234567"), std::string::npos) << lines[21];
    EXPECT_NE(lines[22].find("3        4"), std::string::npos) << lines[22];
    EXPECT_EQ(lines[24], Cp932ToUtf8(TopMessages[20]));
    EXPECT_EQ(FormatTable(state, -1).substr(table.size() - lines[24].size() - 1),
              Cp932ToUtf8(DefaultCaption) + "\n");
}

TEST(JsonString, EscapesWhatJsonRequiresAndConvertsToUtf8) {
    EXPECT_EQ(JsonString("a\"b\\c/"), "\"a\\\"b\\\\c/\"");
    EXPECT_EQ(JsonString(std::string("\x01\n\t\x1f\x7f\0", 6)), "\"\\u0001\\u000A\\u0009\\u001F\\u007F\\u0000\"");
    EXPECT_EQ(JsonString(Cp932("七緒")), "\"七緒\"");
    // Bytes that are no code page 932 character still give valid UTF-8.
    const std::string broken = JsonString("\x81\x7f\xa0\xfd\x82");
    EXPECT_TRUE(IsValidUtf8(broken));
    EXPECT_TRUE(testing::JsonReader::Read(broken));
}

TEST(FormatJson, ReadsBackAsTheState) {
    const CountingState state = SomeState();
    for (MemberIndex top : {-1, 9}) {
        const auto doc = testing::JsonReader::Read(FormatJson(state, top));
        ASSERT_TRUE(doc);
        const auto* members = doc->Find("members");
        ASSERT_TRUE(members && members->items.size() == 21u);
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            const auto& member = members->items[m];
            EXPECT_EQ(member.Find("name")->text, Cp932ToUtf8(DisplayName(m)));
            EXPECT_EQ(member.Find("current")->number, m);
            EXPECT_EQ(member.Find("total")->number, 10 * m);
        }
        EXPECT_EQ(doc->Find("manual")->Find("current")->number, 3);
        EXPECT_EQ(doc->Find("manual")->Find("total")->number, 4);
        EXPECT_EQ(doc->Find("top")->number, top);
        EXPECT_EQ(doc->Find("caption")->text, Cp932ToUtf8(CaptionFor(top)));
    }
}

TEST(JsonReader, RefusesWhatIsNotJson) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "\"\x01\"", "\"\\x\"", "01", "[1] 2", "\"\xff\""})
        EXPECT_FALSE(testing::JsonReader::Read(bad)) << bad;
    EXPECT_TRUE(testing::JsonReader::Read(" {\"a\": [1, -2, \"x\\n\", true, null]} "));
}

}  // namespace
}  // namespace quenbol::cli
