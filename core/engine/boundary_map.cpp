// Character starts of a code page 932 text, 64 bytes per step.
#include "core/engine/boundary_map.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "core/text/cp932.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenbol {
namespace {

constexpr std::uint64_t kEvenBits = 0x5555555555555555ULL;
constexpr std::uint64_t kOddBits = ~kEvenBits;

#if !defined(__SSE2__)
constexpr auto kLeadTable = [] {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) table[b] = IsLeadByte(static_cast<unsigned char>(b)) ? 1 : 0;
    return table;
}();
#endif

}  // namespace

std::uint64_t LeadMask64(const unsigned char* bytes) {
#if defined(__SSE2__)
    // Unsigned range tests by subtract-and-saturate: b - 0x81 <= 0x1E, b - 0xE0 <= 0x1C.
    const __m128i low = _mm_set1_epi8(static_cast<char>(0x81));
    const __m128i lowSpan = _mm_set1_epi8(0x1E);
    const __m128i high = _mm_set1_epi8(static_cast<char>(0xE0));
    const __m128i highSpan = _mm_set1_epi8(0x1C);
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
        const __m128i inLow = _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(v, low), lowSpan), zero);
        const __m128i inHigh = _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(v, high), highSpan), zero);
        const auto bits =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(inLow, inHigh)));
        mask |= static_cast<std::uint64_t>(bits & 0xFFFF) << (16 * part);
    }
    return mask;
#else
    // Two 32-bit halves: cheap on the 32-bit targets that take this path.
    std::uint32_t half[2] = {0, 0};
    for (int h = 0; h < 2; ++h) {
        for (int i = 0; i < 32; ++i) half[h] |= std::uint32_t{kLeadTable[bytes[32 * h + i]]} << i;
    }
    return half[0] | static_cast<std::uint64_t>(half[1]) << 32;
#endif
}

std::uint64_t TrailBytes(std::uint64_t lead, std::uint64_t& carry) {
    // A second byte starts nothing, even when it is in the lead range; every
    // run left in `lead` then begins on a character start.
    lead &= ~carry;
    const std::uint64_t runStarts = lead & ~(lead << 1);
    // Adding a run's start bit to the run carries through it: the sum differs
    // from `lead` on the run and the byte after it, but only for runs that
    // begin on an odd bit.
    const std::uint64_t oddRuns = (lead + (runStarts & kOddBits)) ^ lead;
    // Within a run and on the byte after it, the second bytes are every other
    // byte counted from the run's start.
    const std::uint64_t afterLead = lead << 1;
    const std::uint64_t trail =
        (afterLead & ((oddRuns & kEvenBits) | (~oddRuns & kOddBits))) | carry;
    carry = (lead >> 63) & ~(trail >> 63) & 1;
    return trail;
}

BoundaryMapBuilder::BoundaryMapBuilder(std::string_view text, BitArray storage)
    : text_(text), own_(std::move(storage)), map_(&own_), end_(text.size()) {
    own_.Assign(text.size(), false);
}

BoundaryMapBuilder::BoundaryMapBuilder(const BoundaryMapBuilder& whole, std::size_t from)
    : text_(whole.text_), map_(whole.map_), done_(from), end_(whole.text_.size()) {
    // The byte at `from` is a second byte when the run of lead-range bytes
    // right before it is of odd length.
    std::size_t run = 0;
    while (run < from && IsLeadByte(static_cast<unsigned char>(text_[from - 1 - run]))) ++run;
    carry_ = run % 2;
}

void BoundaryMapBuilder::RestBuilt() {
    end_ = text_.size();
    done_ = (end_ + 63) / 64 * 64;
}

void BoundaryMapBuilder::BuildUpTo(std::size_t end) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
    std::uint64_t* out = map_->words();
    end = std::min(end, end_);
    for (; done_ < end; done_ += 64) {
        if (done_ + 64 <= text_.size()) {
            out[done_ / 64] = ~TrailBytes(LeadMask64(bytes + done_), carry_);
            continue;
        }
        const std::size_t rest = text_.size() - done_;
        unsigned char last[64] = {};  // zero padding is outside the lead range
        std::memcpy(last, bytes + done_, rest);
        out[done_ / 64] =
            ~TrailBytes(LeadMask64(last), carry_) & (~std::uint64_t{0} >> (64 - rest));
    }
}

BitArray BuildBoundaryMap(std::string_view text) {
    BoundaryMapBuilder builder(text);
    builder.BuildUpTo(text.size());
    return builder.Take();
}

}  // namespace quenbol
