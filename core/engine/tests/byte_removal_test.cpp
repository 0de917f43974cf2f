// A one-byte word played out on the bits of the bytes still there, and the
// copy of those bytes, against RemoveAll on a real copy: random kept bits
// over texts of many 64-byte blocks, some blocks whole, heavy in lead-range
// bytes so that the removals keep moving the character starts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/engine/kept_bytes.h"
#include "core/engine/remove_all.h"
#include "core/engine/tests/random_inputs.h"

namespace quenbol {
namespace {

TEST(RemoveByteOfKept, AgreesWithRemoveAllOnTheCopy) {
    std::mt19937 rng(1209);
    const unsigned char bytes[] = {0x82, 0x81, 0x9f, 0xe0, 0xfc, 0xa0, 'a'};
    for (int round = 0; round < 3000; ++round) {
        std::string text = testing::RandomAtoms(rng, rng() % 300);
        for (char& c : text) {
            if (rng() % 3 == 0) c = static_cast<char>(bytes[rng() % 4]);  // long lead runs
        }
        BitArray kept(text.size(), true);
        for (int gaps = static_cast<int>(rng() % 4); gaps > 0 && !text.empty(); --gaps) {
            const std::size_t at = rng() % text.size();
            kept.ClearRange(at, std::min(text.size() - 1, at + rng() % 5));
        }
        std::string copy(text.size() + 1, '\0');
        copy.resize(KeepBytes(text, kept, copy.data()));
        const unsigned char byte = bytes[rng() % std::size(bytes)];
        std::vector<std::uint32_t> starts;
        const std::int64_t want = RemoveAll(copy, std::string(1, static_cast<char>(byte)), starts);

        MatchReport report;
        BitArray before = kept;
        ASSERT_EQ(RemoveByteOfKept(text, kept, byte, &report, 3), want) << round;
        std::string left(text.size() + 1, '\0');
        left.resize(KeepBytes(text, kept, left.data()));
        ASSERT_EQ(left, copy) << round;
        // Each occurrence in the original text: the k-th kept byte of the
        // copy the call began on, with k from RemoveAll's starts.
        ASSERT_EQ(report.size(), starts.size());
        MatchReport::Reader match = report.Read();
        for (std::size_t i = 0; i < starts.size(); ++i) {
            std::size_t p = before.NextSet(0);
            for (std::uint32_t k = 0; k < starts[i]; ++k) p = before.NextSet(p + 1);
            ASSERT_TRUE(match.Next());
            ASSERT_EQ(match.word(), 3u);
            ASSERT_EQ(match.spans().size(), 1u);
            ASSERT_EQ(match.spans()[0], (TextSpan{static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(p + 1)}))
                << round;
        }
    }
}

}  // namespace
}  // namespace quenbol
