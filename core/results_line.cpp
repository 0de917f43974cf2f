// The results line.
#include "core/results_line.h"

#include <charconv>

namespace quenbol {

std::string FormatResultsLine(const MemberCounts& current) {
    std::string line;
    line.reserve(4 * kMemberCount);
    char field[16];
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        if (m > 0) line += ' ';
        // As printf's "%3d", without its cost (a corpus prints a line per text).
        const char* end = std::to_chars(field, field + sizeof field, static_cast<int>(current[m])).ptr;
        const auto width = static_cast<std::size_t>(end - field);
        if (width < 3) line.append(3 - width, ' ');
        line.append(field, width);
    }
    line += '\n';
    return line;
}

void CopyResultsToClipboard(const MemberCounts& current, ClipboardSink& clipboard) {
    clipboard.PlaceText(FormatResultsLine(current));
}

}  // namespace quenbol
