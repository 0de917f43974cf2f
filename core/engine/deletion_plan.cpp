// Playing out count-by-deletion over a bit per byte, with the joins that
// deletions make looked at again for the keywords that come later.
#include "core/engine/deletion_plan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/engine/side_thread.h"
#include "core/text/cp932.h"

namespace quenbol {

bool IsWholeCharacters(std::string_view word) {
    std::size_t pos = 0;
    while (pos < word.size()) pos += IsLeadByte(static_cast<unsigned char>(word[pos])) ? 2 : 1;
    return pos == word.size();
}

namespace {

// Candidates are visited in text order but far apart, so their bits and
// bytes are rarely in cache: ask for them a few candidates ahead.
constexpr std::size_t kLookAhead = 32;

inline void Prefetch(const void* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// An occurrence given by its first and last byte in the original text; the
// bytes between them that are still there are exactly the occurrence's.
struct Span {
    std::uint32_t first;
    std::uint32_t last;
    bool operator<(const Span& o) const {
        return first != o.first ? first < o.first : last < o.last;
    }
    bool operator==(const Span& o) const = default;
};

constexpr std::uint32_t kPairBits = 1 << 16;

// Bytes of the character at `at`: two for a lead byte with a byte after it.
std::size_t CharSize(std::string_view s, std::size_t at) {
    return IsLeadByte(static_cast<unsigned char>(s[at])) && at + 1 < s.size() ? 2 : 1;
}
// A character's bytes as one number (a lead byte is never 0, so one- and
// two-byte characters do not collide).
std::uint32_t CharCode(std::string_view s, std::size_t at, std::size_t size) {
    const auto first = static_cast<unsigned char>(s[at]);
    return size == 1 ? first : first << 8 | static_cast<unsigned char>(s[at + 1]);
}
std::uint32_t PairSlot(std::uint32_t left, std::uint32_t right) {
    return ((left << 16 | right) * 0x9E3779B1u) >> 16;
}

}  // namespace

DeletionPlan::DeletionPlan(std::vector<SimulatedWord> words)
    : words_(std::move(words)),
      meetingPairs_(kPairBits / 8, 0),
      longestAfter_(words_.size() + 1, 0) {
    // Words that could form across a join: at least two bytes, indexed by
    // first byte (ascending word numbers). A join always falls between two
    // characters of such a match (deletions take whole characters), so
    // note every pair of adjacent characters in them.
    std::vector<std::uint32_t> perByte(257, 0);
    for (const SimulatedWord& w : words_) {
        if (w.bytes.size() >= 2) ++perByte[static_cast<unsigned char>(w.bytes[0]) + 1];
    }
    for (int b = 0; b < 256; ++b) perByte[b + 1] += perByte[b];
    byFirstByte_.resize(perByte[256]);
    firstOfByte_ = perByte;
    for (std::uint32_t k = 0; k < words_.size(); ++k) {
        const std::string_view w = words_[k].bytes;
        for (char c : w) inWords_.set(static_cast<unsigned char>(c));
        if (w.size() < 2) continue;
        byFirstByte_[perByte[static_cast<unsigned char>(w[0])]++] = k;
        for (std::size_t i = 0, next = CharSize(w, 0); next < w.size();
             i = next, next += CharSize(w, next)) {
            const std::uint32_t slot =
                PairSlot(CharCode(w, i, next - i), CharCode(w, next, CharSize(w, next)));
            meetingPairs_[slot >> 3] |= static_cast<std::uint8_t>(1 << (slot & 7));
        }
    }
    for (std::size_t k = words_.size(); k-- > 0;) {
        longestAfter_[k] = std::max(longestAfter_[k + 1], words_[k].bytes.size());
    }
}

// The state of one run over the stretch [from, to) of the text: the bytes
// still there, and per word the candidates that joins made. It takes the
// occurrences that start in the stretch and looks at no byte's bit outside
// it: a stretch ends or begins next to a byte no match can hold.
class DeletionPlan::Simulation {
public:
    Simulation(const DeletionPlan& plan, std::string_view text, const BitArray& boundaries,
               const Occurrences& found, BitArray& alive, MatchReport* report, std::size_t from,
               std::size_t to, DeletionMemory::Stretch& memory)
        : from_(from),
          to_(to),
          text_(text),
          boundaries_(boundaries),
          found_(found),
          words_(plan.words_),
          alive_(alive),
          acrossJoins_(plan.words_.size()),
          meetingPairs_(plan.meetingPairs_),
          byFirstByte_(plan.byFirstByte_),
          firstOfByte_(plan.firstOfByte_),
          longestAfter_(plan.longestAfter_),
          memory_(memory),
          report_(report) {
        // Held here while the run lasts: the two stretches' runs then write
        // no shared cache line as they go.
        takenFirst_.swap(memory.takenFirst);
        takenAcross_.swap(memory.takenAcross);
    }
    ~Simulation() {
        takenFirst_.swap(memory_.takenFirst);
        takenAcross_.swap(memory_.takenAcross);
    }
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    std::int64_t Delete(std::uint32_t k) {
        const std::size_t found = found_.CountOf(words_[k].scanIndex);
        // Most words of a short text have nothing to take.
        if (found == 0 && acrossJoins_[k].empty()) return 0;
        const std::uint32_t length = static_cast<std::uint32_t>(words_[k].bytes.size());
        Occurrences::Reader original = found_.From(words_[k].scanIndex, static_cast<std::uint32_t>(from_));
        // kLookAhead starts on, for prefetching (when there are that many).
        Occurrences::Reader ahead = original;
        const bool prefetch = found > kLookAhead;
        for (std::size_t n = 0; prefetch && n < kLookAhead; ++n) ahead.Next();
        std::vector<Span>& joined = acrossJoins_[k];
        std::sort(joined.begin(), joined.end());
        joined.erase(std::unique(joined.begin(), joined.end()), joined.end());

        // Left to right over both kinds of candidate; a candidate is taken when
        // all its bytes are still there and it starts after the last one taken.
        takenFirst_.clear();
        takenAcross_.clear();
        std::int64_t lastTaken = -1;
        std::size_t j = 0;
        const auto originalLeft = [&] { return !original.done() && original.value() < to_; };
        while (originalLeft() || j < joined.size()) {
            Span s;
            bool present;
            bool acrossJoins;
            if (j == joined.size() || (originalLeft() && original.value() < joined[j].first)) {
                if (prefetch && !ahead.done()) {
                    Prefetch(alive_.words() + (ahead.value() >> 6));
                    ahead.Next();
                }
                s = {original.value(), original.value() + length - 1};
                present = alive_.AllSet(s.first, s.last);
                acrossJoins = false;
                original.Next();
            } else {
                s = joined[j];
                present = alive_.CountSet(s.first, s.last) == length;
                acrossJoins = true;
                ++j;
            }
            if (!present || static_cast<std::int64_t>(s.first) <= lastTaken) continue;
            if (report_) Report(k, s, acrossJoins);
            alive_.ClearRange(s.first, s.last);
            lastTaken = s.last;
            if (acrossJoins) takenAcross_.push_back({static_cast<std::uint32_t>(takenFirst_.size()), s.last});
            takenFirst_.push_back(s.first);
        }
        std::vector<Span>().swap(joined);
        if (longestAfter_[k + 1] >= 2) LookAroundJoins(k);
        return static_cast<std::int64_t>(takenFirst_.size());
    }

private:
    // A candidate about to be taken: one run of bytes when it was found in
    // the original text; when it formed across joins, its bytes still there
    // between its first and last (a short stretch, looked at byte by byte).
    void Report(std::uint32_t k, Span s, bool acrossJoins) {
        report_->BeginMatch(k);
        if (!acrossJoins) {
            report_->AddSpan(s.first, std::size_t{s.last} + 1);
            return;
        }
        for (std::size_t p = s.first; p <= s.last; ++p) {
            if (alive_.Test(p)) report_->AddSpan(p, p + 1);
        }
    }

