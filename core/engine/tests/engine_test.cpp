// The counting engine: its building blocks against plain loops, a few cases
// picked by hand, and a seeded differential check against the reference
// counter on inputs made to provoke matches that form across deletions.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/boundary_map.h"
#include "core/engine/count_engine.h"
#include "core/counting.h"
#include "core/engine/deletion_plan.h"
#include "core/engine/keyword_scanner.h"
#include "core/engine/occurrence_store.h"
#include "core/text/cp932.h"
#include "testing/reference_counter.h"

namespace quenbol {
namespace {

// ---- Building blocks ----

// Bytes drawn mostly from the lead range, so long lead runs cross the 64-byte
// steps of the boundary map.
std::string LeadHeavyBytes(std::mt19937& rng, std::size_t size) {
    static const unsigned char kBytes[] = {0x81, 0x82, 0x9f, 0xe0, 0xfc,
                                           0x40, 0xa0, 'a',  0x00, 0xfd};
    std::uniform_int_distribution<int> pick(0, 99);
    std::string s(size, '\0');
    for (char& c : s) {
        const int r = pick(rng);
        c = static_cast<char>(r < 80 ? kBytes[r % 5] : r < 95 ? kBytes[5 + r % 4] : r);
    }
    return s;
}

TEST(BoundaryMap, AgreesWithTheWalkFromTheTextStart) {
    std::mt19937 rng(77);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t size = round < 300 ? round : rng() % 700;
        const std::string text = LeadHeavyBytes(rng, size);
        const BitArray map = BuildBoundaryMap(text);
        std::vector<bool> walk(size, false);
        for (std::size_t pos = 0; pos < size;) {
            walk[pos] = true;
            pos += IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < size ? 2 : 1;
        }
        for (std::size_t i = 0; i < size; ++i) {
            ASSERT_EQ(map.Test(i), walk[i]) << "round " << round << " byte " << i;
        }
    }
}

TEST(BitArray, RangeOperationsAgreeWithABoolPerBit) {
    std::mt19937 rng(5);
    for (int round = 0; round < 500; ++round) {
        const std::size_t size = 1 + rng() % 300;
        BitArray bits(size, true);
        std::vector<bool> plain(size, true);
        for (int op = 0; op < 40; ++op) {
            std::size_t a = rng() % size, b = rng() % size;
            if (a > b) std::swap(a, b);
            std::size_t count = 0;
            for (std::size_t i = a; i <= b; ++i) count += plain[i];
            ASSERT_EQ(bits.CountSet(a, b), count);
            ASSERT_EQ(bits.AllSet(a, b), count == b - a + 1);
            std::size_t next = a;
            while (next < size && !plain[next]) ++next;
            ASSERT_EQ(bits.NextSet(a), next);
            next = a;
            while (next < size && plain[next]) ++next;
            ASSERT_EQ(bits.NextClear(a), next);
            std::size_t prev = b;
            while (prev != BitArray::npos && !plain[prev])
                prev = prev == 0 ? BitArray::npos : prev - 1;
            ASSERT_EQ(bits.PrevSet(b), prev);
            if (rng() % 3 == 0) {
                b = std::min(size - 1, a + rng() % 5);  // mostly short deletions
            }
            bits.ClearRange(a, b);
            for (std::size_t i = a; i <= b; ++i) plain[i] = false;
        }
        // The 64-bit words others read hold the same bits, bit i of the array
        // being bit i % 64 of word i / 64 (a 32-bit build works in halves).
        for (std::size_t i = 0; i < size; ++i) {
            ASSERT_EQ((bits.words()[i / 64] >> (i % 64)) & 1, plain[i] ? 1u : 0u) << "bit " << i;
        }
    }
}

TEST(Occurrences, ReadBackAsAddedOverPagesAndLongDistances) {
    // Keyword 0: a dense run over many pages; 1: none; 2: distances around
    // the two-byte limit and up to the largest start, added interleaved.
    std::vector<std::vector<std::uint32_t>> added(3);
    for (std::uint32_t i = 0; i < 40'000; ++i) added[0].push_back(i * 3);
    for (std::uint32_t start : {0u, 65'534u, 131'069u, 196'605u, 196'606u, 2'000'000'000u,
                                4'294'967'294u, 4'294'967'295u}) {
        added[2].push_back(start);
    }
    Occurrences store;
    store.Reset(3);
    for (std::size_t i = 0; i < added[0].size(); ++i) {
        store.Add(0, added[0][i]);
        if (i % 5000 == 0 && i / 5000 < added[2].size()) store.Add(2, added[2][i / 5000]);
    }
    for (std::size_t k = 0; k < 3; ++k) {
        std::vector<std::uint32_t> read;
        for (Occurrences::Reader r = store.Of(k); !r.done(); r.Next()) read.push_back(r.value());
        EXPECT_EQ(read, added[k]) << "keyword " << k;
    }
}

TEST(IsWholeCharacters, OnlyAWordEndingInALeadByteFails) {
    EXPECT_TRUE(IsWholeCharacters("a"));
    EXPECT_TRUE(IsWholeCharacters("\x82\xa0"));
    EXPECT_TRUE(IsWholeCharacters("\xa0\x82\xa0"));  // begins with a would-be second byte
    EXPECT_TRUE(IsWholeCharacters("\x81\x81"));
    EXPECT_FALSE(IsWholeCharacters("\x82"));
    EXPECT_FALSE(IsWholeCharacters("a\x82\xa0\x82"));
    EXPECT_FALSE(IsWholeCharacters("\x81\x81\x81"));
}

// ---- Hand-picked cases ----

std::vector<std::int64_t> Counts(std::string_view text, const std::vector<std::string>& words) {
    std::vector<std::int64_t> counts(words.size(), -1);
    const WordChain chain{words, counts.data()};
    CountByDeletion(text, {&chain, 1});
    return counts;
}

TEST(CountByDeletion, MatchesFormedByEarlierDeletionsAreFound) {
    // "xy" forms twice where "M" is cut out; the second "xy" sees the join the
    // first one made (xxyy), the first does not.
    EXPECT_EQ(Counts("xMy-xxyy", {"M", "xy", "xy"}), (std::vector<std::int64_t>{1, 2, 1}));
    // A join made of several deletions, and a word reaching across two joins.
    EXPECT_EQ(Counts("aQbQQcQd", {"Q", "abcd"}), (std::vector<std::int64_t>{4, 1}));
    // Double-byte: カ (83 4A) + あ (82 A0) deleted from between two halves of a name.
    EXPECT_EQ(Counts("\x88\x9f\x83\x4a\x82\xa0\x88\xa0", {"\x83\x4a\x82\xa0", "\x88\x9f\x88\xa0"}),
              (std::vector<std::int64_t>{1, 1}));
}

TEST(CountByDeletion, JoinsDoNotCreateMatchesOffACharacterStart) {
    // After "Z" goes, the text reads 82 41 82 42; "\x41\x82\x42" would start on
    // a second byte, so it never matches, joined or not.
    EXPECT_EQ(Counts("\x82\x41Z\x82\x42", {"Z", "\x41\x82\x42", "\x82\x41\x82\x42"}),
              (std::vector<std::int64_t>{1, 0, 1}));
}

TEST(CountByDeletion, WordsEndingInALeadByteTakeTheExactPath) {
    // Deleting "a\x82" moves the character starts after it: "\x82b" loses its
    // lead byte's partner, and the "b" after the first match starts a character.
    const std::string text =
        "a\x82"
        "bc\x82"
        "bc";
    const std::vector<std::string> words = {"a\x82", "bc",
                                            "\x82"
                                            "b",
                                            ""};
    std::string want = text;
    std::vector<std::int64_t> expected;
    for (const std::string& w : words) expected.push_back(reference::RemoveAll(want, w));
    EXPECT_EQ(Counts(text, words), expected);

    std::string inPlace = text;
    std::vector<std::int64_t> counts(words.size());
    CountAndDeleteInPlace(inPlace, {words, counts.data()});
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(inPlace, want);
}

TEST(CountByDeletion, ChainsKeepTheirOwnCopies) {
    const std::vector<std::string> members = {"ab", "b"}, manual = {"b", std::string("\0", 1), ""};
    std::vector<std::int64_t> m(2), n(3);
    const WordChain chains[] = {{members, m.data()}, {manual, n.data()}};
    CountByDeletion("abab-b", chains);
    EXPECT_EQ(m, (std::vector<std::int64_t>{2, 1}));
    EXPECT_EQ(n, (std::vector<std::int64_t>{3, 0, 0}));
}

TEST(CountByDeletion, ManyOccurrencesFallBackToTheExactWordByWordPath) {
    // More occurrences than the engine keeps (about one per 5 bytes of text,
    // fewer beside a working copy): the word-by-word path must give the same
    // answer, from the start or after a word ending in a lead byte.
    std::string text;
    for (int i = 0; i < 40000; ++i) text += i % 7 == 0 ? "ab" : i % 11 == 0 ? "\x82\x82" : "a";
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"b", "aa", "a"},
          std::vector<std::string>{"\x82", "b", "aa", "a"}}) {
        std::string work = text;
        std::vector<std::int64_t> expected;
        for (const std::string& w : words) expected.push_back(RemoveAll(work, w));
        EXPECT_EQ(Counts(text, words), expected);
        std::string inPlace = text;
        std::vector<std::int64_t> counts(words.size());
        CountAndDeleteInPlace(inPlace, {words, counts.data()});
        EXPECT_EQ(counts, expected);
        EXPECT_EQ(inPlace, work);
    }
}

