// Finding many keywords in one pass: the choice of each keyword's piece,
// then the pass over the text.
#include "core/engine/keyword_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/engine/piece_tables.h"
#include "core/engine/side_thread.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenbol {

// All keywords found through pieces of one length.
struct KeywordScanner::PieceClass {
    struct Entry {
        std::uint32_t keyword;
        std::uint32_t offset;  // where the piece sits in the keyword
    };
    PieceFilter filter;
    PieceTable table;  // piece -> index into `firstEntry`
    std::vector<std::uint32_t>
        firstEntry;  // entries of piece i: firstEntry[i] to firstEntry[i+1]-1
    std::vector<Entry> entries;

    bool empty() const { return entries.empty(); }
};

KeywordScanner::KeywordScanner(std::span<const std::string_view> keywords, std::string_view sample)
    : keywords_(keywords), heads_(keywords.size()), classes_(5) {
    for (std::uint32_t k = 0; k < keywords.size(); ++k) {
        if (keywords[k].size() < 4) shortWords_.push_back(k);
    }
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        const std::size_t n = std::min<std::size_t>(keywords[k].size(), 16);
        unsigned char padded[16] = {}, ones[16] = {};
        std::memcpy(padded, keywords[k].data(), n);
        std::memset(ones, 0xFF, n);
        std::memcpy(heads_[k].bytes, padded, 16);
        std::memcpy(heads_[k].mask, ones, 16);
        heads_[k].size = keywords[k].size();
    }
    // Keywords longer than four bytes can be found through any of their
    // 4-byte pieces; take the one seen least often in the sample.
    std::vector<std::uint32_t> candidates;
    for (std::string_view k : keywords) {
        for (std::size_t o = 0; k.size() > 4 && o + 4 <= k.size(); ++o) {
            candidates.push_back(PieceOf(k.data() + o, 4));
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    const std::vector<std::uint32_t> seen = CountInSample(candidates, sample);
    const auto timesSeen = [&](std::uint32_t piece) {
        return seen[std::lower_bound(candidates.begin(), candidates.end(), piece) -
                    candidates.begin()];
    };

    struct Choice {
        std::uint32_t piece;
        std::uint32_t keyword;
        std::uint32_t offset;
    };
    std::vector<Choice> chosen[5];
    for (std::uint32_t k = 0; k < keywords.size(); ++k) {
        const std::string_view word = keywords[k];
        const int length = static_cast<int>(std::min<std::size_t>(word.size(), 4));
        std::uint32_t bestOffset = 0;
        for (std::uint32_t o = 1; word.size() > 4 && o + 4 <= word.size(); ++o) {
            if (timesSeen(PieceOf(word.data() + o, 4)) <
                timesSeen(PieceOf(word.data() + bestOffset, 4))) {
                bestOffset = o;
            }
        }
        chosen[length].push_back({PieceOf(word.data() + bestOffset, length), k, bestOffset});
    }

    for (int length = 1; length <= 4; ++length) {
        std::vector<Choice>& list = chosen[length];
        if (list.empty()) continue;
        std::sort(list.begin(), list.end(), [](const Choice& a, const Choice& b) {
            return a.piece != b.piece ? a.piece < b.piece : a.keyword < b.keyword;
        });
        PieceClass& c = classes_[length];
        std::vector<std::uint32_t> pieces;
        for (const Choice& choice : list) {
            if (pieces.empty() || pieces.back() != choice.piece) {
                pieces.push_back(choice.piece);
                c.firstEntry.push_back(static_cast<std::uint32_t>(c.entries.size()));
            }
            c.entries.push_back({choice.keyword, choice.offset});
            maxPieceOffset_ = std::max<std::size_t>(maxPieceOffset_, choice.offset);
        }
        c.firstEntry.push_back(static_cast<std::uint32_t>(c.entries.size()));
        c.filter.Build(length, pieces);
        c.table.Build(pieces);
    }
}

KeywordScanner::~KeywordScanner() = default;

// One scan of one stretch of a text, the occurrences that start in
// [first, end), block by block so that the text stays in cache between the
// passes over it: 4-byte pieces through their hashed table, and keywords of
// one to three bytes either compared outright, sixteen positions at a time,
// or through their own tables when there are many of them. A piece may sit
// past the stretch's end in a keyword that starts before it, so the pieces
// are looked for a little beyond.
class KeywordScanner::Pass {
public:
    Pass(const KeywordScanner& scanner, std::string_view text, std::size_t first,
         std::size_t end, BoundaryMapBuilder& boundaries, std::size_t maxHits, Occurrences& out)
        : scanner_(scanner),
          bytes_(reinterpret_cast<const unsigned char*>(text.data())),
          size_(text.size()),
          first_(first),
          end_(end),
          builder_(boundaries),
          boundaries_(boundaries.map()),
          maxHits_(maxHits),
          hitsLeft_(maxHits),
          found_(out),
          shortWords_(scanner.shortWords_) {}

    std::size_t hits() const { return maxHits_ - hitsLeft_; }

    static constexpr std::size_t kBlock = 1 << 14;

    bool Run() {
        const bool hasLong = !scanner_.classes_[4].empty();
        const bool compareShort = kCanCompareShort && shortWords_.size() <= kMaxComparedShort;
        if (compareShort) PreparePatterns();
        const std::size_t scanEnd = std::min(size_, end_ + scanner_.maxPieceOffset_);
        for (std::size_t from = first_; from < scanEnd; from += kBlock) {
            const std::size_t to = std::min(scanEnd, from + kBlock);
            builder_.BuildUpTo(to);
            bool ok = true;
            if (shortWords_.empty()) {
                ok = !hasLong || ScanBlock<true, false>(from, to);
            } else if (compareShort) {
                ok = hasLong ? ScanBlock<true, true>(from, to) : ScanBlock<false, true>(from, to);
            } else {
                ok = (!hasLong || ScanBlock<true, false>(from, to)) && ScanShort(from, to);
            }
            if (!ok) return false;
        }
        return true;
    }

private:
#if defined(__SSE2__)
    static constexpr bool kCanCompareShort = true;
#else
    static constexpr bool kCanCompareShort = false;
#endif
    static constexpr std::size_t kMaxComparedShort = 8;
    static constexpr std::size_t kStep = 16;
    std::uint32_t steps_[kBlock / kStep];  // steps of the block where a piece may sit

    // The 4-byte value at i, with zeros past the end of the text.
    std::uint32_t WordAt(std::size_t i) const {
        if (i + 4 <= size_) return Load32(bytes_ + i);
        std::uint32_t w = 0;
        std::memcpy(&w, bytes_ + i, size_ - i);
        return w;
    }

    // Sixteen positions per step: the 4-byte pieces through their table, and
    // (when kShort) the short keywords compared outright; the two kinds of
    // work overlap in the processor. Where pieces are rare, steps where one
    // may sit are only noted, without a branch, and looked at once the block
    // is done: that branch would go either way too often to be guessed.
    // Where nearly every step holds one (a text thick with names), that
    // branch is always taken and the second look would only repeat the
    // first, so each step is looked at once, as it comes.
    template <bool kLong, bool kShort>
    bool ScanBlock(std::size_t from, std::size_t to) {
        const PieceClass& c = scanner_.classes_[4];
        const std::uint8_t* slots = c.filter.slots();
        const unsigned char* p = bytes_;
        const auto slotAt = [&](std::size_t i) { return slots[PieceFilter::Hash(Load32(p + i))]; };
        // Bit j set when the piece at step + j passed the filter's first test.
        const auto markedIn = [&](std::size_t step) {
            unsigned marked = 0;
            for (std::size_t j = 0; j < kStep; ++j) marked |= unsigned{slotAt(step + j) != 0} << j;
            return marked;
        };
        const auto collectMarked = [&](std::size_t step, unsigned marked) {
            for (; marked != 0; marked &= marked - 1) {
                const std::size_t j = step + std::countr_zero(marked);
                const std::uint32_t w = Load32(p + j);
                if (PieceFilter::Admits(slotAt(j), w) && !Collect(c, j, w)) return false;
            }
            return true;
        };
        std::size_t noted = 0;
        std::size_t i = from;
        for (; i + kStep <= to && i + kStep + 3 <= size_; i += kStep) {
            if constexpr (kLong) {
                if (dense_) {
                    const unsigned marked = markedIn(i);
                    noted += marked != 0;
                    if (!collectMarked(i, marked)) return false;
                } else {
                    unsigned any = 0;
                    for (std::size_t j = i; j < i + kStep; ++j) any |= slotAt(j);
                    steps_[noted] = static_cast<std::uint32_t>(i);
                    noted += any != 0;
                }
            }
            if constexpr (kShort) {
                for (unsigned mask = ShortMask(i); mask != 0; mask &= mask - 1) {
                    if (!CollectShort(i + std::countr_zero(mask))) return false;
                }
            }
        }
        if constexpr (kLong) {
            if (!dense_) {
                for (std::size_t n = 0; n < noted; ++n) {
                    if (!collectMarked(steps_[n], markedIn(steps_[n]))) return false;
                }
            }
            dense_ = noted * 8 > (i - from) / kStep * 7;  // for the next block
        }
        for (; i < to; ++i) {
            if constexpr (kLong) {
                const std::uint32_t w = WordAt(i);
                if (c.filter.MayHold(w) && !Collect(c, i, w)) return false;
            }
            if constexpr (kShort) {
                if (!CollectShort(i)) return false;
            }
        }
        return true;
    }

    // Short keywords through their tables, one position at a time.
    bool ScanShort(std::size_t from, std::size_t to) {
        const auto& c = scanner_.classes_;
        for (std::size_t i = from; i < to; ++i) {
            const std::uint32_t w = WordAt(i);
            for (int length = 1; length <= 3; ++length) {
                const std::uint32_t piece = w & MaskFor(length);
                if (!c[length].empty() && c[length].filter.MayHold(piece) &&
                    !Collect(c[length], i, piece)) {
                    return false;
                }
            }
        }
        return true;
    }

#if defined(__SSE2__)
    // Each short keyword's bytes, spread over a vector each.
    void PreparePatterns() {
        for (std::size_t k = 0; k < shortWords_.size(); ++k) {
            const std::string_view w = scanner_.keywords_[shortWords_[k]];
            patterns_[k].length = static_cast<int>(w.size());
            for (std::size_t b = 0; b < w.size(); ++b) patterns_[k].byte[b] = _mm_set1_epi8(w[b]);
        }
    }

    // Bit j set when some short keyword's bytes are at i + j (needs i + 18 <= size).
    unsigned ShortMask(std::size_t i) const {
        const __m128i at[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes_ + i)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes_ + i + 1)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes_ + i + 2))};
        __m128i any = _mm_setzero_si128();
        for (std::size_t k = 0; k < shortWords_.size(); ++k) {
            const Pattern& pattern = patterns_[k];
            __m128i m = _mm_cmpeq_epi8(at[0], pattern.byte[0]);
            if (pattern.length > 1) m = _mm_and_si128(m, _mm_cmpeq_epi8(at[1], pattern.byte[1]));
            if (pattern.length > 2) m = _mm_and_si128(m, _mm_cmpeq_epi8(at[2], pattern.byte[2]));
            any = _mm_or_si128(any, m);
        }
        return static_cast<unsigned>(_mm_movemask_epi8(any));
    }

    struct Pattern {
        __m128i byte[3];
        int length;
    };
    Pattern patterns_[kMaxComparedShort];