    // After word k's deletions: every join they made, with the bytes now on
    // each side of it, may hold a later word that was not there before.
    void LookAroundJoins(std::uint32_t k) {
        const std::size_t length = words_[k].bytes.size();
        const std::size_t taken = takenFirst_.size();
        std::size_t across = 0;  // the next of takenAcross_
        // The last byte of taken occurrence t, for t ascending.
        const auto lastOf = [&](std::size_t t) -> std::size_t {
            while (across < takenAcross_.size() && takenAcross_[across].taken < t) ++across;
            if (across < takenAcross_.size() && takenAcross_[across].taken == t) return takenAcross_[across].last;
            return takenFirst_[t] + length - 1;
        };
        std::size_t t = 0;
        while (t < taken) {
            if (t + kLookAhead < taken) {
                const std::uint32_t ahead = takenFirst_[t + kLookAhead];
                Prefetch(text_.data() + ahead - (ahead > 0));
                Prefetch(text_.data() + ahead + length);
                Prefetch(boundaries_.words() + ((ahead - (ahead > 0)) >> 6));
            }
            const std::uint32_t first = takenFirst_[t];
            const std::size_t after = alive_.NextSet(lastOf(t) + 1);
            // Deletions with nothing left between them make one join.
            while (t < taken && takenFirst_[t] < after) ++t;
            if (first == from_ || after >= to_) continue;
            const std::size_t before = alive_.PrevSet(first - 1, from_);
            if (before == BitArray::npos) continue;
            // The characters now meeting at the join: both are whole (deletions
            // take whole characters), the one before ends at `before`.
            const std::uint32_t left = boundaries_.Test(before) ? CharCode(text_, before, 1)
                                                                : CharCode(text_, before - 1, 2);
            const std::uint32_t right = CharCode(text_, after, CharSize(text_, after));
            const std::uint32_t slot = PairSlot(left, right);
            if (((meetingPairs_[slot >> 3] >> (slot & 7)) & 1) == 0) continue;
            SearchWindow(k, before, after);
        }
    }

