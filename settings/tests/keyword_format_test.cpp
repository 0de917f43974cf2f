// The keyword file format: what the save writes and what the load accepts.
#include <gtest/gtest.h>

#include "settings/keyword_format.h"

namespace quenbol {
namespace {

const unsigned char kHeaderBytes[] = {
    0x90, 0xEC, 0x2A, 0x81, 0x66, 0x81, 0x5B, 0x81, 0x66, 0x81, 0x6A, 0x82, 0xB1, 0x82, 0xCC,
    0x83, 0x74, 0x83, 0x40, 0x83, 0x43, 0x83, 0x8B, 0x82, 0xCD, 0x7A, 0x61, 0x76, 0x6F, 0x32,
    0x2E, 0x65, 0x78, 0x65, 0x97, 0x70, 0x82, 0xCC, 0x90, 0xDD, 0x92, 0xE8, 0x83, 0x74, 0x83,
    0x40, 0x83, 0x43, 0x83, 0x8B, 0x82, 0xE2, 0x82, 0xE6, 0x81, 0x5B, 0x81, 0x42};
const std::string kHeader(reinterpret_cast<const char*>(kHeaderBytes), sizeof kHeaderBytes);

Keywords Numbered() {
    Keywords t;
    for (int n = 0; n < kKeywordEntries; ++n) t[n] = "k" + std::to_string(n);
    return t;
}

TEST(KeywordFile, HeaderAndMessagesAreTheExactBytes) {
    ASSERT_EQ(kHeader.size(), 58u);
    EXPECT_EQ(std::string(KeywordFileHeader), kHeader);
    EXPECT_EQ(std::string(kMsgCannotOpenForWriting),
              // ファイルを書き込み用にオープンできませんでした。
              "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x97\x70\x82\xc9\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42");
    EXPECT_EQ(std::string(kMsgCannotOpen),
              // ファイルをオープンできませんでした。
              "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42");
    EXPECT_EQ(std::string(kMsgNotKeywordFile),
              // 設定ファイルがzavo2.exeのフォーマットではありません。
              "\x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaazavo2.exe\x82\xcc\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x62\x83\x67\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42");
    EXPECT_EQ(std::string(kMsgWriteFailed),
              // ファイルの書き込み中にエラーが発生しました。元のファイルは変更されていません。
              "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x92\x86\x82\xc9\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x8c\xb3\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd\x95\xcf\x8d\x58\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42");
    EXPECT_EQ(std::string(kMsgReadFailed),
              // ファイルの読み込み中にエラーが発生しました。キーワードは変更されていません。
              "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x92\x86\x82\xc9\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x83\x4c\x81\x5b\x83\x8f\x81\x5b\x83\x68\x82\xcd\x95\xcf\x8d\x58\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42");
}

TEST(KeywordFile, WritesHeaderAndEntriesWithCrLf) {
    std::string emptyTable = kHeader + "\r\n";
    for (int n = 0; n < 147; ++n) emptyTable += "\r\n";
    EXPECT_EQ(FormatKeywordFile(Keywords{}), emptyTable);
    Keywords t = Numbered();
    std::size_t expected = 60;
    for (const auto& e : t) expected += e.size() + 2;
    EXPECT_EQ(FormatKeywordFile(t).size(), expected);
    EXPECT_EQ(FormatKeywordFile(t).substr(60, 8), "k0\r\nk1\r\n");
}

TEST(KeywordFile, RoundTripKeepsEveryByte) {
    Keywords t = Numbered();
    t[0] = "  spaces at both ends  ";
    t[5] = "";
    t[146] = "\x83\x5c\x82\xa0\x81";  // ends in a lead byte
    t[70] = std::string(300, 'x');
    t[71] = "tab\there\x1a";
    const auto back = ParseKeywordFile(FormatKeywordFile(t));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, t);
}

TEST(KeywordFile, LineEndsAndShortOrLongFiles) {
    std::string lf = kHeader + "\n";
    for (int n = 0; n < 147; ++n) lf += "k" + std::to_string(n) + "\n";
    EXPECT_EQ(ParseKeywordFile(lf), std::optional<Keywords>(Numbered()));

    // Only the header: every entry empty. Ten lines: the rest empty.
    EXPECT_EQ(ParseKeywordFile(kHeader + "\r\n"), std::optional<Keywords>(Keywords{}));
    EXPECT_EQ(ParseKeywordFile(kHeader), std::optional<Keywords>(Keywords{}));
    std::string ten = kHeader + "\r\n";
    for (int n = 0; n < 10; ++n) ten += "k" + std::to_string(n) + "\r\n";
    const auto t10 = ParseKeywordFile(ten);
    ASSERT_TRUE(t10);
    EXPECT_EQ((*t10)[9], "k9");
    EXPECT_EQ((*t10)[10], "");

    // 200 lines: the first 147 are taken.
    std::string many = kHeader + "\r\n";
    for (int n = 0; n < 200; ++n) many += "k" + std::to_string(n) + "\r\n";
    EXPECT_EQ(ParseKeywordFile(many), std::optional<Keywords>(Numbered()));

    // The last line needs no line end; a CR elsewhere stays.
    const auto last = ParseKeywordFile(kHeader + "\r\na\rb\r\nlast");
    ASSERT_TRUE(last);
    EXPECT_EQ((*last)[0], "a\rb");
    EXPECT_EQ((*last)[1], "last");
}

TEST(KeywordFile, ForeignFilesAreRefused) {
    EXPECT_FALSE(ParseKeywordFile(""));
    EXPECT_FALSE(ParseKeywordFile("\r\n"));
    EXPECT_FALSE(ParseKeywordFile(kHeader + " \r\nk0\r\n"));
    EXPECT_FALSE(ParseKeywordFile(kHeader + "\r\r\nk0\r\n"));
    EXPECT_FALSE(ParseKeywordFile(" " + kHeader + "\r\n"));
    EXPECT_FALSE(ParseKeywordFile(kHeader.substr(0, 57) + "\r\n"));
    EXPECT_FALSE(ParseKeywordFile("[section]\r\nkey=value\r\n"));
}

// A NUL stands for a typed character with no code page 932 form: the entry
// comes back whole, so a keyword that matched nothing still matches nothing.
TEST(KeywordFile, NulAndEofBytesStayInTheirEntry) {
    Keywords t;
    t[0] = std::string("ab\0cd", 5);
    t[1] = "\x1A";
    t[2] = std::string("\0", 1);
    const auto back = ParseKeywordFile(FormatKeywordFile(t));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, t);
    EXPECT_FALSE(ParseKeywordFile(std::string(KeywordFileHeader) + std::string("\0\r\n", 3)));
}

}  // namespace
}  // namespace quenbol