// ---- Differential check ----

// Short pieces that make boundary trouble: double-byte characters, lead bytes
// as second bytes, lone lead bytes, ASCII that is also a second byte, NUL.
const std::vector<std::string> kAtoms = {
    "\x82\xa0", "\x82\xa2", "\x83\x4a", "\x81\x81", "\x81",     "\xe0\xe0", "J",
    "\\",       "a",        "b",        "\xb1",     "\x83\x5c", "\x9f\x40", std::string("\0", 1),
};

std::string Atoms(std::mt19937& rng, std::size_t count) {
    std::string s;
    for (; count > 0; --count) s += kAtoms[rng() % kAtoms.size()];
    return s;
}

// Words for one chain: runs of atoms, and prefixes, suffixes, halves and
// repeats of words already drawn; now and then empty, NUL-bearing or ending
// in a lead byte.
std::vector<std::string> RandomWords(std::mt19937& rng, std::size_t count) {
    std::vector<std::string> words;
    while (words.size() < count) {
        const int kind = static_cast<int>(rng() % 12);
        std::string w;
        if (kind < 4 || words.empty()) {
            w = Atoms(rng, 1 + rng() % 3);
        } else {
            const std::string& other = words[rng() % words.size()];
            const std::size_t cut = other.empty() ? 0 : rng() % (other.size() + 1);
            switch (kind) {
                case 4:
                    w = other.substr(0, cut);
                    break;
                case 5:
                    w = other.substr(cut);
                    break;
                case 6:
                    w = other.substr(0, other.size() / 2);
                    break;
                case 7:
                    w = other;
                    break;
                case 8:
                    w = other + Atoms(rng, 1);
                    break;
                case 9:
                    w = Atoms(rng, 1) + other.substr(cut);
                    break;
                case 10:
                    w = rng() % 2 ? "" : other + words[rng() % words.size()];
                    break;
                default:
                    w = Atoms(rng, 1) + "\x82";
                    break;
            }
        }
        words.push_back(w);
    }
    return words;
}

