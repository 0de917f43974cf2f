// One pass over a text that finds every occurrence of many keywords at once,
// each starting on a character boundary. Each keyword is looked for through
// one piece of it (up to four bytes, the rarest in a sample of the text):
// a table of pieces rules out almost every position with one look-up,
// and the few positions left are compared in full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/engine/bit_array.h"
#include "core/engine/boundary_map.h"
#include "core/engine/occurrence_store.h"
#include "core/engine/side_thread.h"

namespace quenbol {

class KeywordScanner {
public:
    // `keywords` must be non-empty and hold no NUL byte; they are not copied
    // and must outlive the scanner. `sample` (usually the text to be scanned)
    // only steers which piece of each keyword is used to find it.
    KeywordScanner(std::span<const std::string_view> keywords, std::string_view sample);
    ~KeywordScanner();
    KeywordScanner(const KeywordScanner&) = delete;
    KeywordScanner& operator=(const KeywordScanner&) = delete;

    // Every occurrence of every keyword in `text` (overlapping ones included)
    // that starts on a character start; `boundaries` (of `text`) is built
    // along the way. Returns false, leaving `out` unspecified, when there are
    // more than `maxHits` occurrences. With a `side` thread, a text of
    // several blocks is scanned in two halves at once, the second on that
    // thread, with the same result.
    bool Scan(std::string_view text, BoundaryMapBuilder& boundaries, std::size_t maxHits,
              Occurrences& out, SideThread* side = nullptr) const;

private:
    struct PieceClass;
    class Pass;
    // A keyword's first 16 bytes with a mask, and its length: what a
    // candidate is compared with, in one place and without a library call.
    struct Head {
        unsigned char bytes[16] = {};
        unsigned char mask[16] = {};
        std::size_t size = 0;
    };

    std::span<const std::string_view> keywords_;
    std::vector<Head> heads_;
    std::vector<PieceClass> classes_;  // by piece length 1 to 4; empty ones unused
    std::vector<std::uint32_t> shortWords_;  // keywords of one to three bytes
    std::size_t maxPieceOffset_ = 0;          // how far into a keyword a piece may sit
};

}  // namespace quenbol
