// The one-line summary of the 21 current counts that goes to the clipboard.
#pragma once

#include <string>
#include <string_view>

#include "core/top_member.h"

namespace quenbol {

// "%3d" for each member in roster order, one space apart, then a single LF.
std::string FormatResultsLine(const MemberCounts& current);

// Where the results line goes; the window program hands it to the system
// clipboard as CF_TEXT. Returns false when nothing was placed.
class ClipboardSink {
public:
    virtual ~ClipboardSink() = default;
    virtual bool PlaceText(std::string_view text) = 0;
};

// Builds the line from the counts as they stand and places it; reports nothing.
void CopyResultsToClipboard(const MemberCounts& current, ClipboardSink& clipboard);

}  // namespace quenbol
