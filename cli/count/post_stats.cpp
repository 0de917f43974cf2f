// Posts added up.
#include "cli/count/post_stats.h"

#include "core/text/cp932.h"

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

int MembersNamed(const MemberCounts& current) {
    int named = 0;
    for (const std::int32_t n : current) named += n > 0;
    return named;
}

std::string ExcerptOf(std::string_view body, std::size_t characters) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t taken = 0; at < body.size() && body[at] != '\0' && taken < characters; ++taken) {
        const std::size_t length = IsLeadByte(static_cast<unsigned char>(body[at])) && at + 1 < body.size() ? 2 : 1;
        const char c = body[at];
        out += length == 1 && (c == '\n' || c == '\r' || c == '\t') ? std::string_view(" ") : body.substr(at, length);
        at += length;
    }
    if (at < body.size() && body[at] != '\0') out += "\x81\x63";  // … in code page 932
    return out;
}

}  // namespace quenbol::cli