    // Collects the bytes left around the join between `before` and `after`
    // (as many as a later word could reach) and records every later word
    // that matches across it, starting on a character start.
    void SearchWindow(std::uint32_t k, std::size_t before, std::size_t after) {
        const std::size_t reach = longestAfter_[k + 1] - 1;
        window_.clear();
        positions_.clear();
        for (std::size_t p = before; p != BitArray::npos && positions_.size() < reach;
             p = alive_.PrevSet(p - 1, from_)) {
            positions_.push_back(static_cast<std::uint32_t>(p));
        }
        std::reverse(positions_.begin(), positions_.end());
        const std::size_t leftSize = positions_.size();
        for (std::size_t p = after; p < to_ && positions_.size() < leftSize + reach;
             p = p + 1 < to_ ? alive_.NextSet(p + 1) : to_) {
            positions_.push_back(static_cast<std::uint32_t>(p));
        }
        for (std::uint32_t p : positions_) window_.push_back(text_[p]);

        for (std::size_t p = 0; p < leftSize; ++p) {
            if (!boundaries_.Test(positions_[p])) continue;
            const unsigned char c = static_cast<unsigned char>(window_[p]);
            // Word numbers ascend within a first byte; only words after k count.
            for (std::uint32_t e = firstOfByte_[c + 1]; e-- > firstOfByte_[c];) {
                const std::uint32_t w = byFirstByte_[e];
                if (w <= k) break;
                const std::string_view word = words_[w].bytes;
                if (p + word.size() <= leftSize || p + word.size() > window_.size()) continue;
                if (std::memcmp(window_.data() + p, word.data(), word.size()) != 0) continue;
                acrossJoins_[w].push_back({positions_[p], positions_[p + word.size() - 1]});
            }
        }
    }

    const std::size_t from_, to_;
    std::string_view text_;
    const BitArray& boundaries_;
    const Occurrences& found_;
    const std::vector<SimulatedWord>& words_;
    BitArray& alive_;

    std::vector<std::vector<Span>> acrossJoins_;  // per word: candidates made by joins
    const std::vector<std::uint8_t>& meetingPairs_;
    const std::vector<std::uint32_t>& byFirstByte_;
    const std::vector<std::uint32_t>& firstOfByte_;
    const std::vector<std::size_t>& longestAfter_;
    // The occurrences the current word took, in the memory's lists.
    DeletionMemory::Stretch& memory_;
    std::vector<std::uint32_t> takenFirst_;
    std::vector<DeletionMemory::TakenAcross> takenAcross_;
    std::vector<std::uint32_t> positions_;
    std::string window_;
    MatchReport* report_;
};

std::size_t DeletionPlan::SplitPoint(std::string_view text) const {
    for (std::size_t c = text.size() / 2 | 63; c + 1 < text.size(); c += 64) {
        if (!inWords_.test(static_cast<unsigned char>(text[c]))) return c + 1;
    }
    return 0;
}

std::size_t DeletionPlan::OccurrencesIn(const Occurrences& found) const {
    std::size_t n = 0;
    for (const SimulatedWord& w : words_) n += found.CountOf(w.scanIndex);
    return n;
}

void DeletionPlan::Run(std::string_view text, const BitArray& boundaries, const Occurrences& found,
                       BitArray& alive, std::int64_t* counts, MatchReport* report, SideThread* side,
                       DeletionMemory* memory) const {
    DeletionMemory own;
    DeletionMemory& kept = memory ? *memory : own;
    const auto play = [&](std::int64_t* into, std::size_t from, std::size_t to, DeletionMemory::Stretch& stretch) {
        Simulation simulation(*this, text, boundaries, found, alive, report, from, to, stretch);
        for (std::uint32_t k = 0; k < words_.size(); ++k) into[k] = simulation.Delete(k);
    };
    const std::size_t split = side && !report ? SplitPoint(text) : 0;
    if (split == 0) {
        play(counts, 0, text.size(), kept.stretches[0]);
        return;
    }
    std::vector<std::int64_t> secondCounts(words_.size(), 0);
    side->RunSideBySide([&] { play(counts, 0, split, kept.stretches[0]); },
                        [&] { play(secondCounts.data(), split, text.size(), kept.stretches[1]); });
    for (std::size_t k = 0; k < words_.size(); ++k) counts[k] += secondCounts[k];
}

}  // namespace quenbol
