// Where counted occurrences were: the reference counter's tracked form on
// cases worked out by hand, and the engine's reports against it on
// generated inputs.
#include <gtest/gtest.h>


#include "core/counting.h"
#include "core/engine/count_engine.h"
#include "core/engine/remove_all.h"
#include "core/engine/tests/random_inputs.h"
#include "testing/reference_counter.h"

namespace quenbol {
namespace {

using Spans = std::vector<TextSpan>;

TEST(ReferenceTracking, SpansInTheOriginalTextAcrossJoins) {
    // x M y - x x y y: "M" goes, then "xy" twice; the first "xy" forms across
    // the join, the third only after the second's deletion joined x and y.
    reference::TrackedText text("xMy-xxyy");
    EXPECT_EQ(reference::RemoveAllTracked(text, "M"), (std::vector<Spans>{{{1, 2}}}));
    EXPECT_EQ(reference::RemoveAllTracked(text, "xy"), (std::vector<Spans>{{{0, 1}, {2, 3}}, {{5, 7}}}));
    EXPECT_EQ(reference::RemoveAllTracked(text, "xy"), (std::vector<Spans>{{{4, 5}, {7, 8}}}));
    EXPECT_EQ(text.bytes, "-");
    EXPECT_EQ(text.origin, std::vector<std::size_t>{3});
    // A join of several deletions, and a word across two joins.
    reference::TrackedText nested("aQbQQcQd");
    EXPECT_EQ(reference::RemoveAllTracked(nested, "Q").size(), 4u);
    EXPECT_EQ(reference::RemoveAllTracked(nested, "abcd"), (std::vector<Spans>{{{0, 1}, {2, 3}, {5, 6}, {7, 8}}}));
}

TEST(ReferenceTracking, SearchAllListsOccurrencesInTextOrder) {
    Keywords table{};
    table[EntryIndex(0, 0)] = "M";
    table[EntryIndex(3, 2)] = "xy";
    ManualWordList manual{"", "xy"};
    const OccurrenceList list = reference::SearchAllOccurrences("xMy-xy", table, manual);
    const OccurrenceList want = {
        {false, 3, 2, {{0, 1}, {2, 3}}},
        {false, 0, 0, {{1, 2}}},
        {false, 3, 2, {{4, 6}}},
        {true, -1, 1, {{4, 6}}},  // the manual word in the whole text, after the member at one start
    };
    EXPECT_EQ(list, want);
}

// The one-word RemoveAll that says where each match began (in the text as
// the call found it), against the reference, whose own positions are in the
// text as its earlier erasures left it.
TEST(RemoveAllWithStarts, AgreesWithTheReference) {
    std::mt19937 rng(1207);
    for (int round = 0; round < 4000; ++round) {
        const std::vector<std::string> words = testing::RandomWordList(rng, 1 + rng() % 8);
        std::string text = testing::NestingText(rng, words, rng() % 20);
        std::string want = text;
        for (const std::string& word : words) {
            std::vector<std::uint32_t> starts;
            const std::int64_t n = RemoveAll(text, word, starts);
            std::vector<std::uint32_t> expected;
            if (!word.empty() && word.find('\0') == std::string::npos) {
                for (std::size_t pos = reference::FindFrom(want, word, 0); pos != std::string::npos;
                     pos = reference::FindFrom(want, word, pos)) {
                    expected.push_back(static_cast<std::uint32_t>(pos + expected.size() * word.size()));
                    want.erase(pos, word.size());
                }
            }
            ASSERT_EQ(starts, expected) << round;
            ASSERT_EQ(n, static_cast<std::int64_t>(expected.size()));
            ASSERT_EQ(text, want) << round;
        }
    }
}

// ---- The engine's reports against the reference ----

// Every chain's report must list, word by word, the occurrences the tracked
// reference removes, with the same spans; and the counts must agree.
void ExpectReportsAsReference(const std::string& text, const std::vector<std::vector<std::string>>& chains,
                              const std::vector<MatchReport>& reports,
                              const std::vector<std::vector<std::int64_t>>& counts, int round) {
    for (std::size_t c = 0; c < chains.size(); ++c) {
        reference::TrackedText work(text);
        std::size_t i = 0;
        MatchReport::Reader match = reports[c].Read();
        for (std::size_t w = 0; w < chains[c].size(); ++w) {
            const std::vector<Spans> want = reference::RemoveAllTracked(work, chains[c][w]);
            ASSERT_EQ(counts[c][w], static_cast<std::int64_t>(want.size())) << "round " << round << " word " << w;
            for (const Spans& spans : want) {
                ASSERT_TRUE(match.Next()) << "round " << round;
                ASSERT_EQ(match.word(), w) << "round " << round << " match " << i;
                ASSERT_EQ(Spans(match.spans().begin(), match.spans().end()), spans) << "round " << round << " word " << w;
                ++i;
            }
        }
        ASSERT_FALSE(match.Next()) << "round " << round << " chain " << c;
        ASSERT_EQ(i, reports[c].size()) << "round " << round << " chain " << c;
    }
}

void CountAndCompare(const std::string& text, const std::vector<std::vector<std::string>>& chains, int round) {
    std::vector<std::vector<std::int64_t>> counts(chains.size());
    std::vector<MatchReport> reports(chains.size());
    std::vector<WordChain> engineChains;
    for (std::size_t c = 0; c < chains.size(); ++c) {
        counts[c].assign(chains[c].size(), -1);
        engineChains.push_back({chains[c], counts[c].data(), &reports[c]});
    }
    CountByDeletion(text, engineChains);
    ExpectReportsAsReference(text, chains, reports, counts, round);
}

// Words nested in one another over small alphabets (joins everywhere), some
// ending in a lead byte (the exact path), with one or two chains.
TEST(EngineReports, AgreeWithTheReferenceOnNestedWords) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 6000; ++round) {
        std::vector<std::vector<std::string>> chains;
        for (int c = 1 + static_cast<int>(rng() % 2); c > 0; --c)
            chains.push_back(testing::RandomWordList(rng, 1 + rng() % 10));
        std::vector<std::string> all;
        for (const auto& chain : chains) all.insert(all.end(), chain.begin(), chain.end());
        CountAndCompare(testing::NestingText(rng, all, rng() % 30), chains, round);
    }
}

