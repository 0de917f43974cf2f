// Choice of the leading member.
#include "core/top_member.h"

namespace quenbol {

MemberIndex FindTopMember(const MemberCounts& current) {
    std::int32_t best = 2;  // a leader needs at least three mentions
    MemberIndex top = -1;
    for (MemberIndex i = 0; i < kMemberCount; ++i) {
        if (current[i] > best) {
            best = current[i];
            top = i;
        }
    }
    if (top == -1) return -1;
    for (MemberIndex i = 0; i < kMemberCount; ++i) {
        if (i != top && current[i] == best) return -1;  // a tie has no leader
    }
    return top;
}

const char* CaptionFor(MemberIndex top) {
    return top >= 0 && top < kMemberCount ? TopMessages[top] : DefaultCaption;
}

}  // namespace quenbol