#else
    void PreparePatterns() {}
    unsigned ShortMask(std::size_t) const { return 0; }
#endif

    bool Add(std::uint32_t keyword, std::size_t start) {
        if (hitsLeft_ == 0) return false;
        --hitsLeft_;
        found_.Add(keyword, static_cast<std::uint32_t>(start));
        return true;
    }

    bool Matches(std::uint32_t keyword, std::size_t start) const {
        const Head& head = scanner_.heads_[keyword];
        if (start < first_ || start >= end_) return false;  // another stretch's
        if (head.size > size_ - start || !boundaries_.Test(start)) return false;
        if (size_ - start < 16) {
            return std::memcmp(bytes_ + start, scanner_.keywords_[keyword].data(), head.size) == 0;
        }
        if (!HeadMatches(head, bytes_ + start)) return false;
        const char* word = scanner_.keywords_[keyword].data();
        return head.size <= 16 || std::memcmp(bytes_ + start + 16, word + 16, head.size - 16) == 0;
    }

    // The 16 bytes at `at` agree with the head wherever its mask is set.
    static bool HeadMatches(const Head& head, const unsigned char* at) {
#if defined(__SSE2__)
        const auto load = [](const unsigned char* p) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        };
        const __m128i differ = _mm_and_si128(_mm_xor_si128(load(at), load(head.bytes)), load(head.mask));
        return _mm_movemask_epi8(_mm_cmpeq_epi8(differ, _mm_setzero_si128())) == 0xFFFF;
