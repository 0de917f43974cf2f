// The --line form.
#include "cli/emit/format_line.h"

#include "core/results_line.h"

namespace quenbol::cli {

std::string FormatLines(const std::vector<MemberCounts>& currentPerText) {
    std::string out;
    for (const MemberCounts& counts : currentPerText) out += FormatResultsLine(counts);
    return out;
}

}  // namespace quenbol::cli
