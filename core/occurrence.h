// One counted occurrence of a keyword or manual word, placed in the original
// text: which group and word took it, and the stretches of the original text
// it is made of. An ordinary match is one stretch; a match that formed where
// earlier deletions closed the text up is two or more.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/engine/match_report.h"
#include "core/roster.h"

namespace quenbol {

struct Occurrence {
    bool manual = false;     // taken by the manual words rather than a member
    MemberIndex member = -1;  // the member; -1 for the manual words
    int slot = 0;            // the keyword's slot, or the manual word's index, 0 to 6
    std::vector<TextSpan> spans;  // ascending, never empty
    bool operator==(const Occurrence&) const = default;
};

using OccurrenceList = std::vector<Occurrence>;

// Text order: by the first span's start; at one start, a member's occurrence
// before the manual words' (no two of one group can share a start).
inline void SortInTextOrder(OccurrenceList& list) {
    std::sort(list.begin(), list.end(), [](const Occurrence& a, const Occurrence& b) {
        if (a.spans.front().start != b.spans.front().start)
            return a.spans.front().start < b.spans.front().start;
        return !a.manual && b.manual;
    });
}

}  // namespace quenbol
