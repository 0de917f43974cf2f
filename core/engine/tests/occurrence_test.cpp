// Where counted occurrences were: the reference counter's tracked form on
// cases worked out by hand, and the engine's reports against it on
// generated inputs.
#include <gtest/gtest.h>

#include <numeric>

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

// The one-word RemoveAll with origins, on working copies that earlier
// deletions had already closed up, against the reference.
TEST(RemoveAllWithOrigins, AgreesWithTheReference) {
    std::mt19937 rng(1207);
    for (int round = 0; round < 4000; ++round) {
        const std::vector<std::string> words = testing::RandomWordList(rng, 1 + rng() % 8);
        const std::string original = testing::NestingText(rng, words, rng() % 20);
        reference::TrackedText want(original);
        std::string text = original;
        std::vector<std::size_t> origin(text.size());
        std::iota(origin.begin(), origin.end(), std::size_t{0});
        for (std::uint32_t w = 0; w < words.size(); ++w) {
            MatchReport report;
            const std::int64_t n = RemoveAll(text, origin, words[w], w, report);
            const std::vector<Spans> expected = reference::RemoveAllTracked(want, words[w]);
            ASSERT_EQ(n, static_cast<std::int64_t>(expected.size())) << round;
            ASSERT_EQ(report.size(), expected.size()) << round;
            for (std::size_t i = 0; i < report.size(); ++i) {
                ASSERT_EQ(report.WordOf(i), w);
                const auto spans = report.SpansOf(i);
                ASSERT_EQ(Spans(spans.begin(), spans.end()), expected[i]) << "round " << round << " word " << w;
            }
        }
        ASSERT_EQ(text, want.bytes) << round;
        ASSERT_EQ(origin, want.origin) << round;
    }
}

}  // namespace
}  // namespace quenbol
