// The member who leads the current counts, and the caption message shown for it.
#pragma once

#include <array>
#include <cstdint>

#include "core/roster.h"

namespace quenbol {

using MemberCounts = std::array<std::int32_t, kMemberCount>;

// One message per member, in the member's own voice (code page 932).
extern const char* const TopMessages[kMemberCount];

// The caption when no member leads clearly.
extern const char DefaultCaption[];

// The caption the main window opens with (from its dialog template).
extern const char InitialCaption[];

// The member with more than 2 mentions and strictly more than every other
// member, or -1 when there is none (any tie for first place gives -1).
MemberIndex FindTopMember(const MemberCounts& current);

// The caption for a FindTopMember result: TopMessages[top], or DefaultCaption for -1.
const char* CaptionFor(MemberIndex top);

}  // namespace quenbol
