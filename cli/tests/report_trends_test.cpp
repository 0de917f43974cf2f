// The report's corpus parts that the browser cannot see whole: how the texts
// are binned along the chart's axis, where an excerpt is cut, and a run of
// texts counted whole (each dated by its file's name, the first examples of
// each pair kept).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/emit/report_trends.h"
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::string S(const char8_t* utf8) { return Utf8ToCp932(reinterpret_cast<const char*>(utf8)); }

TEST(OrderBins, TextsAreBinnedEvenlyAlongTheAxisAndNothingIsLost) {
    OrderBins bins(8);
    for (int i = 0; i < 8; ++i) bins.Add("t" + std::to_string(i), MemberCounts{i});
    EXPECT_EQ(bins.points().size(), 8u);
    EXPECT_EQ(bins.textsPerPoint(), 1u);
    for (int i = 8; i < 40; ++i) bins.Add("t" + std::to_string(i), MemberCounts{i});
    // 40 texts in at most 8 points: 8 a point, each named by its first text.
    EXPECT_EQ(bins.textsPerPoint(), 8u);
    std::vector<std::string> labels;
    for (const OrderPoint& p : bins.points()) labels.push_back(p.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"t0", "t8", "t16", "t24", "t32"}));
    EXPECT_EQ(bins.points()[1].mentions[0], 8 + 9 + 10 + 11 + 12 + 13 + 14 + 15);
    bins.Add("t40", MemberCounts{0, 5});
    EXPECT_EQ(bins.points().size(), 6u);  // a point of its own, partly filled
    EXPECT_EQ(bins.points().back().texts, 1);
    EXPECT_EQ(bins.points().back().mentions[1], 5);
}

TEST(ExcerptOf, SixtyCharactersOfTheBodyOnOneLine) {
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += S(u8"あ");
    EXPECT_EQ(ExcerptOf(sixty), sixty);
    EXPECT_EQ(ExcerptOf(sixty + "x"), sixty + S(u8"…"));
    // Characters, not bytes: one byte more at the start, one character less at the end.
    EXPECT_EQ(ExcerptOf("x" + sixty), "x" + sixty.substr(0, 118) + S(u8"…"));
    EXPECT_EQ(ExcerptOf(S(u8"一行目\n二行目\tおわり")), S(u8"一行目 二行目 おわり"));
    EXPECT_EQ(ExcerptOf(std::string("ab\0cd", 5)), "ab");  // the next body starts after the NUL
}

TEST(ReportTrends, TextsAreUnitsDatedByTheirNamesWithTheFirstExamplesOfEachPair) {
    ReportTrends trends(PeriodKind::Day, false);
    const std::string both = S(u8"椎葉澄香と鷲尾柚子");
    std::vector<std::string> paths;
    for (int i = 0; i < 22; ++i)
        paths.push_back("logs/2024-06-0" + std::to_string(1 + i % 2) + " " + std::to_string(i) + ".txt");
    paths.push_back("logs/undated.txt");
    for (const std::string& path : paths) {
        TextJob text;
        text.path = path;
        text.current = {1, path == "logs/undated.txt" ? 0 : 1};
        text.counted.emplace(CountedText{path, nullptr, DecodedText(both, Encoding::Cp932), {}});
        trends.Add(text);
    }
    EXPECT_EQ(trends.stats().posts, 23);
    ASSERT_EQ(trends.stats().periods.size(), 2u);
    EXPECT_EQ(trends.stats().periods.begin()->first, "2024-06-01");
    EXPECT_EQ(trends.stats().periods.begin()->second.posts, 11);
    EXPECT_EQ(trends.stats().coMentions[0][1], 22);

    const std::vector<PairExample>& kept = trends.Examples(1, 0);
    ASSERT_EQ(kept.size(), 20u);
    EXPECT_EQ(kept.front().file, paths[0]);
    EXPECT_EQ(kept.back().file, paths[19]);
    EXPECT_EQ(kept.front().excerpt, both);
    const std::string together = trends.Together(Language::English);
    // The pair's posts are data on the page, its "<" escaped for a script element.
    EXPECT_NE(together.find(">2 more\\u003C/p>"), std::string::npos);
    EXPECT_NE(trends.Trend(Language::English).find("Not in the chart for want of a date: 1 of the texts."),
              std::string::npos);
}

TEST(ReportTrends, PeriodsWithoutPostsStayOnTheAxis) {
    ReportTrends trends(PeriodKind::Week, true);
    TextJob text;
    text.path = "thread.dat";
    for (const PostDate date : {PostDate{2024, 12, 23}, PostDate{2025, 1, 8}}) {
        PostCount& post = text.posts.emplace_back();
        post.date = date;
        post.current[0] = 2;
    }
    trends.Add(text);
    const std::string chart = trends.Trend(Language::Japanese);
    for (const char* week : {">2024-W52</text>", ">2025-W01</text>", ">2025-W02</text>"})
        EXPECT_NE(chart.find(week), std::string::npos) << week;
    const std::size_t line = chart.find("<polyline class=\"line\" data-member=\"0\" points=\"");
    ASSERT_NE(line, std::string::npos);
    const std::string points = chart.substr(line, chart.find('"', chart.find("points=", line) + 8) - line);
    EXPECT_EQ(std::count(points.begin(), points.end(), ','), 3);  // the week between at 0
}

}  // namespace
}  // namespace quenbol::cli
