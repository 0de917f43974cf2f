// The counter before the engine, kept for comparison: every member keyword in
// roster and slot order through RemoveAll (one pass over the text per
// keyword) on one working copy, then the manual words on a fresh copy.
#pragma once

#include <cstdint>
#include <string>

#include "core/counting.h"

namespace quenbol::baseline {

struct Result {
    std::int64_t members[kMemberCount] = {};
    std::int64_t manual = 0;
};

inline Result SearchAll(const std::string& text, const Keywords& table,
                        const ManualWordList& manual) {
    Result result;
    std::string work = text;
    for (int m = 0; m < kMemberCount; ++m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            result.members[m] += RemoveAll(work, table[EntryIndex(m, s)]);
        }
    }
    work = text;
    for (const std::string& w : manual) result.manual += RemoveAll(work, w);
    return result;
}

}  // namespace quenbol::baseline
