// The results line.
#include "core/results_line.h"

#include <cstdio>

namespace quenbol {

std::string FormatResultsLine(const MemberCounts& current) {
    std::string line;
    line.reserve(4 * kMemberCount);
    char field[16];
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        if (m > 0) line += ' ';
        std::snprintf(field, sizeof field, "%3d", static_cast<int>(current[m]));
        line += field;
    }
    line += '\n';
    return line;
}

void CopyResultsToClipboard(const MemberCounts& current, ClipboardSink& clipboard) {
    clipboard.PlaceText(FormatResultsLine(current));
}

}  // namespace quenbol
