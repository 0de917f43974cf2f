// Which bytes of a code page 932 text start a character, for all bytes at
// once. A walk from the text start takes a lead byte (0x81-0x9F, 0xE0-0xFC)
// together with the byte after it; so a byte starts a character exactly when
// the run of lead-range bytes right before it (back to the text start or to a
// byte outside that range) has even length. That rule is worked out 64 bytes
// at a time with carries, and it agrees with the walk on any bytes at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "core/engine/bit_array.h"

namespace quenbol {

// Bit i set when bytes[i] is in the lead range; `bytes` holds 64 bytes.
std::uint64_t LeadMask64(const unsigned char* bytes);

// Second bytes of two-byte characters within one 64-byte block. `lead` is
// the block's lead-range mask; `carry` says the block's first byte is the
// second byte of a character begun in the block before, and on return says
// the same of the next block.
std::uint64_t TrailBytes(std::uint64_t lead, std::uint64_t& carry);

// Bit i is set when byte i of `text` starts a character.
BitArray BuildBoundaryMap(std::string_view text);

// The same map built in steps, so that a pass over the text can use each
// stretch of it while that stretch is still in cache; and built in two
// stretches at once, by two threads, into the one map.
class BoundaryMapBuilder {
public:
    // Builds into `storage`'s memory when given (a map of an earlier text,
    // say, which Take gives back): a map of 10 MB is 1.25 MB, which is
    // fresh memory, a page fault per 4 KiB, each time it is allocated anew.
    explicit BoundaryMapBuilder(std::string_view text, BitArray storage = {});
    BoundaryMapBuilder(const BoundaryMapBuilder&) = delete;
    BoundaryMapBuilder& operator=(const BoundaryMapBuilder&) = delete;

    // Makes the bits of all bytes before `end` (at least) ready.
    void BuildUpTo(std::size_t end);
    const BitArray& map() const { return *map_; }
    BitArray Take() { return std::move(own_); }

    // Building in two stretches at once: the whole text's builder stops at
    // `at` (a multiple of 64 it has not passed), and a second one, which may
    // run on another thread, builds the bytes from `at` on into the same
    // map. Once that one is done, RestBuilt tells this builder that every
    // bit is ready.
    void StopAt(std::size_t at) { end_ = at; }
    BoundaryMapBuilder(const BoundaryMapBuilder& whole, std::size_t from);
    void RestBuilt();

private:
    std::string_view text_;
    BitArray own_;             // the map, in the builder that made it
    BitArray* map_;
    std::size_t done_ = 0;     // bytes whose bits are ready, a multiple of 64
    std::size_t end_;          // bytes this builder builds bits for
    std::uint64_t carry_ = 0;  // the next byte is a second byte
};

}  // namespace quenbol
