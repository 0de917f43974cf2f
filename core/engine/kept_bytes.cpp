// The bytes still there after deletions played out on a bit per byte: a
// one-byte word removed from them without moving a byte, and the kept bytes
// closed up, eight at a time through tables per 8-bit mask.
#include "core/engine/kept_bytes.h"

#include <array>
#include <bit>
#include <cstring>

#include "core/engine/boundary_map.h"
#include "core/text/cp932.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenbol {
namespace {

// Bit i set when bytes[i] == byte; `bytes` holds 64 bytes.
std::uint64_t ByteMask64(const unsigned char* bytes, unsigned char byte) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(byte));
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
        const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)));
        mask |= static_cast<std::uint64_t>(bits & 0xFFFF) << (16 * part);
    }
    return mask;
#else
    std::uint32_t half[2] = {0, 0};
    for (int h = 0; h < 2; ++h) {
        for (int i = 0; i < 32; ++i) half[h] |= std::uint32_t{bytes[32 * h + i] == byte} << i;
    }
    return half[0] | static_cast<std::uint64_t>(half[1]) << 32;
#endif
}

// For an 8-bit mask m: kKeptBefore[m][j] is how many bits below bit j are
// set (where byte j of a group goes among the kept ones), and kKeptAt[m][i]
// which bit is the i-th set one.
using ByteTable = std::array<std::array<std::uint8_t, 8>, 256>;
constexpr ByteTable kKeptBefore = [] {
    ByteTable table{};
    for (unsigned m = 0; m < 256; ++m) {
        for (unsigned j = 0; j < 8; ++j) table[m][j] = static_cast<std::uint8_t>(std::popcount(m & ((1u << j) - 1)));
    }
    return table;
}();
constexpr ByteTable kKeptAt = [] {
    ByteTable table{};
    for (unsigned m = 0; m < 256; ++m) {
        unsigned i = 0;
        for (unsigned j = 0; j < 8; ++j) {
            if (m >> j & 1) table[m][i++] = static_cast<std::uint8_t>(j);
        }
    }
    return table;
}();

// Bits set in an 8-bit mask: those below bit 7, and bit 7. The table's row
// is read anyway, where CountBits would take a dozen instructions.
unsigned SetIn8(unsigned mask) { return kKeptBefore[mask][7] + (mask >> 7); }

// The bytes of the 64 at `in` whose bits in `keep` are set, written in order
// from `out`; returns how many. Eight at a time, each byte stored where the
// kept ones before it put it, one not kept where the next kept one will go:
// no branch per byte, and the stores do not wait on one another. A group's
// eight bytes are all read before any is stored over and no store goes past
// the last of them, so `out` may lie at or below `in` in one buffer; it may
// take one byte past the kept ones.
std::size_t KeepOf64(const char* in, std::uint64_t keep, char* out) {
    std::size_t write = 0;
    for (int g = 0; g < 64; g += 8, keep >>= 8) {
        const unsigned mask = static_cast<unsigned>(keep & 0xFF);
        char group[8];
        std::memcpy(group, in + g, 8);
        const std::array<std::uint8_t, 8>& to = kKeptBefore[mask];
        for (unsigned j = 0; j < 8; ++j) out[write + to[j]] = group[j];
        write += SetIn8(mask);
    }
    return write;
}

// Where in the block bytes of a KeepOf64 copy came from: bit i of `copied`
// stands for byte i of the copy, a bit of the result for a byte of the block.
std::uint64_t OriginOf64(std::uint64_t copied, std::uint64_t keep) {
    std::uint64_t origin = 0;
    for (int g = 0; g < 64 && copied; g += 8, keep >>= 8) {
        const unsigned mask = static_cast<unsigned>(keep & 0xFF);
        const unsigned kept = SetIn8(mask);
        for (unsigned here = static_cast<unsigned>(copied) & ((1u << kept) - 1); here; here &= here - 1) {
            origin |= std::uint64_t{1} << (g + kKeptAt[mask][std::countr_zero(here)]);
        }
        copied >>= kept;
    }
    return origin;
}