#else
        std::uint64_t text[2], bytes[2], mask[2];
        std::memcpy(text, at, 16);
        std::memcpy(bytes, head.bytes, 16);
        std::memcpy(mask, head.mask, 16);
        return ((text[0] ^ bytes[0]) & mask[0]) == 0 && ((text[1] ^ bytes[1]) & mask[1]) == 0;
#endif
    }

    // Every short keyword that starts at i.
    bool CollectShort(std::size_t i) {
        for (std::uint32_t k : shortWords_) {
            if (Matches(k, i) && !Add(k, i)) return false;
        }
        return true;
    }

    // The piece at `i` passed the table: compare the keywords behind it.
    [[gnu::noinline]] bool Collect(const PieceClass& c, std::size_t i, std::uint32_t piece) {
        const std::ptrdiff_t slot = c.table.Find(piece);
        if (slot < 0) return true;
        for (std::uint32_t e = c.firstEntry[slot]; e < c.firstEntry[slot + 1]; ++e) {
            const PieceClass::Entry entry = c.entries[e];
            if (i < entry.offset) continue;
            const std::size_t start = i - entry.offset;
            if (Matches(entry.keyword, start) && !Add(entry.keyword, start)) {
                return false;
            }
        }
        return true;
    }

    const KeywordScanner& scanner_;
    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t first_;
    std::size_t end_;
    BoundaryMapBuilder& builder_;
    const BitArray& boundaries_;
    std::size_t maxHits_;
    std::size_t hitsLeft_;
    Occurrences& found_;
    const std::vector<std::uint32_t>& shortWords_;
    bool dense_ = false;  // whether the last block had a piece in nearly every step
};