// A text that holds the words, many of them cut in two by other words, so
// that deleting the inner word joins the outer one.
std::string NestedText(std::mt19937& rng, const std::vector<std::string>& words,
                       std::size_t inserts) {
    std::string text = Atoms(rng, rng() % 8);
    for (; inserts > 0; --inserts) {
        const std::string& w = words[rng() % words.size()];
        const std::size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
        text.insert(at, rng() % 4 == 0 ? Atoms(rng, 1 + rng() % 2) : w);
    }
    return text;
}

void ExpectSameAsReference(const std::string& text,
                           const std::vector<std::vector<std::string>>& chains, int round) {
    std::vector<std::vector<std::int64_t>> got(chains.size());
    std::vector<WordChain> engineChains;
    for (std::size_t c = 0; c < chains.size(); ++c) {
        got[c].assign(chains[c].size(), -1);
        engineChains.push_back({chains[c], got[c].data()});
    }
    CountByDeletion(text, engineChains);
    for (std::size_t c = 0; c < chains.size(); ++c) {
        std::string work = text;
        for (std::size_t w = 0; w < chains[c].size(); ++w) {
            const std::int64_t want = reference::RemoveAll(work, chains[c][w]);
            ASSERT_EQ(got[c][w], want) << "round " << round << " chain " << c << " word " << w;
        }
        // The in-place form must also leave the same text behind.
        std::string inPlace = text;
        std::vector<std::int64_t> counts(chains[c].size());
        CountAndDeleteInPlace(inPlace, {chains[c], counts.data()});
        ASSERT_EQ(counts, got[c]) << "round " << round << " chain " << c;
        ASSERT_EQ(inPlace, work) << "round " << round << " chain " << c;
    }
}

