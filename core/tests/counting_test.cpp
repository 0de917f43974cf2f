// Count-by-deletion: hand-picked cases and a differential check against the
// reference counter on generated inputs.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "core/counting.h"
#include "testing/reference_counter.h"

namespace quenbol {
namespace {

// Shift-JIS bytes spelled out, so the cases read the same whatever the
// compiler's execution character set.
const std::string A = "\x82\xa0";   // あ
const std::string I = "\x82\xa2";   // い
const std::string KA = "\x83\x4a";  // カ (trail byte is ASCII 'J')
const std::string SO = "\x83\x5c";  // ソ (trail byte is '\\')

Keywords EmptyTable() { return Keywords{}; }

// One call of RemoveAll: how many matches it deletes and the text it leaves.
TEST(RemoveAll, DeletesWholeCharacterMatchesLeftToRight) {
    struct Case {
        const char* what;
        std::string text, word;
        std::int64_t removed;
        std::string left;
    };
    const Case cases[] = {
        {"non-overlapping", "xxx", "xx", 1, "x"},
        {"every match", "xyxy", "xy", 2, ""},
        // A match formed across the deletion point is not counted by the same call...
        {"formed across a deletion", "xxyy", "xy", 1, "xy"},
        {"...but by a later call", "xy", "xy", 1, ""},
        // "カ" is 0x83 'J': the ASCII keyword "J" must not match its second byte.
        {"ASCII trail byte", KA + "J" + KA, "J", 1, KA + KA},
        {"backslash trail byte", SO + "\\", "\\", 1, SO},
        // 81 81 81 81 is two characters "81 81"; 81 81 at the second byte is no match.
        {"run of lead bytes", "\x81\x81\x81\x81", "\x81\x81", 2, ""},
        {"run of lead bytes, shifted", "a\x81\x81\x81", "\x81\x81", 1, "a\x81"},
        {"lone lead byte at the end", "ab\x82", "\x82", 1, "ab"},
        {"NUL is an ordinary character", std::string("a\0b\0a", 5), "a", 2, std::string("\0b\0", 3)},
        // NUL stands for a character with no code page 932 form: it matches nothing.
        {"word holding NUL", std::string("\0b\0", 3), std::string("\0", 1), 0, std::string("\0b\0", 3)},
        {"word starting on a trail byte", A + A, "\xa0\x82", 0, A + A},
        // A keyword ending in a lead byte swallows the trail byte's partner.
        {"word ending in a lead byte", A + A, "\x82\xa0\x82", 1, "\xa0"},
        {"half-width katakana", "\xb1\xb2\xb1", "\xb1", 2, "\xb2"},
        {"empty text", "", "a", 0, ""},
        {"empty word", "abc", "", 0, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = c.text;
        EXPECT_EQ(RemoveAll(text, c.word), c.removed);
        EXPECT_EQ(text, c.left);
    }
}

TEST(CountAndRemove, FullNameCountsOnceNotAgainAsItsParts) {
    const std::string family = A + I, given = KA + SO, full = family + given;
    const std::string words[7] = {full, family, given, "", "", "", ""};
    std::string text = full + "." + full + "." + family + "." + full + "." + family;
    std::int32_t current = 99, total = 10;
    CountAndRemove(text, words, 7, current, total);
    EXPECT_EQ(current, 5);  // three full names, two family names; not 11
    EXPECT_EQ(total, 15);
    EXPECT_EQ(text, "....");

    const std::string none[7];
    CountAndRemove(text, none, 7, current, total);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(total, 15);
}

TEST(CountAndRemove, TotalsSaturateInsteadOfWrapping) {
    const std::string words[7] = {"a"};
    std::string text = "aaa";
    std::int32_t current = 0, total = std::numeric_limits<std::int32_t>::max() - 1;
    CountAndRemove(text, words, 7, current, total);
    EXPECT_EQ(current, 3);
    EXPECT_EQ(total, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(SaturatingAdd(std::numeric_limits<std::int32_t>::max(), 1),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(SaturatingAdd(-5, 3), -2);
}

TEST(SearchAll, MembersConsumeInRosterOrderManualWordsSeeTheWholeText) {
    Keywords table = EmptyTable();
    table[EntryIndex(0, 0)] = A;        // member 0 and member 3 share a keyword
    table[EntryIndex(3, 0)] = A;
    table[EntryIndex(3, 1)] = I;
    table[EntryIndex(5, 0)] = KA + KA;  // only appears once member 0 has taken あ
    CountingState state;
    state.text = KA + A + KA + "/" + A + I + A;
    state.manualWords = {A, "", "", "", "", "", ""};
    state.total[3] = 100;
    const std::string before = state.text;

    const MemberIndex top = SearchAll(state, table);
    EXPECT_EQ(state.text, before);  // the text as the user sees it never changes
    EXPECT_EQ(state.current[0], 3);
    EXPECT_EQ(state.current[3], 1);  // only its own い: あ went to member 0
    EXPECT_EQ(state.total[3], 101);
    EXPECT_EQ(state.current[5], 1);  // カカ formed across member 0's deletion
    EXPECT_EQ(state.manualCurrent, 3);  // counted in full, whatever member 0 took
    EXPECT_EQ(state.manualTotal, 3);
    EXPECT_EQ(top, 0);
}

TEST(SearchAll, OtherActionsTouchOnlyWhatTheyOwn) {
    Keywords table = EmptyTable();
    table[EntryIndex(2, 0)] = "n";
    CountingState state;
    state.text = "nnnn";
    state.manualWords = {"n"};
    SearchAll(state, table);
    SearchManualOnly(state);
    EXPECT_EQ(state.current[2], 4);
    EXPECT_EQ(state.total[2], 4);
    EXPECT_EQ(state.manualCurrent, 4);
    EXPECT_EQ(state.manualTotal, 8);

    ResetTotals(state);
    EXPECT_EQ(state.current[2], 4);
    EXPECT_EQ(state.manualCurrent, 4);
    EXPECT_EQ(state.total[2], 0);
    EXPECT_EQ(state.manualTotal, 0);

    ClearText(state);
    EXPECT_EQ(state.text, "");
    EXPECT_EQ(state.current[2], 4);
    state.total[2] = 7;
    SearchAll(state, table);  // an empty text: currents 0, totals kept
    EXPECT_EQ(state.current[2], 0);
    EXPECT_EQ(state.total[2], 7);
    EXPECT_EQ(state.manualCurrent, 0);
}

// ---- Differential checks against the reference counter ----

// Pieces that make boundary trouble likely: double-byte characters, lead
// bytes used as trail bytes, lone lead bytes, ASCII that is also a trail byte,
// half-width katakana and NUL.
const std::vector<std::string> kPieces = {
    "\x82\xa0", "\x82\xa2", "\x83\x4a", "\x81\x81", "\x81", "\xe0", "J",  "\\",
    "a",        "\xb1",     std::string("\0", 1),  "\x83\x5c", "\xfc\xfc", "\x9f\x40",
};

std::string RandomText(std::mt19937& rng, std::size_t maxPieces) {
    std::uniform_int_distribution<std::size_t> count(0, maxPieces);
    std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
    std::string s;
    for (std::size_t n = count(rng); n > 0; --n) s += kPieces[piece(rng)];
    return s;
}

std::string RandomBytes(std::mt19937& rng, std::size_t maxLen) {
    std::uniform_int_distribution<std::size_t> len(0, maxLen);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(len(rng), '\0');
    for (char& c : s) c = static_cast<char>(byte(rng));
    return s;
}

// A keyword cut from the text (likely to match, often off a boundary), a
// fresh piece, or empty.
std::string RandomWord(std::mt19937& rng, const std::string& text) {
    std::uniform_int_distribution<int> kind(0, 9);
    const int k = kind(rng);
    if (k == 0) return "";
    if (k <= 6 && !text.empty()) {
        std::uniform_int_distribution<std::size_t> start(0, text.size() - 1);
        std::uniform_int_distribution<std::size_t> len(1, 6);
        return text.substr(start(rng), len(rng));
    }
    return RandomText(rng, 3);
}

TEST(Differential, RemoveAllMatchesReference) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = round % 3 == 0 ? RandomBytes(rng, 40) : RandomText(rng, 40);
        const std::string word = RandomWord(rng, text);
        std::string fast = text, slow = text;
        const auto got = RemoveAll(fast, word);
        const auto want = reference::RemoveAll(slow, word);
        ASSERT_EQ(got, want) << "round " << round;
        ASSERT_EQ(fast, slow) << "round " << round;
    }
}

TEST(Differential, SearchAllMatchesReference) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(rng, 120);
        Keywords table;
        std::uniform_int_distribution<int> filled(0, 3);
        for (int m = 0; m < kMemberCount; ++m) {
            const int slots = filled(rng);
            for (int s = 0; s < slots; ++s) table[EntryIndex(m, s)] = RandomWord(rng, text);
            // Prefixes and suffixes of an earlier keyword of the same member.
            if (slots > 0 && table[EntryIndex(m, 0)].size() > 1 && filled(rng) == 0) {
                const std::string& first = table[EntryIndex(m, 0)];
                table[EntryIndex(m, slots)] = round % 2 ? first.substr(1) : first.substr(0, 1);
            }
        }
        ManualWordList manual;
        for (auto& w : manual) w = RandomWord(rng, text);

        CountingState state;
        state.text = text;
        state.manualWords = manual;
        SearchAll(state, table);
        const reference::SearchResult want = reference::SearchAll(text, table, manual);
        for (int m = 0; m < kMemberCount; ++m) {
            ASSERT_EQ(state.current[m], want.members[m]) << "round " << round << " member " << m;
            ASSERT_EQ(state.total[m], want.members[m]);
        }
        ASSERT_EQ(state.manualCurrent, want.manual) << "round " << round;
        ASSERT_EQ(state.text, text);
    }
}

}  // namespace
}  // namespace quenbol