bool KeywordScanner::Scan(std::string_view text, BoundaryMapBuilder& boundaries,
                          std::size_t maxHits, Occurrences& out, SideThread* side) const {
    // Positions are kept in 32 bits.
    if (text.size() > UINT32_MAX) return false;
    out.Reset(keywords_.size());
    constexpr std::size_t kBlock = Pass::kBlock;
    if (!side || text.size() < 4 * kBlock) {
        return Pass(*this, text, 0, text.size(), boundaries, maxHits, out).Run();
    }
    // The halves meet on a block start; the second's occurrences go to the
    // store's rest, read after the first's. The second half's pass and
    // builder are made on the side thread, so that what each thread writes as
    // it goes lies apart. Each half may keep up to `maxHits`; together they
    // must not pass it.
    const std::size_t half = text.size() / 2 / kBlock * kBlock;
    boundaries.StopAt(half);
    Occurrences& rest = out.StartRest(static_cast<std::uint32_t>(half));
    std::size_t firstHits = 0, secondHits = 0;
    bool firstOk = false, secondOk = false;
    side->RunSideBySide(
        [&] {
            Pass first(*this, text, 0, half, boundaries, maxHits, out);
            firstOk = first.Run();
            boundaries.BuildUpTo(half);
            firstHits = first.hits();
        },
        [&, half] {
            BoundaryMapBuilder restBoundaries(boundaries, half);
            Pass second(*this, text, half, text.size(), restBoundaries, maxHits, rest);
            secondOk = second.Run();
            restBoundaries.BuildUpTo(text.size());
            secondHits = second.hits();
        });
    boundaries.RestBuilt();
    return firstOk && secondOk && firstHits + secondHits <= maxHits;
}

}  // namespace quenbol
