// What a run counted post by post adds up to: each member's mentions and the
// posts naming it, the posts naming two members at once, and the same per
// period (day, ISO week or month) for the dated posts.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

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

// The members a unit's counts name.
int MembersNamed(const MemberCounts& current);

// The first `characters` characters of a code page 932 body, up to a NUL,
// line breaks and tabs as spaces, and "…" when it goes on.
constexpr std::size_t kExcerptCharacters = 60;
std::string ExcerptOf(std::string_view body, std::size_t characters = kExcerptCharacters);

}  // namespace quenbol::cli
