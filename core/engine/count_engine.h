// The counting engine behind count-by-deletion: it runs ordered lists of
// words (chains) over a text exactly as RemoveAll would, word after word on a
// working copy, but with one pass over the text for all words of all chains.
//
// How the parts fit, for one text:
//  1. Candidates (keyword_scanner.h, piece_tables.h). One pass over the text
//     for all words: each word is looked for through one piece of it (up to
//     four bytes); a table of pieces rules out almost every position with one
//     look-up, and the positions left are candidates.
//  2. Verification. A candidate is compared with its word in full and kept
//     only when it starts on a character start (boundary_map.h, built along
//     the same pass). What is kept is every occurrence in the original text,
//     overlapping ones included: more than will be counted.
//  3. Simulated deletions (deletion_plan.h). Each chain is played out
//     on a bit per byte ("still there") instead of a shrinking copy: word
//     after word, an occurrence is taken, left to right, when all its bytes
//     are still there and it does not overlap the last one taken; its bytes
//     are then cleared. Where deletions close the text up, the bytes now
//     meeting are looked at for the words still to come, which adds the
//     occurrences that only form across a join.
//  4. The exact word-by-word path (remove_all.h). The simulation relies on a
//     deletion leaving every other byte's character start as it was, which
//     holds for words of whole characters. A word ending in a lead byte
//     breaks that: from the first such word on, its chain continues on a real
//     working copy (the bytes the simulation left), that word by RemoveAll,
//     the runs of words between such words again by steps 1 to 3 on the copy.
//     One-byte words at the head of that continuation (a lone lead byte) are
//     played out first on the simulation's bits, 64 bytes at a time, so the
//     copy is made once, of the bytes they leave, and their occurrences are
//     placed in the original text without an origin map.
//     A text with more occurrences than the engine keeps memory for is
//     counted word by word with RemoveAll alone.
// Together they give the counts of RemoveAll word after word on a working
// copy; core/engine/tests and fuzz/engine_fuzz.cpp check that against a
// deliberately simple reference (testing/reference_counter.h).
//
// The words of the chains are compiled once (CompiledChains) and can then
// count any number of texts; CountByDeletion compiles for one text.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/engine/match_report.h"
#include "core/engine/side_thread.h"

namespace quenbol {

// Words deleted in order from one working copy of the text.
struct WordChain {
    std::span<const std::string> words;
    std::int64_t* counts;            // out: occurrences deleted by each word
    MatchReport* report = nullptr;  // out, when given: where each occurrence was
};

// Whether one count may take a second thread: a text over 1 MiB is then
// scanned in two halves at once, and its deletions played out in two
// stretches at once, on a machine of two cores or more.
enum class CountThreads { UpToTwo, One };

// What counting a text works in (its occurrence lists, live bits and
// counts, and the second thread of a count that takes one), for a caller
// that counts many texts one after another: handed to each Count, it is kept
// from text to text, so that small texts do not allocate it afresh (a large
// text's memory is let go after it, unless asked). One per thread: never in
// two counts at once. A caller that already counts on every core keeps each
// count to its own thread with SetThreads(CountThreads::One).
class CountScratch {
public:
    CountScratch();
    ~CountScratch();
    CountScratch(const CountScratch&) = delete;
    CountScratch& operator=(const CountScratch&) = delete;

    struct Parts;
    Parts& parts() { return *parts_; }
    CountThreads threads() const { return threads_; }
    void SetThreads(CountThreads threads) { threads_ = threads; }
    // Kept after a large text too: for a caller that counts one long text
    // again and again (the window's pane), where allocating and touching
    // fresh memory each time costs more than holding it.
    bool keepsLargeTexts() const { return keepsLargeTexts_; }
    void SetKeepsLargeTexts(bool keep) { keepsLargeTexts_ = keep; }
    // The second thread of the counts that take one, kept from count to count.
    SideThread& side() { return side_; }
    // Readies the memory and thread a count of a long text of up to
    // `textSize` bytes will take, in a scratch that keeps large texts', so
    // that its first count does not wait for them: under Wine, fresh memory
    // costs a page fault per 4 KiB and a thread about a millisecond and a
    // half to start. Cheap when they are ready. Throws what allocating or
    // starting the thread throws.
    void Prepare(std::size_t textSize);

private:
    std::unique_ptr<Parts> parts_;
    SideThread side_;
    CountThreads threads_ = CountThreads::UpToTwo;
    bool keepsLargeTexts_ = false;
};

// The words of several chains, prepared once for counting any number of
// texts: split where the exact path begins, with the scanner's and the
// simulations' tables built. The words are copied. Empty words and words
// holding a NUL byte count 0.
class CompiledChains {
public:
    // `sample` (the first text to be counted, say) only steers how the scan
    // looks for each word; any sample gives the same counts.
    explicit CompiledChains(std::span<const std::span<const std::string>> chains,
                            std::string_view sample = {});
    ~CompiledChains();
    CompiledChains(const CompiledChains&) = delete;
    CompiledChains& operator=(const CompiledChains&) = delete;

    std::size_t chainCount() const;

    // Runs every chain on its own working copy of `text`, which is not
    // changed; counts[c][w] = occurrences deleted by word w of chain c. When
    // `reports` is not empty, a chain c with reports[c] set gets there every
    // occurrence it deleted, word by word and left to right within a word,
    // placed in `text` (the report is cleared first). Without reports no
    // work is done for them. `scratch`, when given, is worked in.
    void Count(std::string_view text, std::span<std::int64_t* const> counts,
               std::span<MatchReport* const> reports = {}, CountScratch* scratch = nullptr) const;

private:
    friend void CountAndDeleteInPlace(std::string& text, const WordChain& chain);
    struct Plan;
    std::unique_ptr<const Plan> plan_;
};

// Runs every chain on its own working copy of `text`; `text` is not changed.
void CountByDeletion(std::string_view text, std::span<const WordChain> chains);

// Runs one chain on `text` itself, which is left as the deletions leave it.
// (It reports nothing: the offsets would be into a text that is gone.)
void CountAndDeleteInPlace(std::string& text, const WordChain& chain);

}  // namespace quenbol
