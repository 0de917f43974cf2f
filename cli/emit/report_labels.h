// Every label of the --html report in Japanese and in English: one table of
// pairs, looked up by name. The page's fixed text names its labels in the
// template as <!--@L:key@-->; the code that writes parts of the page asks
// for them by LabelId.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "cli/options.h"

namespace quenbol::cli {

enum class LabelId {
    HtmlLang, Title, Counted, Ranking, RankingHint, ByMentions, ByPosts, KeywordCounts, KeywordHint, Texts,
    HideInside, HideInsideHint, InsideWord, StandardInput, FileColumn, SizeColumn, ReadAsColumn, Utf8WithBom,
    KeywordsFrom, BuiltInTable, KeywordFile, ManualWordsLabel, NoManualWords, ManualWordsInAll, ChartLabel,
    InsideOrdinaryWords, InsideWords, MemberColumn, SlotColumn, KeywordColumn, CountColumn, ShareColumn,
    InsideColumn, ManualWordsRow, ShownInPart, RankColumn, MentionsColumn, PostsNamingColumn, TextsNamingColumn,
    ShareOfPostsColumn, ShareOfTextsColumn, Posts, TextsUnit, Trend, TrendHint, TrendChartLabel, PerDay, PerWeek,
    PerMonth, AxisIsTextOrder, TextsPerPoint, OnlyPeriodsWithPosts, UndatedLeftOut, Together, TogetherHint,
    PairHover, SelfHover, PairPostsHeading, PostColumn, DateColumn, IdColumn, ExcerptColumn, More,
    Positions, PositionsOfPosts, PositionsOfBytes, PositionsShade, CellMentions, CellPosts, CellBytes, Keywords,
    KeywordsHint, LeftContext, RightContext, WhereColumn, InAll, NoOccurrences, TextNotShown, FilesFolded,
    TextsNotShown, PostsShownInPart, FirstPostInPart,
    Count_  // the number of labels
};

// The label in `language`, UTF-8.
std::string_view Label(LabelId id, Language language);
// The label with %1, %2 and %3 replaced by `args` in order.
std::string Label(LabelId id, Language language, std::initializer_list<std::string_view> args);
// Every <!--@L:key@--> of `page` replaced by its label.
void FillLabels(std::string& page, Language language);
// A count with its thousands grouped: 1,234,567.
std::string Grouped(std::int64_t n);

// A text's path as the page names it (UTF-8, not escaped): "-" is the standard input.
std::string PathLabel(const std::string& path, Language language);

}  // namespace quenbol::cli