TEST(EngineDifferential, NestedWordsSmallAlphabet) {
    std::mt19937 rng(20260101);
    for (int round = 0; round < 6000; ++round) {
        std::vector<std::vector<std::string>> chains;
        const int chainCount = 1 + static_cast<int>(rng() % 2);
        for (int c = 0; c < chainCount; ++c) chains.push_back(RandomWords(rng, 1 + rng() % 10));
        std::vector<std::string> all;
        for (const auto& chain : chains) all.insert(all.end(), chain.begin(), chain.end());
        const std::string text = NestedText(rng, all, rng() % 25);
        ExpectSameAsReference(text, chains, round);
    }
}

TEST(EngineDifferential, LongerTextsWithLongLeadRuns) {
    std::mt19937 rng(99);
    for (int round = 0; round < 400; ++round) {
        std::vector<std::vector<std::string>> chains{RandomWords(rng, 4 + rng() % 30),
                                                     RandomWords(rng, rng() % 7)};
        std::string text = NestedText(rng, chains[0], 50 + rng() % 200);
        // Splice in runs of lead-range bytes, which shift every character start after them.
        for (int i = 0; i < 3; ++i) {
            text.insert(rng() % (text.size() + 1), LeadHeavyBytes(rng, rng() % 150));
        }
        ExpectSameAsReference(text, chains, round);
    }
}

TEST(EngineDifferential, RandomBytesAndWordsCutFromThem) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = LeadHeavyBytes(rng, rng() % 200);
        std::vector<std::string> words;
        for (std::size_t n = 1 + rng() % 8; n > 0; --n) {
            if (text.empty() || rng() % 5 == 0) {
                words.push_back(Atoms(rng, 1));
            } else {
                words.push_back(text.substr(rng() % text.size(), 1 + rng() % 6));
            }
        }
        ExpectSameAsReference(text, {words}, round);
    }
}

// Chains compiled once, with a sample that is none of the texts (or no
// sample), count each of many texts as a fresh count would, also when most
// counts work in one scratch kept over all texts and all chains.
TEST(EngineDifferential, CompiledOnceOverManyTexts) {
    std::mt19937 rng(6060);
    CountScratch scratch;
    for (int round = 0; round < 300; ++round) {
        const std::vector<std::vector<std::string>> chains{RandomWords(rng, 1 + rng() % 12),
                                                           RandomWords(rng, rng() % 6)};
        std::vector<std::string> all = chains[0];
        all.insert(all.end(), chains[1].begin(), chains[1].end());
        const std::string sample = round % 3 == 0 ? "" : NestedText(rng, all, rng() % 30);
        const std::span<const std::string> words[] = {chains[0], chains[1]};
        const CompiledChains compiled(words, sample);
        for (int t = 0; t < 10; ++t) {
            const std::string text = NestedText(rng, all, rng() % 25);
            std::vector<std::int64_t> got[2] = {std::vector<std::int64_t>(chains[0].size(), -1),
                                                std::vector<std::int64_t>(chains[1].size(), -1)};
            std::int64_t* const counts[] = {got[0].data(), got[1].data()};
            compiled.Count(text, counts, {}, t % 4 == 0 ? nullptr : &scratch);
            for (int c = 0; c < 2; ++c) {
                std::string work = text;
                for (std::size_t w = 0; w < chains[c].size(); ++w) {
                    ASSERT_EQ(got[c][w], reference::RemoveAll(work, chains[c][w]))
                        << "round " << round << " text " << t << " chain " << c << " word " << w;
                }
            }
        }
    }
}

// Texts of several scan blocks (16 KiB each), and the first two over the
// 1 MiB from which the scan takes two threads, checked against the one-word
// RemoveAll (itself checked against the reference, which is too slow here).
TEST(EngineDifferential, TextsLongerThanOneScanBlock) {
    std::mt19937 rng(31337);
    for (int round = 0; round < 12; ++round) {
        const std::vector<std::string> words = RandomWords(rng, 6 + rng() % 20);
        const std::size_t size = (round < 2 ? (1 << 20) : 40000) + rng() % 30000;
        std::string text;
        while (text.size() < size) {
            text += NestedText(rng, words, 20);
            if (rng() % 4 == 0) text += LeadHeavyBytes(rng, rng() % 300);
        }
        std::vector<std::int64_t> got(words.size(), -1);
        const WordChain chain{words, got.data()};
        CountByDeletion(text, {&chain, 1});
        std::string work = text;
        for (std::size_t w = 0; w < words.size(); ++w) {
            ASSERT_EQ(got[w], RemoveAll(work, words[w])) << "round " << round << " word " << w;
        }
    }
}

