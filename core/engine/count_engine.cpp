// The engine: shared scan, simulated deletions, and the exact slow path for
// words that do not end on a character boundary.
//
// Extra memory, kept under twice the text's size: a bit per byte for
// character starts, a bit per byte for the bytes still there, and the
// occurrences found, 4 bytes each (8 at worst while their lists grow), capped
// at one per 5 bytes of text; a text with more takes the word-by-word path,
// which needs only a copy of the text. A working copy is also what a chain
// with a word ending in a lead byte needs, and then the cap is one occurrence
// per 12 bytes.
#include "core/engine/count_engine.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/boundary_map.h"
#include "core/engine/remove_all.h"
#include "core/engine/deletion_simulator.h"
#include "core/engine/keyword_scanner.h"

namespace quenbol {
namespace {

// Matches nothing: empty, or holding a NUL (a character with no code page
// 932 form).
bool MatchesNothing(std::string_view word) {
    return word.empty() || word.find('\0') != std::string_view::npos;
}

// Deleting it could change which bytes start characters: it ends in a lead byte.
bool NeedsExactPath(std::string_view word) {
    return !MatchesNothing(word) && !IsWholeCharacters(word);
}

std::size_t FirstExactPathWord(std::span<const std::string> words) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (NeedsExactPath(words[i])) return i;
    }
    return words.size();
}

// Occurrences the engine keeps at most, without and with a working copy.
std::size_t HitBudget(std::size_t textSize) { return textSize / 5 + 4096; }
std::size_t HitBudgetBesideCopy(std::size_t textSize) { return textSize / 12 + 4096; }

// A run of words with no exact-path word among them, and where to leave the
// bytes still there when it is done (or nullptr).
struct Segment {
    std::span<const std::string> words;
    std::int64_t* counts;
    BitArray* remaining;
};

// Runs each segment on its own copy of `text` through one shared scan.
// Returns false, with nothing counted, when the occurrences exceed the budget.
bool RunSegments(std::string_view text, std::span<const Segment> segments, std::size_t maxHits) {
    std::vector<std::string_view> keywords;
    std::vector<std::vector<SimulatedWord>> simulated(segments.size());
    for (std::size_t s = 0; s < segments.size(); ++s) {
        for (std::size_t w = 0; w < segments[s].words.size(); ++w) {
            const std::string_view word = segments[s].words[w];
            if (MatchesNothing(word)) continue;
            auto it = std::find(keywords.begin(), keywords.end(), word);
            if (it == keywords.end()) it = keywords.insert(it, word);
            simulated[s].push_back({word, static_cast<std::uint32_t>(it - keywords.begin())});
        }
    }

    BoundaryMapBuilder builder(text);
    Occurrences found;
    if (!keywords.empty()) {
        const KeywordScanner scanner(keywords, text);
        if (!scanner.Scan(text, builder, maxHits, found)) return false;
    }
    builder.BuildUpTo(text.size());
    const BitArray& boundaries = builder.map();

    BitArray alive;
    std::vector<std::int64_t> counts;
    for (std::size_t s = 0; s < segments.size(); ++s) {
        alive.Assign(text.size(), true);
        counts.assign(simulated[s].size(), 0);
        SimulateDeletions(text, boundaries, found, simulated[s], alive, counts.data());
        // Spread the counts back over the segment's words, empty ones included.
        std::size_t next = 0;
        for (std::size_t w = 0; w < segments[s].words.size(); ++w) {
            segments[s].counts[w] = MatchesNothing(segments[s].words[w]) ? 0 : counts[next++];
        }
        if (segments[s].remaining) *segments[s].remaining = std::move(alive);
    }
    return true;
}

// The bytes of `text` whose bits are set, in order, written to `out` (which
// may be `text` itself).
void KeepRemaining(std::string_view text, const BitArray& remaining, std::string& out) {
    std::size_t write = 0;
    for (std::size_t run = remaining.NextSet(0); run < text.size();) {
        const std::size_t end = remaining.NextClear(run);
        // Moving left within one buffer: memmove, not memcpy.
        std::memmove(out.data() + write, text.data() + run, end - run);
        write += end - run;
        run = remaining.NextSet(end);
    }
    out.resize(write);
}

// Words [from, end) of a chain on `work` itself: exact-path words by
// RemoveAll, runs of other words through the engine.
void ContinueInPlace(std::string& work, std::span<const std::string> words, std::int64_t* counts) {
    std::size_t i = 0;
    while (i < words.size()) {
        if (NeedsExactPath(words[i])) {
            counts[i] = RemoveAll(work, words[i]);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < words.size() && !NeedsExactPath(words[end])) ++end;
        BitArray remaining;
        const Segment segment{words.subspan(i, end - i), counts + i, &remaining};
        if (RunSegments(work, {&segment, 1}, HitBudgetBesideCopy(work.size()))) {
            KeepRemaining(work, remaining, work);
        } else {
            for (std::size_t w = i; w < end; ++w) counts[w] = RemoveAll(work, words[w]);
        }
        i = end;
    }
}

}  // namespace

void CountByDeletion(std::string_view text, std::span<const WordChain> chains) {
    // The words of every chain up to its first exact-path word share one scan
    // of the original text.
    std::vector<Segment> heads;
    std::vector<BitArray> remaining(chains.size());
    for (std::size_t c = 0; c < chains.size(); ++c) {
        const std::size_t cut = FirstExactPathWord(chains[c].words);
        heads.push_back({chains[c].words.first(cut), chains[c].counts,
                         cut < chains[c].words.size() ? &remaining[c] : nullptr});
    }
    if (!RunSegments(text, heads, HitBudget(text.size()))) {
        // Too many occurrences to keep: word by word on a copy, exact and frugal.
        for (const WordChain& chain : chains) {
            std::string work(text);
            for (std::size_t w = 0; w < chain.words.size(); ++w) {
                chain.counts[w] = RemoveAll(work, chain.words[w]);
            }
        }
        return;
    }
    for (std::size_t c = 0; c < chains.size(); ++c) {
        if (!heads[c].remaining) continue;
        std::string work(text.size(), '\0');
        KeepRemaining(text, remaining[c], work);
        remaining[c] = BitArray();
        const std::size_t cut = heads[c].words.size();
        ContinueInPlace(work, chains[c].words.subspan(cut), chains[c].counts + cut);
    }
}

void CountAndDeleteInPlace(std::string& text, const WordChain& chain) {
    ContinueInPlace(text, chain.words, chain.counts);
}

}  // namespace quenbol
