// The engine: the compiled chains, the shared scan with simulated deletions,
// and the exact path for words that do not end on a character boundary.
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
#include "core/engine/deletion_simulator.h"
#include "core/engine/keyword_scanner.h"
#include "core/engine/remove_all.h"

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

// Occurrences the engine keeps at most, without and with a working copy.
std::size_t HitBudget(std::size_t textSize) { return textSize / 5 + 4096; }
std::size_t HitBudgetBesideCopy(std::size_t textSize) { return textSize / 12 + 4096; }

// Words [first, end) of a chain, none of them on the exact path, and the
// simulation of those that can match.
struct Segment {
    std::size_t first = 0;
    std::size_t end = 0;
    std::vector<std::size_t> simulatedWord;  // chain word index of each simulated word
    DeletionPlan deletions;
};

// Segments that share one scan of a text, and the distinct keywords it finds.
struct ScanGroup {
    std::vector<std::string_view> keywords;
    std::unique_ptr<KeywordScanner> scanner;  // none when there are no keywords
    std::vector<Segment> segments;
};

// Words [first, end) of a chain, to be compiled into a segment.
struct SegmentWords {
    std::span<const std::string> words;
    std::size_t first;
    std::size_t end;
};

// Compiles segments into one scan group. The words must outlive the group.
std::unique_ptr<ScanGroup> CompileGroup(std::span<const SegmentWords> segments,
                                        std::string_view sample) {
    auto group = std::make_unique<ScanGroup>();
    for (const SegmentWords& segment : segments) {
        std::vector<SimulatedWord> simulated;
        std::vector<std::size_t> wordOf;
        for (std::size_t w = segment.first; w < segment.end; ++w) {
            const std::string_view word = segment.words[w];
            if (MatchesNothing(word)) continue;
            auto it = std::find(group->keywords.begin(), group->keywords.end(), word);
            if (it == group->keywords.end()) it = group->keywords.insert(it, word);
            simulated.push_back({word, static_cast<std::uint32_t>(it - group->keywords.begin())});
            wordOf.push_back(w);
        }
        group->segments.push_back({segment.first, segment.end, std::move(wordOf),
                                   DeletionPlan(std::move(simulated))});
    }
    if (!group->keywords.empty()) {
        group->scanner = std::make_unique<KeywordScanner>(group->keywords, sample);
    }
    return group;
}

