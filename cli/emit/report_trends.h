// The report's view of a corpus unit by unit (each post with --unit post,
// otherwise each text, dated by the date in its file's name): the ranking by
// units naming each member, 推移 (mentions per period, or along the order of
// the texts when none is dated) and 同時に話題になるメンバー (the members
// named in the same unit, with the first units naming each pair). What it
// keeps is bounded whatever the corpus: the sums, at most kTrendMaxPoints
// points along the texts, and kExamplesPerPair examples for each pair.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/count/post_stats.h"
#include "cli/count/text_job.h"
#include "cli/options.h"

namespace quenbol::cli {

// The texts along the chart's axis when none is dated.
constexpr std::size_t kTrendMaxPoints = 400;
// The periods along the axis, from the first dated to the last, those with
// no posts too (27 years of days); beyond, only those with posts.
constexpr std::size_t kTrendMaxPeriods = 10000;
// The examples kept for each pair of members: the first units naming both,
// in input order; the page says how many more there are.
constexpr std::size_t kExamplesPerPair = 20;

struct OrderPoint {
    std::string label;  // the file name of its first text
    std::int64_t texts = 0;
    std::array<std::int64_t, kMemberCount> mentions{};
};

// Texts in input order as at most `maxPoints` points of as many texts each
// (the last may hold fewer): when one more would be needed, each two
// neighbours become one and every point holds twice the texts.
class OrderBins {
public:
    explicit OrderBins(std::size_t maxPoints) : maxPoints_(maxPoints) {}  // even, 2 or more
    void Add(std::string_view label, const MemberCounts& mentions);
    std::size_t textsPerPoint() const { return textsPerPoint_; }
    const std::vector<OrderPoint>& points() const { return points_; }

private:
    std::size_t maxPoints_;
    std::size_t textsPerPoint_ = 1;
    std::vector<OrderPoint> points_;
};

// A unit naming two members, as the heat map lists it.
struct PairExample {
    std::string file;  // UTF-8 as named
    int post = 0;      // its number; 0 for a text counted whole
    std::optional<PostDate> date;
    std::string id;       // code page 932; empty when none
    std::string excerpt;  // code page 932 (ExcerptOf)
};

class ReportTrends {
public:
    ReportTrends(PeriodKind period, bool postUnit);

    // One text of the run, in input order: its posts, or itself as one unit.
    void Add(const TextJob& text);

    // The parts of the page, in `language`.
    std::string RankingByUnits(Language language) const;
    std::string Trend(Language language) const;
    std::string Together(Language language) const;

    const PostStats& stats() const { return stats_; }
    // The examples kept for two different members, in input order.
    const std::vector<PairExample>& Examples(MemberIndex a, MemberIndex b) const;

private:
    void AddUnit(std::string_view file, const PostCount& unit);

    bool postUnit_;
    PostStats stats_;
    OrderBins order_{kTrendMaxPoints};
    std::vector<std::vector<PairExample>> examples_;  // [a * kMemberCount + b], a < b
};

}  // namespace quenbol::cli
