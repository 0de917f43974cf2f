// Pieces of keywords (their first one to four bytes, or any four of them,
// read as a little-endian 32-bit value): an exact table of pieces, a filter
// that rules out almost every position with one load, and a count of pieces
// in a sample of the text.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace quenbol {

static_assert(std::endian::native == std::endian::little,
              "pieces are read as little-endian 32-bit loads");

constexpr std::uint32_t kHashMultiplier = 0x9E3779B1u;

inline std::uint32_t Load32(const unsigned char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

// The first `length` bytes of `bytes` as the low bytes of a 32-bit value.
inline std::uint32_t PieceOf(const char* bytes, int length) {
    std::uint32_t w = 0;
    std::memcpy(&w, bytes, static_cast<std::size_t>(length));
    return w;
}

inline std::uint32_t MaskFor(int length) {
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
    std::ptrdiff_t Find(std::uint32_t piece) const {
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
                                         std::string_view sample);

}  // namespace quenbol