// A scratch kept after large texts (the window's) counts each text, large
// or small, as a fresh count does: nothing of the text before is left in it
// (the second half's occurrences of a text scanned in halves, under a
// shorter text scanned whole, say), nor of readying it for another size.
TEST(EngineDifferential, ScratchKeptAfterLargeTextsCountsAfresh) {
    std::mt19937 rng(777);
    const std::vector<std::string> words = RandomWords(rng, 12);
    const std::span<const std::string> chains[] = {words};
    const CompiledChains compiled(chains);
    CountScratch scratch;
    scratch.SetKeepsLargeTexts(true);
    const std::size_t sizes[] = {(1u << 20) + 5000, 900000, 3000, (1u << 20) + 90000, 0, (1u << 20) + 100};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        std::string text;
        while (text.size() < sizes[i]) text += NestedText(rng, words, 20);
        std::vector<std::int64_t> kept(words.size(), -1), fresh(words.size(), -2);
        std::int64_t* const keptOut[] = {kept.data()};
        std::int64_t* const freshOut[] = {fresh.data()};
        scratch.Prepare(sizes[(i + 1) % std::size(sizes)]);  // readied for the next text's size
        compiled.Count(text, keptOut, {}, &scratch);
        compiled.Count(text, freshOut);
        EXPECT_EQ(kept, fresh) << "text of " << text.size() << " bytes";
    }
}

TEST(BoundaryMap, BuiltInStepsEqualsBuiltAtOnce) {
    std::mt19937 rng(8);
    for (int round = 0; round < 200; ++round) {
        const std::string text = LeadHeavyBytes(rng, rng() % 3000);
        const BitArray whole = BuildBoundaryMap(text);
        BoundaryMapBuilder builder(text);
        for (std::size_t end = 0; end < text.size(); end += 1 + rng() % 200) builder.BuildUpTo(end);
        builder.BuildUpTo(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            ASSERT_EQ(builder.map().Test(i), whole.Test(i)) << "round " << round << " byte " << i;
        }
    }
}

// The kept thread runs part after part, each done when the call returns; an
// exception from either part reaches the caller (the first's when both
// throw), and the thread serves on after one.
TEST(SideThread, RunsPartAfterPartAndPassesOnWhatTheyThrow) {
    SideThread side;
    for (int round = 0; round < 200; ++round) {
        int first = -1, second = -1;
        side.RunSideBySide([&] { first = round; }, [&] { second = round; });
        ASSERT_EQ(first, round);
        ASSERT_EQ(second, round);
    }
    EXPECT_THROW(side.RunSideBySide([] {}, [] { throw std::runtime_error("second"); }), std::runtime_error);
    EXPECT_THROW(side.RunSideBySide([] { throw std::logic_error("first"); },
                                    [] { throw std::runtime_error("second"); }),
                 std::logic_error);
    int after = 0;
    side.RunSideBySide([] {}, [&] { after = 1; });
    EXPECT_EQ(after, 1);
}

