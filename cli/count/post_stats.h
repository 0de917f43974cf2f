// What a run counted post by post adds up to: each member's mentions and the
// posts naming it, the posts naming two members at once, and the same per
// period (day, ISO week or month) for the dated posts.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "cli/count/text_job.h"

namespace quenbol::cli {

struct PeriodCounts {
    std::int64_t posts = 0;
    std::array<std::int64_t, kMemberCount> mentions{};
};

struct PostStats {
    explicit PostStats(PeriodKind kind) : kind(kind) {}
    void Add(const PostCount& post);

    PeriodKind kind;
    std::int64_t posts = 0;
    std::array<std::int64_t, kMemberCount> mentions{};
    std::int64_t manualMentions = 0;
    // coMentions[a][b]: posts naming both a and b; [m][m] the posts naming m.
    std::array<std::array<std::int64_t, kMemberCount>, kMemberCount> coMentions{};
    std::map<std::string, PeriodCounts> periods;  // by name, which sorts in time order; undated posts in none

    std::int64_t PostsNaming(MemberIndex m) const { return coMentions[m][m]; }
};

}  // namespace quenbol::cli