// Runs each segment of `group` on its own copy of `text` through one shared
// scan: counts[s] receives segment s's counts (indexed by chain word), and
// remaining[s], when not null, the bytes still there afterwards. Returns
// false, with nothing counted, when the occurrences exceed `maxHits`.
bool RunGroup(const ScanGroup& group, std::string_view text, std::size_t maxHits,
              std::span<std::int64_t* const> counts, std::span<BitArray* const> remaining) {
    BoundaryMapBuilder builder(text);
    Occurrences found;
    if (group.scanner && !group.scanner->Scan(text, builder, maxHits, found)) return false;
    builder.BuildUpTo(text.size());
    const BitArray& boundaries = builder.map();

    BitArray alive;
    std::vector<std::int64_t> simulatedCounts;
    for (std::size_t s = 0; s < group.segments.size(); ++s) {
        const Segment& segment = group.segments[s];
        alive.Assign(text.size(), true);
        simulatedCounts.assign(segment.simulatedWord.size(), 0);
        segment.deletions.Run(text, boundaries, found, alive, simulatedCounts.data());
        std::fill(counts[s] + segment.first, counts[s] + segment.end, 0);
        for (std::size_t k = 0; k < simulatedCounts.size(); ++k) {
            counts[s][segment.simulatedWord[k]] = simulatedCounts[k];
        }
        if (remaining[s]) *remaining[s] = std::move(alive);
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

// One step of a chain on its working copy: a word by RemoveAll (when `run`
// is empty), or a run of words by scan and simulation.
struct Step {
    std::size_t word = 0;
    std::unique_ptr<ScanGroup> run;
};

void RunSteps(std::string& work, std::span<const std::string> words,
              std::span<const Step> steps, std::int64_t* counts) {
    for (const Step& step : steps) {
        if (!step.run) {
            counts[step.word] = RemoveAll(work, words[step.word]);
            continue;
        }
        BitArray remaining;
        BitArray* const remainingOut[] = {&remaining};
        std::int64_t* const countsOut[] = {counts};
        if (RunGroup(*step.run, work, HitBudgetBesideCopy(work.size()), countsOut, remainingOut)) {
            KeepRemaining(work, remaining, work);
        } else {
            const Segment& segment = step.run->segments[0];
            for (std::size_t w = segment.first; w < segment.end; ++w) {
                counts[w] = RemoveAll(work, words[w]);
            }
        }
    }
}

}  // namespace

// Per chain: its words up to the first exact-path word run in the shared
// scan of the text (the heads group, segment c for chain c); from that word
// on, the steps on a working copy.
struct CompiledChains::Plan {
    std::vector<std::vector<std::string>> words;
    std::unique_ptr<ScanGroup> heads;
    std::vector<std::vector<Step>> tails;
};

CompiledChains::CompiledChains(std::span<const std::span<const std::string>> chains,
                               std::string_view sample) {
    auto plan = std::make_unique<Plan>();
    for (std::span<const std::string> chain : chains) plan->words.emplace_back(chain.begin(), chain.end());

    std::vector<SegmentWords> heads;
    for (const std::vector<std::string>& words : plan->words) {
        std::size_t cut = 0;
        while (cut < words.size() && !NeedsExactPath(words[cut])) ++cut;
        heads.push_back({words, 0, cut});

        std::vector<Step> tail;
        for (std::size_t i = cut; i < words.size();) {
            if (NeedsExactPath(words[i])) {
                tail.push_back({i, nullptr});
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < words.size() && !NeedsExactPath(words[end])) ++end;
            const SegmentWords run{words, i, end};
            tail.push_back({i, CompileGroup({&run, 1}, sample)});
            i = end;
        }
        plan->tails.push_back(std::move(tail));
    }
    plan->heads = CompileGroup(heads, sample);
    plan_ = std::move(plan);
}

CompiledChains::~CompiledChains() = default;

std::size_t CompiledChains::chainCount() const { return plan_->words.size(); }

void CompiledChains::Count(std::string_view text, std::span<std::int64_t* const> counts) const {
    const Plan& plan = *plan_;
    const std::size_t chains = plan.words.size();
    // The words of every chain up to its first exact-path word share one scan
    // of the original text.
    std::vector<BitArray> remaining(chains);
    std::vector<BitArray*> remainingOut(chains, nullptr);
    for (std::size_t c = 0; c < chains; ++c) {
        if (!plan.tails[c].empty()) remainingOut[c] = &remaining[c];
    }
    if (!RunGroup(*plan.heads, text, HitBudget(text.size()), counts, remainingOut)) {
        // Too many occurrences to keep: word by word on a copy, exact and frugal.
        for (std::size_t c = 0; c < chains; ++c) {
            std::string work(text);
            for (std::size_t w = 0; w < plan.words[c].size(); ++w) {
                counts[c][w] = RemoveAll(work, plan.words[c][w]);
            }
        }
        return;
    }
    for (std::size_t c = 0; c < chains; ++c) {
        if (plan.tails[c].empty()) continue;
        std::string work(text.size(), '\0');
        KeepRemaining(text, remaining[c], work);
        remaining[c] = BitArray();
        RunSteps(work, plan.words[c], plan.tails[c], counts[c]);
    }
}

void CountByDeletion(std::string_view text, std::span<const WordChain> chains) {
    std::vector<std::span<const std::string>> words;
    std::vector<std::int64_t*> counts;
    for (const WordChain& chain : chains) {
        words.push_back(chain.words);
        counts.push_back(chain.counts);
    }
    CompiledChains(words, text).Count(text, counts);
}

void CountAndDeleteInPlace(std::string& text, const WordChain& chain) {
    const CompiledChains compiled({&chain.words, 1}, text);
    const CompiledChains::Plan& plan = *compiled.plan_;
    // The head, then the steps after it, all on `text` itself.
    BitArray remaining;
    BitArray* const remainingOut[] = {&remaining};
    std::int64_t* const countsOut[] = {chain.counts};
    const Segment& head = plan.heads->segments[0];
    if (head.first == head.end) {
        // Begins with an exact-path word: nothing to scan for before it.
    } else if (RunGroup(*plan.heads, text, HitBudgetBesideCopy(text.size()), countsOut,
                        remainingOut)) {
        KeepRemaining(text, remaining, text);
    } else {
        for (std::size_t w = head.first; w < head.end; ++w) {
            chain.counts[w] = RemoveAll(text, plan.words[0][w]);
        }
    }
    RunSteps(text, plan.words[0], plan.tails[0], chain.counts);
}

}  // namespace quenbol
