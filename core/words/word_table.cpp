#include "core/words/word_table.h"

#include <cstring>

namespace quenbol {
namespace {

std::uint32_t Read32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace

const WordTable& WordTable::BuiltIn() {
    static const WordTable table(quenbol_word_table_bytes);
    return table;
}

WordTable::WordTable(const unsigned char* bytes) {
    // The generator writes "QWD2", the count, the two-byte index, the
    // offsets, the costs, the words.
    if (std::memcmp(bytes, "QWD2", 4) != 0) return;  // an empty table marks nothing
    count_ = Read32(bytes + 4);
    first_ = bytes + 8;
    offsets_ = first_ + 4 * 65537;
    costs_ = offsets_ + 4 * (count_ + 1);
    words_ = costs_ + 2 * count_;
}

std::size_t WordTable::Offset(std::size_t i) const { return Read32(offsets_ + 4 * i); }

std::string_view WordTable::Word(std::size_t i) const {
    return {reinterpret_cast<const char*>(words_) + Offset(i), Length(i)};
}

int WordTable::Cost(std::size_t i) const {
    return static_cast<std::int16_t>(costs_[2 * i] | (costs_[2 * i + 1] << 8));
}

bool WordTable::OneByteWord(unsigned char b, std::size_t& at) const {
    at = Read32(first_ + 4 * (b << 8));  // filed under b followed by 0, before every longer word
    return at < count_ && Length(at) == 1 && words_[Offset(at)] == b;
}

void WordTable::FirstTwo(unsigned char b0, unsigned char b1, std::size_t& lo, std::size_t& hi) const {
    const std::size_t k = b0 << 8 | b1;
    lo = Read32(first_ + 4 * k);
    hi = Read32(first_ + 4 * (k + 1));
    if (lo < hi && Length(lo) == 1) ++lo;  // the one-byte word b0, filed under b0 followed by 0
}

void WordTable::Narrow(std::size_t depth, unsigned char b, std::size_t& lo, std::size_t& hi) const {
    // A word no longer than depth sorts first and counts as below every byte.
    auto below = [&](std::size_t i, int than) {
        int at = Length(i) > depth ? words_[Offset(i) + depth] : -1;
        return at < than;
    };
    std::size_t first = lo, count = hi - lo;
    while (count > 0) {
        std::size_t half = count / 2;
        if (below(first + half, b)) first += half + 1, count -= half + 1;
        else count = half;
    }
    std::size_t last = first;
    count = hi - first;
    while (count > 0) {
        std::size_t half = count / 2;
        if (below(last + half, b + 1)) last += half + 1, count -= half + 1;
        else count = half;
    }
    lo = first;
    hi = last;
}

}  // namespace quenbol
