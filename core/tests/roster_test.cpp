// Properties of the built-in roster data that counting relies on: row shapes,
// encoding, slot order, no keyword shared across members, kana pairs, and the
// fixed prompt, captions and caption messages. Pinned bytes are spelled in hex
// so they read the same whatever the compiler's execution character set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/roster.h"
#include "core/top_member.h"

namespace quenbol {
namespace {

const std::string kChan = "\x82\xbf\x82\xe1\x82\xf1";  // ちゃん
const std::string kPpe = "\x82\xc1\x82\xd8";           // っぺ
const std::string kIdeoSpace = "\x81\x40";             // U+3000

std::string Entry(int m, int s) { return kDefaultKeywordTable[EntryIndex(m, s)]; }

// Byte offsets at which a character starts; the string's length ends the list.
std::vector<size_t> Starts(const std::string& s) {
    std::vector<size_t> at;
    for (size_t i = 0; i < s.size();) {
        at.push_back(i);
        const unsigned char b = s[i];
        i += ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
    }
    at.push_back(s.size());
    return at;
}

size_t CharCount(const std::string& s) { return Starts(s).size() - 1; }

// Whole double-byte characters of code page 932 and nothing else.
bool AllDoubleByte(const std::string& s) {
    if (s.size() % 2 != 0) return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        const unsigned char lead = s[i], trail = s[i + 1];
        if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))) return false;
        if (!((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))) return false;
    }
    return true;
}

// True when needle occurs in hay starting on a character boundary of hay.
bool ContainsChars(const std::string& hay, const std::string& needle) {
    for (size_t at : Starts(hay))
        if (hay.compare(at, needle.size(), needle) == 0 && at + needle.size() <= hay.size()) return true;
    return false;
}

// Hiragana (0x82 0x9F..0xF1) to katakana (0x83 0x40..0x93, skipping 0x7F).
std::string ToKatakana(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char b = s[i];
        if (b == 0x82 && i + 1 < s.size() && (unsigned char)s[i + 1] >= 0x9F &&
            (unsigned char)s[i + 1] <= 0xF1) {
            int t = (unsigned char)s[++i] - 0x5F;
            if (t >= 0x7F) ++t;
            out += '\x83';
            out += char(t);
        } else {
            out += char(b);
            if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < s.size()) out += s[++i];
        }
    }
    return out;
}

TEST(ToKatakana, MapsAcrossTheGapInTheKatakanaBlock) {
    EXPECT_EQ(ToKatakana("\x82\x9f"), "\x83\x40");  // ぁ -> ァ
    EXPECT_EQ(ToKatakana("\x82\xdd"), "\x83\x7e");  // み -> ミ
    EXPECT_EQ(ToKatakana("\x82\xde"), "\x83\x80");  // む -> ム
    EXPECT_EQ(ToKatakana("\x82\xf1"), "\x83\x93");  // ん -> ン
    EXPECT_EQ(ToKatakana("\x81\x5b\x88\x9f"), "\x81\x5b\x88\x9f");  // ー and a kanji stay
}

TEST(DefaultKeywords, RowShapesAndEncoding) {
    const int filled[kMemberCount] = {5, 6, 6, 7, 5, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 6, 7, 7, 5};
    for (int m = 0; m < kMemberCount; ++m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            const std::string k = Entry(m, s);
            SCOPED_TRACE("member " + std::to_string(m) + " slot " + std::to_string(s));
            if (s >= filled[m]) {
                EXPECT_TRUE(k.empty());
                continue;
            }
            EXPECT_TRUE(AllDoubleByte(k));
            EXPECT_GE(CharCount(k), 1u);
            EXPECT_LE(CharCount(k), 7u);
        }
    }
    EXPECT_TRUE(Entry(0, 5).empty());
    EXPECT_TRUE(Entry(0, 6).empty());
    EXPECT_EQ(std::string(DefaultKeyword(140)), DisplayName(20));
    EXPECT_TRUE(std::string(DefaultKeyword(145)).empty());
    EXPECT_TRUE(std::string(DefaultKeyword(146)).empty());

    Keywords table;
    table[5] = "x";
    table[140] = "y";
    LoadDefaultKeywords(table);
    for (int n = 0; n < kKeywordEntries; ++n) EXPECT_EQ(table[n], kDefaultKeywordTable[n]) << n;
}

