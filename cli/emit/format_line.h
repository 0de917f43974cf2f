// --line: the results line of each text, as the window puts it on the
// clipboard (the core's line, unchanged).
#pragma once

#include <string>
#include <vector>

#include "core/top_member.h"

namespace quenbol::cli {

std::string FormatLines(const std::vector<MemberCounts>& currentPerText);

}  // namespace quenbol::cli