// Texts of several scan blocks; and texts with more occurrences than the
// engine keeps, which take the word-by-word path from the start.
TEST(EngineReports, AgreeOnLongTextsAndOnTheWordByWordPath) {
    std::mt19937 rng(77);
    for (int round = 0; round < 6; ++round) {
        const std::vector<std::string> words = testing::RandomWordList(rng, 6 + rng() % 12);
        std::string text;
        while (text.size() < 20000) text += testing::NestingText(rng, words, 15);
        CountAndCompare(text, {words}, round);
    }
    std::string dense;
    for (int i = 0; i < 20000; ++i) dense += i % 7 == 0 ? "ab" : i % 11 == 0 ? "\x82\x82" : "a";
    CountAndCompare(dense, {{"b", "aa", "a"}, {"\x82", "b", "aa", "a"}}, -1);
}

// Chains compiled once and counted over several texts report each text alone.
TEST(EngineReports, CompiledChainsReportEachText) {
    std::mt19937 rng(5150);
    for (int round = 0; round < 300; ++round) {
        const std::vector<std::vector<std::string>> chains = {testing::RandomWordList(rng, 1 + rng() % 8),
                                                              testing::RandomWordList(rng, 1 + rng() % 4)};
        const std::span<const std::string> spans[] = {chains[0], chains[1]};
        const CompiledChains compiled(spans, testing::NestingText(rng, chains[0], 10));
        for (int t = 0; t < 3; ++t) {
            const std::string text = testing::NestingText(rng, chains[t % 2], rng() % 25);
            std::vector<std::vector<std::int64_t>> counts = {std::vector<std::int64_t>(chains[0].size()),
                                                             std::vector<std::int64_t>(chains[1].size())};
            std::vector<MatchReport> reports(2);
            std::int64_t* const countsOut[] = {counts[0].data(), counts[1].data()};
            MatchReport* const reportsOut[] = {&reports[0], &reports[1]};
            compiled.Count(text, countsOut, reportsOut);
            ExpectReportsAsReference(text, chains, reports, counts, round);
        }
    }
}

// A whole search-all: members and manual words, in text order, with members
// and slots named, against the reference's.
TEST(SearchAllOccurrences, AgreeWithTheReference) {
    std::mt19937 rng(2112);
    for (int round = 0; round < 400; ++round) {
        const std::vector<std::string> words = testing::RandomWordList(rng, 12);
        Keywords table{};
        for (int e = 0; e < kKeywordEntries; ++e)
            if (rng() % 8 == 0) table[e] = words[rng() % words.size()];
        CountingState state;
        for (std::string& w : state.manualWords)
            if (rng() % 2) w = words[rng() % words.size()];
        state.text = testing::NestingText(rng, words, rng() % 40);
        OccurrenceList got;
        SearchDetail detail;
        detail.occurrences = &got;
        SearchAll(state, table, &detail);
        ASSERT_EQ(got, reference::SearchAllOccurrences(state.text, table, state.manualWords)) << round;
        std::int64_t members = 0;
        for (std::int32_t n : state.current) members += n;
        ASSERT_EQ(std::count_if(got.begin(), got.end(), [](const Occurrence& o) { return !o.manual; }), members);
    }
}

}  // namespace
}  // namespace quenbol
