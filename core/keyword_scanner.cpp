// Finding many keywords in one pass: pieces, their bit tables, the pass.
#include "core/keyword_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenbol {
namespace {

static_assert(std::endian::native == std::endian::little,
              "pieces are read as little-endian 32-bit loads");

constexpr std::uint32_t kHashMultiplier = 0x9E3779B1u;

std::uint32_t Load32(const unsigned char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

// The first `length` bytes of `bytes` as the low bytes of a 32-bit value.
std::uint32_t PieceOf(const char* bytes, int length) {
    std::uint32_t w = 0;
    std::memcpy(&w, bytes, static_cast<std::size_t>(length));
    return w;
}

std::uint32_t MaskFor(int length) {
    return length == 4 ? ~std::uint32_t{0} : (std::uint32_t{1} << (8 * length)) - 1;
}

// Exact look-up of pieces (never 0: pieces hold no NUL byte) by open addressing.
class PieceTable {
public:
    void Build(std::span<const std::uint32_t> pieces) {
        int bits = 4;
        while ((std::size_t{1} << bits) < pieces.size() * 2) ++bits;
        shift_ = 32 - bits;
        keys_.assign(std::size_t{1} << bits, 0);
        slots_.assign(keys_.size(), 0);
        for (std::uint32_t i = 0; i < pieces.size(); ++i) {
            std::size_t s = Home(pieces[i]);
            while (keys_[s] != 0) s = (s + 1) & (keys_.size() - 1);
            keys_[s] = pieces[i];
            slots_[s] = i;
        }
    }
    // The index given to `piece` in Build, or -1.
    std::int64_t Find(std::uint32_t piece) const {
        for (std::size_t s = Home(piece);; s = (s + 1) & (keys_.size() - 1)) {
            if (keys_[s] == piece) return slots_[s];
            if (keys_[s] == 0) return -1;
        }
    }

private:
    std::size_t Home(std::uint32_t piece) const { return (piece * kHashMultiplier) >> shift_; }
    std::vector<std::uint32_t> keys_;
    std::vector<std::uint32_t> slots_;
    int shift_ = 28;
};

// A table of one byte per slot saying whether some piece may sit there:
// direct for 1- and 2-byte pieces, hashed (2^15 slots, within the first-level
// cache) for longer ones. A byte per slot costs one load to test. The byte is
// a tag made from other bits of the piece (or kShared where pieces collide),
// which throws out most pieces that merely share a slot with a wanted one.
class PieceFilter {
public:
    static constexpr int kHashedBits = 15;
    static constexpr std::uint8_t kShared = 255;

    void Build(int length, std::span<const std::uint32_t> pieces) {
        hashed_ = length > 2;
        slots_.assign(std::size_t{1} << (hashed_ ? kHashedBits : 8 * length), 0);
        for (std::uint32_t p : pieces) {
            std::uint8_t& slot = slots_[Index(p)];
            slot = slot == 0 || slot == Tag(p) ? Tag(p) : kShared;
        }
    }
    bool MayHold(std::uint32_t piece) const { return Admits(slots_[Index(piece)], piece); }
    const std::uint8_t* slots() const { return slots_.data(); }

    // Whether a non-zero slot lets `piece` through.
    static bool Admits(std::uint8_t slot, std::uint32_t piece) {
        return slot == kShared || (slot != 0 && slot == Tag(piece));
    }
    static std::uint8_t Tag(std::uint32_t piece) {
        return static_cast<std::uint8_t>(1 + ((piece * 0x85EBCA77u) >> 25));  // 1 to 128
    }

    static std::uint32_t Hash(std::uint32_t piece) {
        return (piece * kHashMultiplier) >> (32 - kHashedBits);
    }

private:
    std::uint32_t Index(std::uint32_t piece) const { return hashed_ ? Hash(piece) : piece; }
    std::vector<std::uint8_t> slots_;
    bool hashed_ = false;
};

// How often each candidate piece occurs in a sample of the text: up to 16
// stretches of 4 KiB spread evenly over it.
std::vector<std::uint32_t> CountInSample(std::span<const std::uint32_t> pieces,
                                         std::string_view sample) {
    std::vector<std::uint32_t> counts(pieces.size(), 0);
    if (pieces.empty() || sample.size() < 4) return counts;
    PieceTable table;
    table.Build(pieces);
    PieceFilter filter;
    filter.Build(4, pieces);
    constexpr std::size_t kStretch = 4096, kStretches = 16;
    const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
    const std::size_t step = std::max(kStretch, sample.size() / kStretches);
    for (std::size_t from = 0; from + 4 <= sample.size(); from += step) {
        const std::size_t to = std::min(sample.size() - 3, from + kStretch);
        for (std::size_t i = from; i < to; ++i) {
            const std::uint32_t w = Load32(bytes + i);
            if (!filter.MayHold(w)) continue;
            if (const std::int64_t k = table.Find(w); k >= 0) ++counts[k];
        }
    }
    return counts;
}

}  // namespace

// All keywords found through pieces of one length.
struct KeywordScanner::PieceClass {
    struct Entry {
        std::uint32_t keyword;
        std::uint32_t offset;  // where the piece sits in the keyword
    };
    int length = 0;
    std::uint32_t mask = 0;
    PieceFilter filter;
    PieceTable table;                  // piece -> index into `firstEntry`
    std::vector<std::uint32_t> firstEntry;  // entries of piece i: firstEntry[i] to firstEntry[i+1]-1
    std::vector<Entry> entries;

