// A fixed-size array of bits, one per byte of a text, stored 64 to a word,
// with the range operations the counting engine needs: all set, count set,
// clear, and the nearest set bit before or after a position.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace quenbol {

// Set bits of `bits` (a 32- or 64-bit word). Without a population count
// instruction std::popcount becomes a library call that looks bytes up in a
// table; this is faster.
template <class Word>
inline int CountBits(Word bits) {
    static_assert(std::is_unsigned_v<Word> && sizeof(Word) >= 4);
#if defined(__POPCNT__)
    return std::popcount(bits);
#else
    constexpr Word k1 = static_cast<Word>(0x5555555555555555ULL);
    constexpr Word k2 = static_cast<Word>(0x3333333333333333ULL);
    constexpr Word k4 = static_cast<Word>(0x0F0F0F0F0F0F0F0FULL);
    constexpr Word kBytes = static_cast<Word>(0x0101010101010101ULL);
    bits -= (bits >> 1) & k1;
    bits = (bits & k2) + ((bits >> 2) & k2);
    bits = (bits + (bits >> 4)) & k4;
    return static_cast<int>(static_cast<Word>(bits * kBytes) >> (sizeof(Word) * 8 - 8));
#endif
}

class BitArray {
public:
    BitArray() = default;
    BitArray(std::size_t size, bool value) { Assign(size, value); }

    // Resizes to `size` bits, all set to `value`. Bits past the end stay clear.
    void Assign(std::size_t size, bool value) {
        size_ = size;
        words_.assign(WordCount(size) + 1, value ? ~std::uint64_t{0} : 0);
        ClearTail();
    }

    std::size_t size() const { return size_; }
    // The bits Assign can hold without allocating.
    std::size_t capacity() const { return words_.capacity() == 0 ? 0 : (words_.capacity() - 1) * 64; }
    std::uint64_t* words() { return words_.data(); }
    const std::uint64_t* words() const { return words_.data(); }
    std::size_t wordCount() const { return WordCount(size_); }

    bool Test(std::size_t i) const { return (UnitAt(i / kUnitBits) >> (i % kUnitBits)) & 1; }

    // Bits [first, last] (inclusive) are all set.
    bool AllSet(std::size_t first, std::size_t last) const {
        std::size_t u = first / kUnitBits;
        const std::size_t lastUnit = last / kUnitBits;
        const Unit head = kAll << (first % kUnitBits);
        const Unit tail = kAll >> (kUnitBits - 1 - last % kUnitBits);
        if (u == lastUnit) return (UnitAt(u) & head & tail) == (head & tail);
        if ((UnitAt(u) & head) != head) return false;
        for (++u; u < lastUnit; ++u) {
            if (UnitAt(u) != kAll) return false;
        }
        return (UnitAt(lastUnit) & tail) == tail;
    }

    // How many of bits [first, last] (inclusive) are set.
    std::size_t CountSet(std::size_t first, std::size_t last) const {
        std::size_t u = first / kUnitBits;
        const std::size_t lastUnit = last / kUnitBits;
        const Unit head = kAll << (first % kUnitBits);
        const Unit tail = kAll >> (kUnitBits - 1 - last % kUnitBits);
        if (u == lastUnit) return CountBits(UnitAt(u) & head & tail);
        std::size_t n = CountBits(UnitAt(u) & head);
        for (++u; u < lastUnit; ++u) n += CountBits(UnitAt(u));
        return n + CountBits(UnitAt(lastUnit) & tail);
    }

    // Clears bits [first, last] (inclusive).
    void ClearRange(std::size_t first, std::size_t last) {
        std::size_t u = first / kUnitBits;
        const std::size_t lastUnit = last / kUnitBits;
        const Unit head = kAll << (first % kUnitBits);
        const Unit tail = kAll >> (kUnitBits - 1 - last % kUnitBits);
        if (u == lastUnit) {
            SetUnit(u, UnitAt(u) & ~(head & tail));
            return;
        }
        SetUnit(u, UnitAt(u) & ~head);
        for (++u; u < lastUnit; ++u) SetUnit(u, 0);
        SetUnit(lastUnit, UnitAt(lastUnit) & ~tail);
    }

    // The first set bit at or after `from`, or size() if there is none.
    std::size_t NextSet(std::size_t from) const { return Next(from, 0); }

    // The first clear bit at or after `from`, or size() if there is none.
    std::size_t NextClear(std::size_t from) const { return Next(from, kAll); }

    // The last set bit at or before `from` and not before `lowest`, or npos
    // if there is none. No unit wholly before `lowest` is read.
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t PrevSet(std::size_t from, std::size_t lowest = 0) const {
        if (from == npos || from < lowest) return npos;
        std::size_t u = from / kUnitBits;
        const std::size_t lowestUnit = lowest / kUnitBits;
        Unit bits = UnitAt(u) & (kAll >> (kUnitBits - 1 - from % kUnitBits));
        while (bits == 0) {
            if (u == lowestUnit) return npos;
            bits = UnitAt(--u);
        }
        const std::size_t i = u * kUnitBits + kUnitBits - 1 - std::countl_zero(bits);
        return i >= lowest ? i : npos;
    }

private:
    // The range operations read and write the processor's own word: on a
    // 32-bit processor a 64-bit word takes two registers and each shift of
    // it several instructions, so there they take the words as halves
    // (the array lies in memory little-endian).
    using Unit = std::conditional_t<(sizeof(void*) < 8), std::uint32_t, std::uint64_t>;
    static constexpr std::size_t kUnitBits = sizeof(Unit) * 8;
    static constexpr Unit kAll = ~Unit{0};
    static_assert(std::endian::native == std::endian::little);

    Unit UnitAt(std::size_t u) const {
        Unit bits;
        std::memcpy(&bits, reinterpret_cast<const unsigned char*>(words_.data()) + u * sizeof(Unit), sizeof bits);
        return bits;
    }
    void SetUnit(std::size_t u, Unit bits) {
        std::memcpy(reinterpret_cast<unsigned char*>(words_.data()) + u * sizeof(Unit), &bits, sizeof bits);
    }

    // The first bit at or after `from` that differs from the bits of `skip`.
    std::size_t Next(std::size_t from, Unit skip) const {
        if (from >= size_) return size_;
        std::size_t u = from / kUnitBits;
        Unit bits = (UnitAt(u) ^ skip) & (kAll << (from % kUnitBits));
        const std::size_t end = (size_ + kUnitBits - 1) / kUnitBits;
        while (bits == 0) {
            if (++u >= end) return size_;
            bits = UnitAt(u) ^ skip;
        }
        const std::size_t i = u * kUnitBits + std::countr_zero(bits);
        return i < size_ ? i : size_;
    }

    static std::size_t WordCount(std::size_t bits) { return (bits + 63) / 64; }

    void ClearTail() {
        const std::size_t used = WordCount(size_);
        if (size_ & 63) words_[used - 1] &= ~std::uint64_t{0} >> (64 - (size_ & 63));
        for (std::size_t w = used; w < words_.size(); ++w) words_[w] = 0;
    }

    std::size_t size_ = 0;
    std::vector<std::uint64_t> words_;  // one spare zero word past the end
};

}  // namespace quenbol
