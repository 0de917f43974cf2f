// Count-by-deletion of an ordered list of keywords, played out on the
// original text instead of a shrinking copy: a bit per byte says whether the
// byte is still there. Each keyword takes, left to right, the non-overlapping
// occurrences whose bytes are all still there: those found in the original
// text, and those that only formed where earlier deletions closed the text up
// (found by looking around each new join for the keywords still to come).
//
// This is exact for keywords made of whole characters: such a keyword,
// deleted where it starts on a character start, leaves every other byte's
// character-start status as it was, so one boundary map serves all keywords.
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/keyword_scanner.h"
#include "core/engine/match_report.h"
#include "core/engine/side_thread.h"

namespace quenbol {

struct SimulatedWord {
    std::string_view bytes;   // non-empty, whole characters, no NUL
    std::uint32_t scanIndex;  // its keyword number in `found`
};

// What a run works in: the occurrences each word took, in each of the two
// stretches. A caller that runs plans again and again on long texts keeps
// one, so that these lists (half a megabyte for a word named 135,000 times)
// are not fresh memory, a page fault per 4 KiB, each time.
struct DeletionMemory {
    struct TakenAcross {
        std::uint32_t taken;  // index into takenFirst
        std::uint32_t last;
    };
    struct Stretch {
        // The first byte of each occurrence the current word took, and the
        // last byte of those that formed across joins (any other ends a
        // word's length after its first).
        std::vector<std::uint32_t> takenFirst;
        std::vector<TakenAcross> takenAcross;
    } stretches[2];
};

// Count-by-deletion of one ordered list of words, prepared once and played
// out on any number of texts: the words by first byte, the longest word from
// each on, and which pairs of adjacent characters occur inside some word (a
// join between another pair cannot be crossed by a match).
class DeletionPlan {
public:
    explicit DeletionPlan(std::vector<SimulatedWord> words);

    // Deletes the words in order from the text whose remaining bytes are the
    // set bits of `alive` (cleared here as bytes go); counts[k] = occurrences
    // deleted by word k. `found` holds every boundary occurrence in `text`
    // itself, by scan keyword number. With a `report`, each deleted
    // occurrence is added to it as it goes (word k, offsets into `text`).
    // With a `side` thread and no report, a text that can be split (below)
    // is played out in its two stretches at once, the second on that thread.
    // It works in `memory` when given.
    void Run(std::string_view text, const BitArray& boundaries, const Occurrences& found,
             BitArray& alive, std::int64_t* counts, MatchReport* report = nullptr,
             SideThread* side = nullptr, DeletionMemory* memory = nullptr) const;

    // The occurrences in `found` of the words: what a run starts from, and
    // roughly what it costs.
    std::size_t OccurrencesIn(const Occurrences& found) const;

private:
    class Simulation;  // the state of one run

    // A byte that is in no word is never deleted and no match can hold it,
    // so the stretches before and after it play out alone. Where the text
    // can be split so: the start of the second stretch, just after such a
    // byte at or after the middle, the last of a 64-bit word of `alive`, so
    // that the two never write or read one word; 0 where there is none.
    std::size_t SplitPoint(std::string_view text) const;

    std::bitset<256> inWords_;  // the byte values the words hold

    std::vector<SimulatedWord> words_;
    std::vector<std::uint8_t> meetingPairs_;  // bit per adjacent character pair in some word
    std::vector<std::uint32_t> byFirstByte_;   // words of 2+ bytes by first byte
    std::vector<std::uint32_t> firstOfByte_;   // byte b: byFirstByte_[firstOfByte_[b]..]
    std::vector<std::size_t> longestAfter_;    // longest word from k on
};

// A keyword's bytes walk as whole characters: no lead byte at its end.
bool IsWholeCharacters(std::string_view word);

}  // namespace quenbol