TEST(DefaultKeywords, NamesFollowTheRowLayout) {
    for (int m = 0; m < kMemberCount; ++m) {
        SCOPED_TRACE("member " + std::to_string(m));
        const bool compound = (m == 9 || m == 14);  // nickname+family in slot 1
        const std::string family = Entry(m, compound ? 2 : 1);
        std::string given = Entry(m, compound ? 3 : 2);
        const std::string suffix = m == 1 ? kPpe : (m == 5 || m == 13) ? kChan : "";
        ASSERT_GT(given.size(), suffix.size());
        ASSERT_EQ(given.substr(given.size() - suffix.size()), suffix);
        given.resize(given.size() - suffix.size());
        EXPECT_EQ(Entry(m, 0), family + given);
        if (compound) {
            EXPECT_EQ(Entry(m, 1), Entry(m, 4) + family);
        }
    }
    EXPECT_EQ(Entry(0, 3), Entry(0, 2).substr(0, 2) + kChan);  // given's first character
    EXPECT_EQ(Entry(4, 3), Entry(4, 1).substr(0, 2) + kChan);  // family's first character
    EXPECT_EQ(CharCount(Entry(11, 1)), 1u);
    EXPECT_EQ(Entry(19, 6), Entry(19, 2).substr(0, 4));  // given's first two characters

    // {member, hiragana slot, other slot, other is the whole katakana form}
    struct Pair { int m, a, b; bool exact; };
    const Pair pairs[] = {{1, 2, 3, false},  {1, 4, 5, true},   {2, 3, 4, true},   {3, 3, 4, true},
                          {5, 6, 5, true},   {6, 5, 6, true},   {7, 3, 4, true},   {7, 5, 6, false},
                          {11, 3, 4, true},  {11, 5, 6, true},  {12, 3, 4, true},  {12, 6, 5, false},
                          {13, 3, 4, true},  {13, 5, 6, false}, {14, 5, 6, false}, {15, 3, 4, true},
                          {16, 3, 4, true},  {17, 3, 4, true},  {20, 3, 4, false}};
    for (const Pair& p : pairs) {
        SCOPED_TRACE("member " + std::to_string(p.m) + " slots " + std::to_string(p.a) + "/" +
                     std::to_string(p.b));
        EXPECT_NE(Entry(p.m, p.a), Entry(p.m, p.b));
        if (p.exact) {
            EXPECT_EQ(ToKatakana(Entry(p.m, p.a)), Entry(p.m, p.b));
        } else {
            EXPECT_EQ(ToKatakana(Entry(p.m, p.a)), ToKatakana(Entry(p.m, p.b)));
        }
    }
}

TEST(DefaultKeywords, ContainingKeywordsComeFirstAndNoneIsShared) {
    for (int a = 0; a < kKeywordEntries; ++a) {
        const std::string ka = kDefaultKeywordTable[a];
        if (ka.empty()) continue;
        for (int b = 0; b < kKeywordEntries; ++b) {
            const std::string kb = kDefaultKeywordTable[b];
            if (a == b || kb.empty() || !ContainsChars(kb, ka)) continue;
            // kb contains ka: allowed only within one member with kb earlier.
            EXPECT_TRUE(a / kSlotsPerMember == b / kSlotsPerMember && b < a)
                << "entry " << b << " contains entry " << a;
        }
        for (int w = 0; w < kManualWordCount; ++w) {
            const std::string word = kInitialManualWordTexts[w];
            if (word.empty()) continue;
            EXPECT_FALSE(ContainsChars(word, ka)) << "manual word " << w << " holds entry " << a;
            EXPECT_FALSE(ContainsChars(ka, word)) << "entry " << a << " holds manual word " << w;
        }
    }
}

TEST(ManualWords, InitialValues) {
    const ManualWordList words = InitialManualWords();
    for (int w = 0; w < 5; ++w) EXPECT_TRUE(AllDoubleByte(words[w]) && !words[w].empty()) << w;
    EXPECT_EQ(words[0], words[1] + words[2]);
    EXPECT_NE(words[3], words[4]);
    EXPECT_EQ(ToKatakana(words[3]), words[4]);
    EXPECT_TRUE(words[5].empty());
    EXPECT_TRUE(words[6].empty());
}

