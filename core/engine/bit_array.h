// A fixed-size array of bits, one per byte of a text, stored 64 to a word,
// with the range operations the counting engine needs: all set, count set,
// clear, and the nearest set bit before or after a position.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenbol {

// Set bits of `bits`. Without a population count instruction std::popcount
// becomes a library call that looks bytes up in a table; this is faster.
inline int CountBits(std::uint64_t bits) {
#if defined(__POPCNT__)
    return std::popcount(bits);
#else
    bits -= (bits >> 1) & 0x5555555555555555ULL;
    bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((bits * 0x0101010101010101ULL) >> 56);
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
    std::uint64_t* words() { return words_.data(); }
    const std::uint64_t* words() const { return words_.data(); }
    std::size_t wordCount() const { return WordCount(size_); }

    bool Test(std::size_t i) const { return (words_[i >> 6] >> (i & 63)) & 1; }

    // Bits [first, last] (inclusive) are all set.
    bool AllSet(std::size_t first, std::size_t last) const {
        std::size_t w = first >> 6;
        const std::size_t lastWord = last >> 6;
        const std::uint64_t head = ~std::uint64_t{0} << (first & 63);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - (last & 63));
        if (w == lastWord) return (words_[w] & head & tail) == (head & tail);
        if ((words_[w] & head) != head) return false;
        for (++w; w < lastWord; ++w) {
            if (words_[w] != ~std::uint64_t{0}) return false;
        }
        return (words_[lastWord] & tail) == tail;
    }

    // How many of bits [first, last] (inclusive) are set.
    std::size_t CountSet(std::size_t first, std::size_t last) const {
        std::size_t w = first >> 6;
        const std::size_t lastWord = last >> 6;
        const std::uint64_t head = ~std::uint64_t{0} << (first & 63);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - (last & 63));
        if (w == lastWord) return CountBits(words_[w] & head & tail);
        std::size_t n = CountBits(words_[w] & head);
        for (++w; w < lastWord; ++w) n += CountBits(words_[w]);
        return n + CountBits(words_[lastWord] & tail);
    }

    // Clears bits [first, last] (inclusive).
    void ClearRange(std::size_t first, std::size_t last) {
        std::size_t w = first >> 6;
        const std::size_t lastWord = last >> 6;
        const std::uint64_t head = ~std::uint64_t{0} << (first & 63);
        const std::uint64_t tail = ~std::uint64_t{0} >> (63 - (last & 63));
        if (w == lastWord) {
            words_[w] &= ~(head & tail);
            return;
        }
        words_[w] &= ~head;
        for (++w; w < lastWord; ++w) words_[w] = 0;
        words_[lastWord] &= ~tail;
    }

    // The first set bit at or after `from`, or size() if there is none.
    std::size_t NextSet(std::size_t from) const {
        if (from >= size_) return size_;
        std::size_t w = from >> 6;
        std::uint64_t bits = words_[w] & (~std::uint64_t{0} << (from & 63));
        const std::size_t end = wordCount();
        while (bits == 0) {
            if (++w >= end) return size_;
            bits = words_[w];
        }
        const std::size_t i = (w << 6) + std::countr_zero(bits);
        return i < size_ ? i : size_;
    }

    // The first clear bit at or after `from`, or size() if there is none.
    std::size_t NextClear(std::size_t from) const {
        if (from >= size_) return size_;
        std::size_t w = from >> 6;
        std::uint64_t bits = ~words_[w] & (~std::uint64_t{0} << (from & 63));
        const std::size_t end = wordCount();
        while (bits == 0) {
            if (++w >= end) return size_;
            bits = ~words_[w];
        }
        const std::size_t i = (w << 6) + std::countr_zero(bits);
        return i < size_ ? i : size_;
    }

    // The last set bit at or before `from` and not before `lowest`, or npos
    // if there is none. No word wholly before `lowest` is read.
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t PrevSet(std::size_t from, std::size_t lowest = 0) const {
        if (from == npos || from < lowest) return npos;
        std::size_t w = from >> 6;
        const std::size_t lowestWord = lowest >> 6;
        std::uint64_t bits = words_[w] & (~std::uint64_t{0} >> (63 - (from & 63)));
        while (bits == 0) {
            if (w == lowestWord) return npos;
            bits = words_[--w];
        }
        const std::size_t i = (w << 6) + 63 - std::countl_zero(bits);
        return i >= lowest ? i : npos;
    }

private:
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
