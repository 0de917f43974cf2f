// The ordinary-word check on hand-written sentences, written in UTF-8 and
// given to the check in code page 932 as the counter does.
#include "core/words/inside_word.h"

#include <gtest/gtest.h>

#include "core/text/cp932.h"
#include "core/words/word_table.h"

namespace quenbol {
namespace {

class InsideWord : public ::testing::Test {
protected:
    // A few keywords of one member, as a table would hold them.
    InsideWordCheck check{{Utf8ToCp932(u8s(u8"月岡瑠衣")), Utf8ToCp932(u8s(u8"月岡")), Utf8ToCp932(u8s(u8"瑠衣")),
                           Utf8ToCp932(u8s(u8"るい")), Utf8ToCp932(u8s(u8"ルイ")), Utf8ToCp932(u8s(u8"クルス")),
                           Utf8ToCp932(u8s(u8"すみか"))}};

    static std::string u8s(const char8_t* s) { return reinterpret_cast<const char*>(s); }

    // The word (in UTF-8) that the first occurrence of `keyword` in `text`
    // sits inside, or "" when it stands as its own token.
    std::string Inside(const char8_t* text, const char8_t* keyword) const {
        const std::string t = Utf8ToCp932(u8s(text)), k = Utf8ToCp932(u8s(keyword));
        const std::size_t at = t.find(k);
        EXPECT_NE(at, std::string::npos);
        const auto word = check.Find(t, at, k.size());
        return word ? Cp932ToUtf8(std::string_view(t).substr(word->start, word->end - word->start)) : "";
    }
};

TEST_F(InsideWord, MarksAKeywordInsideAWordWithTheWord) {
    EXPECT_EQ(Inside(u8"ファイル名あるいはディレクトリ名を指定します。", u8"るい"), u8s(u8"あるいは"));
    EXPECT_EQ(Inside(u8"画面を明るい色で表示する。", u8"るい"), u8s(u8"明るい"));
}

TEST_F(InsideWord, MarksAKeywordStraddlingTwoWordsWithBoth) {
    EXPECT_EQ(Inside(u8"詳しくはマニュアルインターフェースを参照。", u8"ルイ"), u8s(u8"マニュアルインターフェース"));
}

TEST_F(InsideWord, LeavesRealMentionsUnmarked) {
    EXPECT_EQ(Inside(u8"昨日の配信で月岡瑠衣が歌っていた。", u8"月岡瑠衣"), "");
    EXPECT_EQ(Inside(u8"やっぱりるいは最高だよね。", u8"るい"), "");
    EXPECT_EQ(Inside(u8"るいちゃんの声が好き。", u8"るい"), "");
    EXPECT_EQ(Inside(u8"今日はルイさんと話した。", u8"ルイ"), "");
}

TEST_F(InsideWord, LeavesANicknameTheDictionaryAlsoHoldsUnmarked) {
    // クルス and すみか are ordinary nouns in the dictionary, but keywords here.
    EXPECT_EQ(Inside(u8"クルスの新曲を聴いた。", u8"クルス"), "");
    EXPECT_EQ(Inside(u8"すみかがいちばん好き。", u8"すみか"), "");
}

TEST(WordTable, HoldsOrdinaryWordsButNoProperNouns) {
    const WordTable& table = WordTable::BuiltIn();
    auto holds = [&](const char8_t* word) {
        const std::string w = Utf8ToCp932(reinterpret_cast<const char*>(word));
        bool found = false;
        table.ForEachPrefix(w, [&](std::size_t length, int) { found = found || length == w.size(); });
        return found;
    };
    EXPECT_TRUE(holds(u8"あるいは"));
    EXPECT_TRUE(holds(u8"インターフェース"));
    EXPECT_FALSE(holds(u8"東京"));  // a place
    EXPECT_FALSE(holds(u8"瑠衣"));  // a given name
}

}  // namespace
}  // namespace quenbol