// The texts given word for word, as code page 932 bytes.
TEST(FixedTexts, GivenTextsAreExactBytes) {
    EXPECT_EQ(std::string(InitialPrompt),
              // CR LF 川*’ー’）検索する文章をここに貼り付けるんやよー。
              "\x0d\x0a\x90\xec*\x81\x66\x81\x5b\x81\x66\x81\x6a\x8c\x9f\x8d\xf5\x82\xb7\x82\xe9\x95\xb6\x8f\xcd\x82\xf0\x82\xb1\x82\xb1\x82\xc9\x93\x5c\x82\xe8\x95\x74\x82\xaf\x82\xe9\x82\xf1\x82\xe2\x82\xe6\x81\x5b\x81\x42");
    EXPECT_EQ(std::string(DefaultCaption),
              // テキスト中のピポラの名前の登場回数を数えるのだ。
              "\x83\x65\x83\x4c\x83\x58\x83\x67\x92\x86\x82\xcc\x83\x73\x83\x7c\x83\x89\x82\xcc\x96\xbc\x91\x4f\x82\xcc\x93\x6f\x8f\xea\x89\xf1\x90\x94\x82\xf0\x90\x94\x82\xa6\x82\xe9\x82\xcc\x82\xbe\x81\x42");
    EXPECT_EQ(std::string(InitialCaption),
              // 川*’ー’）テキスト中のピポラの名前の登場回数を数えるんやよー。
              "\x90\xec*\x81\x66\x81\x5b\x81\x66\x81\x6a\x83\x65\x83\x4c\x83\x58\x83\x67\x92\x86\x82\xcc\x83\x73\x83\x7c\x83\x89\x82\xcc\x96\xbc\x91\x4f\x82\xcc\x93\x6f\x8f\xea\x89\xf1\x90\x94\x82\xf0\x90\x94\x82\xa6\x82\xe9\x82\xf1\x82\xe2\x82\xe6\x81\x5b\x81\x42");
    struct Given { int row; const char* bytes; };
    const Given given[] = {
        // 从#~∀~#从　やっぱし女は三十からやんな～
        {0, "\x98\xb8#~\x81\xcd~#\x98\xb8\x81\x40\x82\xe2\x82\xc1\x82\xcf\x82\xb5\x8f\x97\x82\xcd\x8e\x4f\x8f\x5c\x82\xa9\x82\xe7\x82\xe2\x82\xf1\x82\xc8\x81\x60"},
        // （ ` ・ゝ´）　よーし、４人目行くか～！
        {1, "\x81\x69 ` \x81\x45\x81\x54\x81\x4c\x81\x6a\x81\x40\x82\xe6\x81\x5b\x82\xb5\x81\x41\x82\x53\x90\x6c\x96\xda\x8d\x73\x82\xad\x82\xa9\x81\x60\x81\x49"},
        // （0゜-゜0）　・・・・マニア
        {4, "\x81\x69\x30\x81\x4b-\x81\x4b\x30\x81\x6a\x81\x40\x81\x45\x81\x45\x81\x45\x81\x45\x83\x7d\x83\x6a\x83\x41"},
        // （～＾◇＾～）　よ～し！お前見る目あるぞ！オイラがほめてやる！
        {6, "\x81\x69\x81\x60\x81\x4f\x81\x9e\x81\x4f\x81\x60\x81\x6a\x81\x40\x82\xe6\x81\x60\x82\xb5\x81\x49\x82\xa8\x91\x4f\x8c\xa9\x82\xe9\x96\xda\x82\xa0\x82\xe9\x82\xbc\x81\x49\x83\x49\x83\x43\x83\x89\x82\xaa\x82\xd9\x82\xdf\x82\xc4\x82\xe2\x82\xe9\x81\x49"},
        // ヽ＾∀＾ノ　お願い、私のことは忘れて！
        {7, "\x81\x52\x81\x4f\x81\xcd\x81\x4f\x83\x6d\x81\x40\x82\xa8\x8a\xe8\x82\xa2\x81\x41\x8e\x84\x82\xcc\x82\xb1\x82\xc6\x82\xcd\x96\x59\x82\xea\x82\xc4\x81\x49"},
        // （　＾▽＾）　またわたしがトップぅ！？この面食いめ～♪
        {9, "\x81\x69\x81\x40\x81\x4f\x81\xa4\x81\x4f\x81\x6a\x81\x40\x82\xdc\x82\xbd\x82\xed\x82\xbd\x82\xb5\x82\xaa\x83\x67\x83\x62\x83\x76\x82\xa3\x81\x49\x81\x48\x82\xb1\x82\xcc\x96\xca\x90\x48\x82\xa2\x82\xdf\x81\x60\x81\xf4"},
        // （０＾～＾０）　やせた甲斐があったみたい
        {10, "\x81\x69\x82\x4f\x81\x4f\x81\x60\x81\x4f\x82\x4f\x81\x6a\x81\x40\x82\xe2\x82\xb9\x82\xbd\x8d\x62\x94\xe3\x82\xaa\x82\xa0\x82\xc1\x82\xbd\x82\xdd\x82\xbd\x82\xa2"},
        // ∬´▽｀∬　痩せろ痩せろってうるさいんだよぉー
        {14, "\x81\xe8\x81\x4c\x81\xa4\x81\x4d\x81\xe8\x81\x40\x91\x89\x82\xb9\x82\xeb\x91\x89\x82\xb9\x82\xeb\x82\xc1\x82\xc4\x82\xa4\x82\xe9\x82\xb3\x82\xa2\x82\xf1\x82\xbe\x82\xe6\x82\xa7\x81\x5b"},
        // 川o･-･）　トップ賞は食べ物ですか？そうでないならどうでもいいです。
        {15, "\x90\xeco\xa5-\xa5\x81\x6a\x81\x40\x83\x67\x83\x62\x83\x76\x8f\xdc\x82\xcd\x90\x48\x82\xd7\x95\xa8\x82\xc5\x82\xb7\x82\xa9\x81\x48\x82\xbb\x82\xa4\x82\xc5\x82\xc8\x82\xa2\x82\xc8\x82\xe7\x82\xc7\x82\xa4\x82\xc5\x82\xe0\x82\xa2\x82\xa2\x82\xc5\x82\xb7\x81\x42"},
        // （　・e・）　え～！！！？？？わ、わたしがトップなんですか～？？？？
        {16, "\x81\x69\x81\x40\x81\x45\x65\x81\x45\x81\x6a\x81\x40\x82\xa6\x81\x60\x81\x49\x81\x49\x81\x49\x81\x48\x81\x48\x81\x48\x82\xed\x81\x41\x82\xed\x82\xbd\x82\xb5\x82\xaa\x83\x67\x83\x62\x83\x76\x82\xc8\x82\xf1\x82\xc5\x82\xb7\x82\xa9\x81\x60\x81\x48\x81\x48\x81\x48\x81\x48"},
        // ﾉﾉ*＾ｰ＾）　かわいくてごめんなさい。人気者でごめんなさい。
        {18, "\xc9\xc9*\x81\x4f\xb0\x81\x4f\x81\x6a\x81\x40\x82\xa9\x82\xed\x82\xa2\x82\xad\x82\xc4\x82\xb2\x82\xdf\x82\xf1\x82\xc8\x82\xb3\x82\xa2\x81\x42\x90\x6c\x8b\x43\x8e\xd2\x82\xc5\x82\xb2\x82\xdf\x82\xf1\x82\xc8\x82\xb3\x82\xa2\x81\x42"},
        // 从*・ ｡.・）　よしっ！今日もかわいいからトップ取れたっ！！
        {19, "\x98\xb8*\x81\x45 \xa1.\x81\x45\x81\x6a\x81\x40\x82\xe6\x82\xb5\x82\xc1\x81\x49\x8d\xa1\x93\xfa\x82\xe0\x82\xa9\x82\xed\x82\xa2\x82\xa2\x82\xa9\x82\xe7\x83\x67\x83\x62\x83\x76\x8e\xe6\x82\xea\x82\xbd\x82\xc1\x81\x49\x81\x49"},
    };
    for (const Given& g : given) EXPECT_EQ(std::string(TopMessages[g.row]), g.bytes) << "row " << g.row;
}

// Every row, the ones of our own wording included: a face, an ideographic
// space, a remark; 15 to 44 whole characters, 27 to 86 bytes; no two alike.
TEST(FixedTexts, EveryTopMessageHasTheForm) {
    for (int m = 0; m < kMemberCount; ++m) {
        const std::string t = TopMessages[m];
        SCOPED_TRACE("row " + std::to_string(m));
        EXPECT_GE(CharCount(t), 15u);
        EXPECT_LE(CharCount(t), 44u);
        EXPECT_GE(t.size(), 27u);
        EXPECT_LE(t.size(), 86u);
        EXPECT_EQ(Starts(t).back(), t.size());
        EXPECT_TRUE(ContainsChars(t, kIdeoSpace));
        EXPECT_NE(t.substr(0, 2), kIdeoSpace);  // the face comes first
        for (int n = 0; n < m; ++n) EXPECT_STRNE(TopMessages[n], TopMessages[m]);
    }
}

}  // namespace
}  // namespace quenbol
