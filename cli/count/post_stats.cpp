// Posts added up.
#include "cli/count/post_stats.h"

namespace quenbol::cli {

void PostStats::Add(const PostCount& post) {
    ++posts;
    manualMentions += post.manual;
    for (MemberIndex a = 0; a < kMemberCount; ++a) {
        mentions[a] += post.current[a];
        if (post.current[a] == 0) continue;
        for (MemberIndex b = 0; b < kMemberCount; ++b)
            if (post.current[b] > 0) ++coMentions[a][b];
    }
    if (!post.date) return;
    PeriodCounts& period = periods[PeriodOf(*post.date, kind)];
    ++period.posts;
    for (MemberIndex m = 0; m < kMemberCount; ++m) period.mentions[m] += post.current[m];
}

}  // namespace quenbol::cli