// The occurrences of `byte` among the first `count` (1 to 64) of the 64 bytes at
// `bytes` (by the rule below), with `carry` carried into and out of them.
std::uint64_t ByteStarts(const unsigned char* bytes, std::size_t count, unsigned char byte,
                         std::uint64_t& carry) {
    const std::uint64_t valid = ~std::uint64_t{0} >> (64 - count);
    const std::uint64_t same = ByteMask64(bytes, byte) & valid;
    const std::uint64_t otherLead = LeadMask64(bytes) & ~same & valid;
    std::uint64_t out = carry;
    const std::uint64_t trail = TrailBytes(otherLead, out);
    // Out of fewer than 64: from the last of them, a lead byte that starts a character.
    carry = count == 64 ? out : ((otherLead & ~trail) >> (count - 1)) & 1;
    return same & ~trail;
}

}  // namespace

// The walk of RemoveAllOfByte, seen per byte: after the word's byte, kept
// (as a second byte) or deleted (at a character start), the next byte
// starts a character, just as after a byte outside the lead range. So a kept
// byte starts a character exactly when the run of lead-range bytes other
// than the word's byte right before it has even length: the boundary rule
// with the word's byte taken out of the lead range, worked out 64 bytes at a
// time as the boundary map does. The occurrences are the word's bytes on
// such starts. A block with bytes already gone works the rule out on its
// kept bytes moved together, and the text's last block takes the walk itself.
std::int64_t RemoveByteOfKept(std::string_view text, BitArray& kept, unsigned char byte,
                              MatchReport* report, std::uint32_t word) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::uint64_t* const bits = kept.words();
    const std::size_t n = text.size();
    std::uint64_t carry = 0;  // the next kept byte is a second byte
    std::int64_t count = 0;
    for (std::size_t block = 0; block < n; block += 64) {
        const std::size_t w = block / 64;
        const std::size_t size = std::min<std::size_t>(64, n - block);
        std::uint64_t taken = 0;
        if (size == 64 && bits[w] == ~std::uint64_t{0}) {
            taken = ByteStarts(bytes + block, 64, byte, carry);
        } else if (size == 64) {  // bytes already gone: the same rule on the kept ones, moved together
            char together[64];
            const std::size_t k = KeepOf64(text.data() + block, bits[w], together);
            if (k > 0) {
                std::memset(together + k, 0, 64 - k);
                const auto* moved = reinterpret_cast<const unsigned char*>(together);
                taken = OriginOf64(ByteStarts(moved, k, byte, carry), bits[w]);
            }
        } else {
            for (std::size_t i = 0; i < size; ++i) {
                if (!((bits[w] >> i) & 1)) continue;
                const unsigned char b = bytes[block + i];
                if (b == byte && !carry) {
                    taken |= std::uint64_t{1} << i;
                } else {
                    carry = (b != byte && IsLeadByte(b)) ? carry ^ 1 : 0;
                }
            }
        }
        bits[w] &= ~taken;
        count += CountBits(taken);
        if (report) {
            for (; taken; taken &= taken - 1) {
                const auto at = static_cast<std::uint32_t>(block + std::countr_zero(taken));
                report->AddMatch(word, at, at + 1);
            }
        }
    }
    return count;
}

std::size_t KeepBytes(std::string_view text, const BitArray& kept, char* out) {
    const char* const in = text.data();
    const std::uint64_t* const bits = kept.words();
    const std::size_t n = text.size();
    std::size_t write = 0;
    for (std::size_t block = 0; block < n; block += 64) {
        std::uint64_t keep = bits[block / 64];
        const std::size_t size = std::min<std::size_t>(64, n - block);
        if (keep == ~std::uint64_t{0} && size == 64) {  // whole blocks in a row: one move
            std::size_t end = block + 64;
            while (end + 64 <= n && bits[end / 64] == ~std::uint64_t{0}) end += 64;
            std::memmove(out + write, in + block, end - block);
            write += end - block;
            block = end - 64;
            continue;
        }
        if (size < 64) {
            for (std::size_t i = 0; i < size; ++i, keep >>= 1) {
                out[write] = in[block + i];
                write += keep & 1;
            }
            continue;
        }
        write += KeepOf64(in + block, keep, out + write);
    }
    return write;
}

}  // namespace quenbol
