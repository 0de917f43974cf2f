// Finding many keywords in one pass: pieces, their bit tables, the pass.
#include "core/keyword_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quenbol {
namespace {

static_assert(std::endian::native == std::endian::little,
              "pieces are read as little-endian 32-bit loads");

constexpr std::uint32_t kHashMultiplier = 0x9E3779B1u;
constexpr int kHashedFilterBits = 17;  // 16 KiB of bits: stays in the first-level cache

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

// A bit table over pieces: direct for 1- and 2-byte pieces, hashed above.
class PieceFilter {
public:
    void Build(int length, std::span<const std::uint32_t> pieces) {
        hashed_ = length > 2;
        const int bits = hashed_ ? kHashedFilterBits : 8 * length;
        shift_ = 32 - bits;
        bits_.assign((std::size_t{1} << bits) / 64 + 1, 0);
        for (std::uint32_t p : pieces) {
            const std::uint32_t i = Index(p);
            bits_[i >> 6] |= std::uint64_t{1} << (i & 63);
        }
    }
    bool MayHold(std::uint32_t piece) const {
        const std::uint32_t i = Index(piece);
        return (bits_[i >> 6] >> (i & 63)) & 1;
    }

private:
    std::uint32_t Index(std::uint32_t piece) const {
        return hashed_ ? (piece * kHashMultiplier) >> shift_ : piece;
    }
    std::vector<std::uint64_t> bits_;
    int shift_ = 0;
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
    : keywords_(keywords), classes_(5) {
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

// One scan of one text: the loop over positions and the full comparison of
// the positions that the bit tables let through.
class KeywordScanner::Pass {
public:
    Pass(const KeywordScanner& scanner, std::string_view text, const BitArray& boundaries,
         std::size_t maxHits, Occurrences& out)
        : scanner_(scanner),
          bytes_(reinterpret_cast<const unsigned char*>(text.data())),
          size_(text.size()),
          boundaries_(boundaries),
          hitsLeft_(maxHits),
          starts_(out.starts) {
        starts_.assign(scanner.keywords_.size(), {});
    }

    bool Run() {
        const auto& c = scanner_.classes_;
        const int which = (c[1].empty() ? 0 : 1) | (c[2].empty() ? 0 : 2) |
                          (c[3].empty() ? 0 : 4) | (c[4].empty() ? 0 : 8);
        switch (which) {
            case 0: return true;
            case 1: return Loop<1>();
            case 2: return Loop<2>();
            case 3: return Loop<3>();
            case 4: return Loop<4>();
            case 5: return Loop<5>();
            case 6: return Loop<6>();
            case 7: return Loop<7>();
            case 8: return Loop<8>();
            case 9: return Loop<9>();
            case 10: return Loop<10>();
            case 11: return Loop<11>();
            case 12: return Loop<12>();
            case 13: return Loop<13>();
            case 14: return Loop<14>();
            default: return Loop<15>();
        }
    }

private:
    // `Classes` has bit (length - 1) set for each piece length in use.
    template <int Classes>
    bool Loop() {
        std::size_t i = 0;
        for (; i + 4 <= size_; ++i) {
            if (!Probe<Classes>(i, Load32(bytes_ + i))) return false;
        }
        for (; i < size_; ++i) {  // the last bytes, padded with zeros
            std::uint32_t w = 0;
            std::memcpy(&w, bytes_ + i, size_ - i);
            if (!Probe<Classes>(i, w)) return false;
        }
        return true;
    }

    template <int Classes>
    bool Probe(std::size_t i, std::uint32_t w) {
        const auto& c = scanner_.classes_;
        if constexpr ((Classes & 8) != 0) {
            if (c[4].filter.MayHold(w) && !Collect(c[4], i, w)) return false;
        }
        if constexpr ((Classes & 4) != 0) {
            if (c[3].filter.MayHold(w & 0xFFFFFF) && !Collect(c[3], i, w & 0xFFFFFF)) return false;
        }
        if constexpr ((Classes & 2) != 0) {
            if (c[2].filter.MayHold(w & 0xFFFF) && !Collect(c[2], i, w & 0xFFFF)) return false;
        }
        if constexpr ((Classes & 1) != 0) {
            if (c[1].filter.MayHold(w & 0xFF) && !Collect(c[1], i, w & 0xFF)) return false;
        }
        return true;
    }

    // The piece at `i` passed the bit table: compare the keywords behind it.
    [[gnu::noinline]] bool Collect(const PieceClass& c, std::size_t i, std::uint32_t piece) {
        const std::int64_t slot = c.table.Find(piece);
        if (slot < 0) return true;
        for (std::uint32_t e = c.firstEntry[slot]; e < c.firstEntry[slot + 1]; ++e) {
            const PieceClass::Entry entry = c.entries[e];
            const std::string_view word = scanner_.keywords_[entry.keyword];
            if (i < entry.offset) continue;
            const std::size_t start = i - entry.offset;
            if (word.size() > size_ - start || !boundaries_.Test(start)) continue;
            if (std::memcmp(bytes_ + start, word.data(), word.size()) != 0) continue;
            if (hitsLeft_ == 0) return false;
            --hitsLeft_;
            starts_[entry.keyword].push_back(static_cast<std::uint32_t>(start));
        }
        return true;
    }

    const KeywordScanner& scanner_;
    const unsigned char* bytes_;
    std::size_t size_;
    const BitArray& boundaries_;
    std::size_t hitsLeft_;
    std::vector<std::vector<std::uint32_t>>& starts_;
};

bool KeywordScanner::Scan(std::string_view text, const BitArray& boundaries,
                          std::size_t maxHits, Occurrences& out) const {
    // Positions are kept in 32 bits.
    if (text.size() > UINT32_MAX) return false;
    return Pass(*this, text, boundaries, maxHits, out).Run();
}

}  // namespace quenbol
