// Counting pieces in a sample of the text.
#include "core/engine/piece_tables.h"

#include <algorithm>

namespace quenbol {

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

}  // namespace quenbol