    bool empty() const { return entries.empty(); }
};

KeywordScanner::KeywordScanner(std::span<const std::string_view> keywords, std::string_view sample)
    : keywords_(keywords), heads_(keywords.size()), classes_(5) {
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        const std::size_t n = std::min<std::size_t>(keywords[k].size(), 16);
        unsigned char padded[16] = {}, ones[16] = {};
        std::memcpy(padded, keywords[k].data(), n);
        std::memset(ones, 0xFF, n);
        std::memcpy(heads_[k].bytes, padded, 16);
        std::memcpy(heads_[k].mask, ones, 16);
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
        c.length = length;
        c.mask = MaskFor(length);
        std::vector<std::uint32_t> pieces;
        for (const Choice& choice : list) {
            if (pieces.empty() || pieces.back() != choice.piece) {
                pieces.push_back(choice.piece);
                c.firstEntry.push_back(static_cast<std::uint32_t>(c.entries.size()));
            }
            c.entries.push_back({choice.keyword, choice.offset});
        }
        c.firstEntry.push_back(static_cast<std::uint32_t>(c.entries.size()));
        c.filter.Build(length, pieces);
        c.table.Build(pieces);
    }
}

KeywordScanner::~KeywordScanner() = default;

// One scan of one text, block by block so that the text stays in cache
// between the passes over it: 4-byte pieces through their hashed table, and
// keywords of one to three bytes either compared outright, sixteen positions
// at a time, or through their own tables when there are many of them.
class KeywordScanner::Pass {
public:
    Pass(const KeywordScanner& scanner, std::string_view text, BoundaryMapBuilder& boundaries,
         std::size_t maxHits, Occurrences& out)
        : scanner_(scanner),
          bytes_(reinterpret_cast<const unsigned char*>(text.data())),
          size_(text.size()),
          builder_(boundaries),
          boundaries_(boundaries.map()),
          hitsLeft_(maxHits),
          starts_(out.starts) {
        starts_.assign(scanner.keywords_.size(), {});
        for (std::uint32_t k = 0; k < scanner.keywords_.size(); ++k) {
            if (scanner.keywords_[k].size() < 4) shortWords_.push_back(k);
        }
    }

    bool Run() {
        const bool hasLong = !scanner_.classes_[4].empty();
        const bool compareShort = kCanCompareShort && shortWords_.size() <= kMaxComparedShort;
        if (compareShort) PreparePatterns();
        constexpr std::size_t kBlock = 1 << 14;
        for (std::size_t from = 0; from < size_; from += kBlock) {
            const std::size_t to = std::min(size_, from + kBlock);
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

    // The 4-byte value at i, with zeros past the end of the text.
    std::uint32_t WordAt(std::size_t i) const {
        if (i + 4 <= size_) return Load32(bytes_ + i);
        std::uint32_t w = 0;
        std::memcpy(&w, bytes_ + i, size_ - i);
        return w;
    }

    // Sixteen positions per step: the 4-byte pieces through their table with
    // one branch for all sixteen, and (when kShort) the short keywords
    // compared outright; the two kinds of work overlap in the processor.
    template <bool kLong, bool kShort>
    bool ScanBlock(std::size_t from, std::size_t to) {
        const PieceClass& c = scanner_.classes_[4];
        const std::uint8_t* slots = c.filter.slots();
        const unsigned char* p = bytes_;
        const auto slotAt = [&](std::size_t i) { return slots[PieceFilter::Hash(Load32(p + i))]; };
        std::size_t i = from;
        for (; i + kStep <= to && i + kStep + 3 <= size_; i += kStep) {
            if constexpr (kLong) {
                unsigned any = 0;
                for (std::size_t j = i; j < i + kStep; ++j) any |= slotAt(j);
                if (any != 0) {
                    // Which positions, without a branch per position.
                    unsigned marked = 0;
                    for (std::size_t j = 0; j < kStep; ++j) marked |= unsigned{slotAt(i + j) != 0} << j;
                    for (; marked != 0; marked &= marked - 1) {
                        const std::size_t j = i + std::countr_zero(marked);
                        const std::uint32_t w = Load32(p + j);
                        if (PieceFilter::Admits(slotAt(j), w) && !Collect(c, j, w)) return false;
                    }
                }
            }
            if constexpr (kShort) {
                for (unsigned mask = ShortMask(i); mask != 0; mask &= mask - 1) {
                    if (!CollectShort(i + std::countr_zero(mask))) return false;
                }
            }
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
        starts_[keyword].push_back(static_cast<std::uint32_t>(start));
        return true;
    }

    bool Matches(std::uint32_t keyword, std::size_t start) const {
        const std::string_view word = scanner_.keywords_[keyword];
        if (word.size() > size_ - start || !boundaries_.Test(start)) return false;
        if (size_ - start < 16) return std::memcmp(bytes_ + start, word.data(), word.size()) == 0;
        const Head& head = scanner_.heads_[keyword];
        std::uint64_t at[2];
        std::memcpy(at, bytes_ + start, 16);
        if (((at[0] ^ head.bytes[0]) & head.mask[0]) != 0 ||
            ((at[1] ^ head.bytes[1]) & head.mask[1]) != 0) {
            return false;
        }
        return word.size() <= 16 ||
               std::memcmp(bytes_ + start + 16, word.data() + 16, word.size() - 16) == 0;
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
        const std::int64_t slot = c.table.Find(piece);
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
    BoundaryMapBuilder& builder_;
    const BitArray& boundaries_;
    std::size_t hitsLeft_;
    std::vector<std::vector<std::uint32_t>>& starts_;
    std::vector<std::uint32_t> shortWords_;  // keywords of one to three bytes
};

bool KeywordScanner::Scan(std::string_view text, BoundaryMapBuilder& boundaries,
                          std::size_t maxHits, Occurrences& out) const {
    // Positions are kept in 32 bits.
    if (text.size() > UINT32_MAX) return false;
    return Pass(*this, text, boundaries, maxHits, out).Run();
}

}  // namespace quenbol
