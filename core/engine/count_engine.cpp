// The engine: the compiled chains, the shared scan with simulated deletions,
// and the exact path for words that do not end on a character boundary.
//
// Extra memory, kept under the text's size on the benchmark texts: a bit per
// byte for character starts, a bit per byte for the bytes still there, and
// the occurrences found, 2 bytes each (occurrence_store.h), capped at one per 5
// bytes of text; a text with more takes the word-by-word path, which needs
// only a copy of the text. A working copy is also what a chain with a word
// ending in a lead byte needs, and then the cap is one occurrence per 12
// bytes.
#include "core/engine/count_engine.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/boundary_map.h"
#include "core/engine/deletion_plan.h"
#include "core/engine/keyword_scanner.h"
#include "core/engine/origin_map.h"
#include "core/engine/kept_bytes.h"
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

}  // namespace

struct CountScratch::Parts {
    Occurrences found;
    BitArray alive;
    BitArray boundaries;  // the boundary map's memory, between counts
    DeletionMemory deletions;
    std::vector<std::int64_t> simulatedCounts;
};

CountScratch::CountScratch() : parts_(std::make_unique<Parts>()) {}
CountScratch::~CountScratch() = default;

namespace {

// A kept scratch's memory is let go after a text longer than this (unless it
// keeps large texts'): it grows with the text.
constexpr std::size_t kKeptScratchText = 1 << 20;

// A text longer than this is worth a second thread for its scan and for its
// deletions (starting one costs tens of microseconds, about a millisecond
// and a half under Wine, handing a kept one a part a fifth of that;
// scanning 1 MiB, about a millisecond).
constexpr std::size_t kTwoThreadText = 1 << 20;

bool OnTwoThreads(std::size_t textSize, CountThreads threads) {
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    return threads == CountThreads::UpToTwo && textSize > kTwoThreadText && twoCores;
}

}  // namespace

void CountScratch::Prepare(std::size_t textSize) {
    if (textSize <= kKeptScratchText || !keepsLargeTexts_) return;  // little to ready, or not kept
    // Whole MiBs: a text that grows key by key is readied again once per MiB.
    constexpr std::size_t kStep = std::size_t{1} << 20;
    const std::size_t bits = (textSize + kStep - 1) / kStep * kStep;
    if (OnTwoThreads(textSize, threads_)) side_.Start();
    // Assigned, not only reserved: memory is faulted in when first written.
    if (parts_->alive.capacity() < bits) parts_->alive.Assign(bits, true);
    if (parts_->boundaries.capacity() < bits) parts_->boundaries.Assign(bits, false);
}