// A scan in two halves at once (texts of four blocks or more) finds what a
// plain walk finds: every occurrence on a character start, those that cross
// the halves' meeting point and those just after a lead-range run there
// included; the boundary map comes out whole, and the hit limit holds for
// both halves together.
TEST(KeywordScanner, TwoHalvesFindWhatAWalkFinds) {
    std::mt19937 rng(2024);
    SideThread side;  // kept over all rounds, as a window's count keeps it
    for (int round = 0; round < 24; ++round) {
        std::vector<std::string> words;
        for (const std::string& w : RandomWords(rng, 4 + rng() % 16)) {
            if (!w.empty() && w.find('\0') == std::string::npos) words.push_back(w);
        }
        words.push_back("\x83\x73\x83\x7c\x83\x89\x82\xcc");  // a long word, found through a later piece
        const std::size_t size = 4 * 16384 + rng() % 60000;
        std::string text;
        while (text.size() < size) text += NestedText(rng, words, 40);
        text.resize(size);
        // Where the halves meet: a word across it, or a lead run up to it.
        const std::size_t half = size / 2 / 16384 * 16384;
        const std::string& across = words[rng() % words.size()];
        const std::string cut = round % 2 ? across : LeadHeavyBytes(rng, 1 + rng() % 200);
        text.replace(half - std::min(half, rng() % (cut.size() + 1)), cut.size(), cut);
        text.resize(size);

        std::vector<std::string_view> keywords(words.begin(), words.end());
        const KeywordScanner scanner(keywords, text);
        BoundaryMapBuilder builder(text);
        Occurrences found;
        ASSERT_TRUE(scanner.Scan(text, builder, text.size() * 8, found, &side));
        std::vector<bool> walk(size, false);
        for (std::size_t pos = 0; pos < size;) {
            walk[pos] = true;
            pos += IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < size ? 2 : 1;
        }
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(builder.map().Test(i), walk[i]) << round << " byte " << i;
        std::size_t total = 0;
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            std::vector<std::uint32_t> expected, got;
            for (std::size_t i = 0; i < size; ++i) {
                if (walk[i] && std::string_view(text).substr(i).starts_with(keywords[k])) expected.push_back(i);
            }
            for (Occurrences::Reader r = found.Of(k); !r.done(); r.Next()) got.push_back(r.value());
            ASSERT_EQ(got, expected) << "round " << round << " keyword " << k;
            ASSERT_EQ(found.CountOf(k), expected.size());
            total += expected.size();
        }
        BoundaryMapBuilder again(text);
        EXPECT_TRUE(scanner.Scan(text, again, total, found, &side)) << round;
        BoundaryMapBuilder short1(text);
        EXPECT_FALSE(scanner.Scan(text, short1, total - 1, found, &side)) << round;
    }
}

// Deletions played out in two stretches at once, split next to a byte no
// word holds, leave what one run leaves: the same counts and the same bytes.
// The words here hold every byte value but a few separators, which the texts
// hold sparsely, so the split falls among nested words and joins; some texts
// have no separator past the middle, and some words hold one of them. The
// two-stretch runs work in one memory kept over all rounds.
TEST(DeletionPlan, TwoStretchesAtOnceLeaveWhatOneRunLeaves) {
    std::mt19937 rng(64);
    SideThread side;
    DeletionMemory memory;
    const std::string separators = "\n\r~";
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> words;
        for (const std::string& w : RandomWords(rng, 4 + rng() % 16)) {
            if (!w.empty() && w.find('\0') == std::string::npos && IsWholeCharacters(w)) words.push_back(w);
        }
        if (round % 5 == 0) words.push_back("x" + separators.substr(rng() % 3, 1));
        if (words.empty()) continue;
        // Every tenth text is scanned in two halves, whose second store the
        // second stretch reads from.
        const bool twoHalves = round % 10 == 0;
        const std::size_t size = twoHalves ? 70000 + rng() % 60000 : 200 + rng() % 6000;
        std::string text;
        while (text.size() < size) {
            text += NestedText(rng, words, 8);
            if (round % 7 != 0 || text.size() < size / 2) text += separators[rng() % 3];
        }
        // A separator where the split looks first, or a little later.
        const std::size_t at = (text.size() / 2 | 63) + 64 * (rng() % 3);
        if (round % 7 != 0 && at + 1 < text.size()) text[at] = separators[rng() % 3];
        std::vector<std::string_view> keywords(words.begin(), words.end());
        std::vector<SimulatedWord> simulated;
        for (std::uint32_t k = 0; k < keywords.size(); ++k) simulated.push_back({keywords[k], k});
        const DeletionPlan plan(simulated);
        const KeywordScanner scanner(keywords, text);
        BoundaryMapBuilder builder(text);
        Occurrences found;
        ASSERT_TRUE(scanner.Scan(text, builder, text.size() * 8, found, twoHalves ? &side : nullptr));
        builder.BuildUpTo(text.size());

        BitArray oneRun(text.size(), true), twoStretches(text.size(), true);
        std::vector<std::int64_t> expected(words.size()), got(words.size());
        plan.Run(text, builder.map(), found, oneRun, expected.data());
        plan.Run(text, builder.map(), found, twoStretches, got.data(), nullptr, &side, &memory);
        ASSERT_EQ(got, expected) << "round " << round;
        for (std::size_t i = 0; i < text.size(); ++i) ASSERT_EQ(twoStretches.Test(i), oneRun.Test(i)) << round << " byte " << i;
    }
}

}  // namespace
}  // namespace quenbol
