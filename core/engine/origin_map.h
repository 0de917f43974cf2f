// Where the bytes of a working copy stood in the original text, for reports
// from the engine's exact path. The copy is the original's bytes whose bits
// are set, in order, so byte k of the copy is the k-th set bit: found through
// a count of the set bits before each 64-bit word. A bit per byte and a count
// per 64 bytes, instead of an offset per byte.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/match_report.h"

namespace quenbol {

class OriginMap {
public:
    // The copy is the whole original text of `size` bytes.
    void AssignAll(std::size_t size) {
        alive_.Assign(size, true);
        Recount();
    }
    // The copy is the original's bytes whose bits are set in `alive`.
    void Assign(BitArray alive) {
        alive_ = std::move(alive);
        Recount();
    }

    // Adds to the current match of `report` the original stretches of copy
    // bytes [start, end), as the map stands.
    void AddSpans(std::size_t start, std::size_t end, MatchReport& report) const {
        if (start >= end) return;
        std::size_t p = Locate(start);
        std::size_t runStart = p;
        for (std::size_t k = start + 1; k < end; ++k) {
            const std::size_t next = alive_.Test(p + 1) ? p + 1 : alive_.NextSet(p + 1);
            if (next != p + 1) {
                report.AddSpan(static_cast<std::uint32_t>(runStart), static_cast<std::uint32_t>(p + 1));
                runStart = next;
            }
            p = next;
        }
        report.AddSpan(static_cast<std::uint32_t>(runStart), static_cast<std::uint32_t>(p + 1));
    }

    // Matches of `length` bytes at copy offsets `starts` (ascending, not
    // overlapping), as one RemoveAll call found them: each is added to
    // `report` as `word` with its original stretches, and the copy loses
    // their bytes. One pass, clearing bits behind it.
    void TakeAscending(std::span<const std::uint32_t> starts, std::size_t length, std::uint32_t word,
                       MatchReport& report) {
        if (starts.empty()) return;
        // A cursor on copy byte k: word w of the bits, and in `bits` the set
        // bits from the cursor's on. It only ever moves to bytes still in
        // the copy, so a set bit is always ahead.
        const std::uint64_t* const words = alive_.words();
        std::size_t k = starts.front();
        const std::size_t first = Select(k);
        std::size_t w = first >> 6;
        std::uint64_t bits = words[w] & (~std::uint64_t{0} << (first & 63));
        const auto next = [&] {
            bits &= bits - 1;
            while (bits == 0) bits = words[++w];
        };
        const auto at = [&] { return (w << 6) + static_cast<std::size_t>(std::countr_zero(bits)); };
        const auto run = [&](std::size_t from, std::size_t last) {
            report.AddSpan(static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(last + 1));
            alive_.ClearRange(from, last);  // behind the cursor: `bits` no longer holds them
        };
        for (const std::uint32_t start : starts) {
            for (; k < start; ++k) next();
            report.BeginMatch(word);
            std::size_t runStart = at(), last = runStart;
            for (std::size_t i = 1; i < length; ++i, ++k) {
                next();
                const std::size_t p = at();
                if (p != last + 1) {
                    run(runStart, last);
                    runStart = p;
                }
                last = p;
            }
            run(runStart, last);
        }
        Recount();
    }

    // The copy loses the bytes of the spans of the matches of `report` after
    // `from` (original offsets); the map then stands for the copy after
    // those deletions.
    void Delete(const MatchReport& report, const MatchReport::Mark& from) {
        MatchReport::Reader match = report.ReadFrom(from);
        if (!match.Next()) return;
        do {
            for (const TextSpan& s : match.spans()) alive_.ClearRange(s.start, s.end - 1);
        } while (match.Next());
        Recount();
    }

private:
    void Recount() {
        cursorK_ = 0;
        cursorP_ = alive_.NextSet(0);
        const std::size_t words = alive_.wordCount();
        before_.resize(words + 1);
        sampled_.clear();
        std::uint32_t n = 0;
        for (std::size_t w = 0; w < words; ++w) {
            before_[w] = n;
            n += static_cast<std::uint32_t>(CountBits(alive_.words()[w]));
            while ((sampled_.size() << kSampleShift) < n) sampled_.push_back(static_cast<std::uint32_t>(w));
        }
        before_[words] = n;
    }

    // The original offset of copy byte k. Matches are mostly asked for in
    // ascending order, close together: then walk on from the last answer,
    // a 64-bit word at a time; otherwise search the counts.
    std::size_t Locate(std::size_t k) const {
        if (k < cursorK_ || k - cursorK_ > kWalkLimit) {
            cursorK_ = k;
            cursorP_ = Select(k);
            return cursorP_;
        }
        // The set bits from cursorP_'s on; cursorP_'s own is number 0.
        std::size_t w = cursorP_ >> 6;
        std::uint64_t bits = alive_.words()[w] & (~std::uint64_t{0} << (cursorP_ & 63));
        std::size_t d = k - cursorK_;
        for (std::size_t inWord = CountBits(bits); d >= inWord; inWord = CountBits(bits)) {
            d -= inWord;
            bits = alive_.words()[++w];
        }
        cursorK_ = k;
        cursorP_ = w * 64 + NthSetBit(bits, d);
        return cursorP_;
    }

    static std::size_t NthSetBit(std::uint64_t bits, std::size_t n) {
        for (; n > 0; --n) bits &= bits - 1;
        return static_cast<std::size_t>(std::countr_zero(bits));
    }

    // The original offset of copy byte k: the k-th set bit.
    // The sample says between which words it lies; the counts say which.
    std::size_t Select(std::size_t k) const {
        const std::size_t j = k >> kSampleShift;
        const auto lo = before_.begin() + sampled_[j];
        const auto hi = j + 1 < sampled_.size() ? before_.begin() + sampled_[j + 1] + 1 : before_.end();
        const auto w = static_cast<std::size_t>(
            std::upper_bound(lo, hi, static_cast<std::uint32_t>(k)) - before_.begin() - 1);
        return w * 64 + NthSetBit(alive_.words()[w], k - before_[w]);
    }

    static constexpr std::size_t kWalkLimit = 4096;

    BitArray alive_;
    std::vector<std::uint32_t> before_;  // set bits in the words before word w
    // The word holding set bit j << kSampleShift, for each j.
    static constexpr std::size_t kSampleShift = 12;
    std::vector<std::uint32_t> sampled_;
    mutable std::size_t cursorK_ = 0;    // the last copy byte located ...
    mutable std::size_t cursorP_ = 0;    // ... and its original offset
};

}  // namespace quenbol