namespace {

// Deletions take a second thread only with this many occurrences or more to
// play out: fewer take about as long as starting the thread under Wine (the
// manual words on a long text, say, or a long text that names few members).
constexpr std::size_t kTwoThreadOccurrences = 1 << 16;

// Runs each segment of `group` on its own copy of `text` through one shared
// scan: counts[s] receives segment s's counts (indexed by chain word), and
// remaining[s], when not null, the bytes still there afterwards. Returns
// false, with nothing counted, when the occurrences exceed `maxHits`. Works
// in `kept` when given, else in memory of its own.
bool RunGroup(const ScanGroup& group, std::string_view text, std::size_t maxHits,
              std::span<std::int64_t* const> counts, std::span<BitArray* const> remaining,
              std::span<MatchReport* const> reports = {}, CountScratch* kept = nullptr,
              CountThreads threads = CountThreads::UpToTwo) {
    CountScratch::Parts own;
    CountScratch::Parts& scratch = kept ? kept->parts() : own;
    struct LetGoIfLong {
        CountScratch::Parts& scratch;
        bool letGo;
        ~LetGoIfLong() {
            if (letGo) scratch = CountScratch::Parts();
        }
    } letGo{scratch, kept && !kept->keepsLargeTexts() && text.size() > kKeptScratchText};
    Occurrences& found = scratch.found;
    BitArray& alive = scratch.alive;
    std::vector<std::int64_t>& simulatedCounts = scratch.simulatedCounts;
    BoundaryMapBuilder builder(text, std::move(scratch.boundaries));
    struct KeepMap {
        CountScratch::Parts& scratch;
        BoundaryMapBuilder& builder;
        ~KeepMap() { scratch.boundaries = builder.Take(); }
    } keepMap{scratch, builder};
    // One second thread serves the scan and the deletions: a kept scratch's,
    // else one for this count.
    std::optional<SideThread> ownSide;
    SideThread* side = nullptr;
    if (OnTwoThreads(text.size(), threads)) side = kept ? &kept->side() : &ownSide.emplace();
    if (group.scanner && !group.scanner->Scan(text, builder, maxHits, found, side)) {
        return false;
    }
    builder.BuildUpTo(text.size());
    const BitArray& boundaries = builder.map();

    for (std::size_t s = 0; s < group.segments.size(); ++s) {
        const Segment& segment = group.segments[s];
        alive.Assign(text.size(), true);
        simulatedCounts.assign(segment.simulatedWord.size(), 0);
        MatchReport* const report = reports.empty() ? nullptr : reports[s];
        if (report) report->NameWords(segment.simulatedWord);
        const bool worthTwo = side && segment.deletions.OccurrencesIn(found) >= kTwoThreadOccurrences;
        segment.deletions.Run(text, boundaries, found, alive, simulatedCounts.data(), report,
                              worthTwo ? side : nullptr, &scratch.deletions);
        if (report) report->NameWords({});
        std::fill(counts[s] + segment.first, counts[s] + segment.end, 0);
        for (std::size_t k = 0; k < simulatedCounts.size(); ++k) {
            counts[s][segment.simulatedWord[k]] = simulatedCounts[k];
        }
        if (remaining[s]) *remaining[s] = std::move(alive);
    }
    return true;
}

constexpr std::size_t kStartsPiece = std::size_t{1} << 20;

// Word w of a chain by RemoveAll; with a `report`, each occurrence is added
// to it, placed in the original text through `origin`, which then follows
// the deletions.
std::int64_t RemoveWord(std::string& work, std::span<const std::string> words, std::size_t w,
                        MatchReport* report, OriginMap* origin) {
    if (!report) return RemoveAll(work, words[w]);
    // The starts are placed a piece at a time: a word can take as many as
    // the copy has bytes. The map has already lost the matches of the pieces
    // before, so a piece's offsets move down by their bytes.
    const std::size_t length = words[w].size();
    std::size_t taken = 0;
    return RemoveAll(work, words[w], kStartsPiece, [&](std::span<std::uint32_t> starts) {
        for (std::uint32_t& start : starts) start -= static_cast<std::uint32_t>(taken * length);
        origin->TakeAscending(starts, length, static_cast<std::uint32_t>(w), *report);
        taken += starts.size();
    });
}

// Matches placed in a working copy, added to `report` placed in the original
// through `origin`, which then follows the deletions.
void AddThroughOrigins(const MatchReport& local, OriginMap& origin, MatchReport& report) {
    const MatchReport::Mark first = report.End();
    for (MatchReport::Reader match = local.Read(); match.Next();) {
        report.BeginMatch(match.word());
        for (const TextSpan& span : match.spans()) origin.AddSpans(span.start, span.end, report);
    }
    origin.Delete(report, first);
}

// One step of a chain on its working copy: a word by RemoveAll (when `run`
// is empty), or a run of words by scan and simulation.
struct Step {
    std::size_t word = 0;
    std::unique_ptr<ScanGroup> run;
};

// With a `report`, `origin` says where each byte of `work` stood in the
// original text, and is kept so. `work` is left as the last step leaves it
// only when `textWanted`: otherwise a last run of words does not close up
// the copy after it (a pass over the whole copy that nothing would read).
void RunSteps(std::string& work, std::span<const std::string> words,
              std::span<const Step> steps, std::int64_t* counts, CountThreads threads,
              bool textWanted, MatchReport* report = nullptr, OriginMap* origin = nullptr) {
    MatchReport local;
    for (const Step& step : steps) {
        if (!step.run) {
            counts[step.word] = RemoveWord(work, words, step.word, report, origin);
            continue;
        }
        BitArray remaining;
        BitArray* const remainingOut[] = {&remaining};
        std::int64_t* const countsOut[] = {counts};
        MatchReport* const localOut[] = {&local};
        local.Clear();
        if (RunGroup(*step.run, work, HitBudgetBesideCopy(work.size()), countsOut, remainingOut,
                     report ? std::span<MatchReport* const>(localOut) : std::span<MatchReport* const>(),
                     nullptr, threads)) {
            if (report) AddThroughOrigins(local, *origin, *report);
            if (textWanted || &step != &steps.back()) work.resize(KeepBytes(work, remaining, work.data()));
        } else {
            const Segment& segment = step.run->segments[0];
            for (std::size_t w = segment.first; w < segment.end; ++w) {
                counts[w] = RemoveWord(work, words, w, report, origin);
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
            if (end == i + 1) {
                // One word alone: RemoveAll in place needs no bits and no
                // occurrence lists beside the copy, and is no slower.
                tail.push_back({i, nullptr});
            } else {
                const SegmentWords run{words, i, end};
                tail.push_back({i, CompileGroup({&run, 1}, sample)});
            }
            i = end;
        }
        plan->tails.push_back(std::move(tail));
    }
    plan->heads = CompileGroup(heads, sample);
    plan_ = std::move(plan);
}

CompiledChains::~CompiledChains() = default;

std::size_t CompiledChains::chainCount() const { return plan_->words.size(); }

void CompiledChains::Count(std::string_view text, std::span<std::int64_t* const> counts,
                           std::span<MatchReport* const> reports, CountScratch* scratch) const {
    const Plan& plan = *plan_;
    const std::size_t chains = plan.words.size();
    const auto reportOf = [&](std::size_t c) { return reports.empty() ? nullptr : reports[c]; };
    for (MatchReport* report : reports) {
        if (report) report->Clear();
    }
    // Offsets in reports are 32-bit.
    if (!reports.empty() && text.size() > UINT32_MAX) {
        throw std::length_error("occurrences are reported for texts under 4 GiB only");
    }
    // The words of every chain up to its first exact-path word share one scan
    // of the original text.
    std::vector<BitArray> remaining(chains);
    std::vector<BitArray*> remainingOut(chains, nullptr);
    for (std::size_t c = 0; c < chains; ++c) {
        if (!plan.tails[c].empty()) remainingOut[c] = &remaining[c];
    }
    const CountThreads threads = scratch ? scratch->threads() : CountThreads::UpToTwo;
    if (!RunGroup(*plan.heads, text, HitBudget(text.size()), counts, remainingOut, reports, scratch,
                  threads)) {
        // Too many occurrences to keep: word by word on a copy, exact and frugal.
        for (std::size_t c = 0; c < chains; ++c) {
            std::string work(text);
            MatchReport* const report = reportOf(c);
            OriginMap origin;
            if (report) origin.AssignAll(text.size());
            for (std::size_t w = 0; w < plan.words[c].size(); ++w) {
                counts[c][w] = RemoveWord(work, plan.words[c], w, report, &origin);
            }
        }
        return;
    }
    for (std::size_t c = 0; c < chains; ++c) {
        const std::span<const Step> tail = plan.tails[c];
        if (tail.empty()) continue;
        MatchReport* const report = reportOf(c);
        // Leading one-byte words are played out on the bits of the bytes
        // still there, before any byte moves: the copy is made once, of the
        // bytes they leave.
        const auto isByteWord = [&](const Step& step) {
            const std::string& word = plan.words[c][step.word];
            return !step.run && word.size() == 1 && !MatchesNothing(word);
        };
        std::size_t first = 0;
        for (; first < tail.size() && isByteWord(tail[first]); ++first) {
            const std::size_t w = tail[first].word;
            counts[c][w] = RemoveByteOfKept(text, remaining[c],
                                            static_cast<unsigned char>(plan.words[c][w][0]), report,
                                            static_cast<std::uint32_t>(w));
        }
        const std::size_t size = text.empty() ? 0 : remaining[c].CountSet(0, text.size() - 1);
        std::string work(size + 1, '\0');  // KeepBytes may store one byte past the kept ones
        KeepBytes(text, remaining[c], work.data());
        work.resize(size);
        OriginMap origin;
        if (report) origin.Assign(std::move(remaining[c]));
        remaining[c] = BitArray();
        RunSteps(work, plan.words[c], tail.subspan(first), counts[c], threads, false, report, &origin);
    }
}

void CountByDeletion(std::string_view text, std::span<const WordChain> chains) {
    std::vector<std::span<const std::string>> words;
    std::vector<std::int64_t*> counts;
    std::vector<MatchReport*> reports;
    bool reporting = false;
    for (const WordChain& chain : chains) {
        words.push_back(chain.words);
        counts.push_back(chain.counts);
        reports.push_back(chain.report);
        reporting = reporting || chain.report;
    }
    CompiledChains(words, text).Count(text, counts, reporting ? reports : std::vector<MatchReport*>());
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
        text.resize(KeepBytes(text, remaining, text.data()));
    } else {
        for (std::size_t w = head.first; w < head.end; ++w) {
            chain.counts[w] = RemoveAll(text, plan.words[0][w]);
        }
    }
    RunSteps(text, plan.words[0], plan.tails[0], chain.counts, CountThreads::UpToTwo, true);
}

}  // namespace quenbol
