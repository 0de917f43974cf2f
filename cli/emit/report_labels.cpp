// The report's labels, a pair for each.
#include "cli/emit/report_labels.h"

#include <array>

#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

struct LabelRow {
    LabelId id;
    std::string_view key;  // as the template names it
    std::string_view ja;
    std::string_view en;
};

constexpr std::array<LabelRow, static_cast<std::size_t>(LabelId::Count_)> kLabels{{
    {LabelId::HtmlLang, "lang", "ja", "en"},
    {LabelId::Title, "title", "quenbol-count レポート", "quenbol-count report"},
    {LabelId::Counted, "counted", "数えたもの", "What was counted"},
    {LabelId::Ranking, "ranking", "ランキング", "Ranking"},
    {LabelId::RankingHint, "ranking-hint",
     "メンバー（棒または凡例）をクリックすると、そのメンバーの印だけを表示します。もう一度クリックするとすべて表示します。",
     "Click a member (bar or legend) to show only that member's marks; click it again to show all."},
    {LabelId::ByMentions, "by-mentions", "言及の多い順", "By mentions"},
    {LabelId::ByPosts, "by-posts", "名前の出た%1の多い順", "By %1 naming each member"},
    {LabelId::KeywordCounts, "keyword-counts", "キーワード別の数", "Counts by keyword"},
    {LabelId::KeywordHint, "keyword-hint",
     "<em>数</em>をクリックすると、多く数えたキーワードから並べます。普通の語まで拾う短いキーワードはそこに出てきます。",
     "Click <em>Count</em> to put the keywords that took the most first: a short keyword that also\n"
     "takes ordinary words shows up there."},
    {LabelId::Texts, "texts", "テキスト", "Texts"},
    {LabelId::HideInside, "hide-inside", "普通の語の中の出現を隠す", "Hide the occurrences inside ordinary words"},
    {LabelId::HideInsideHint, "hide-inside-hint",
     "（斜線：キーワードが、あるいは の るい のように長い語の一部になっているもの。マウスを重ねるとその語が出ます）",
     "(hatched: the keyword is part of a longer word, such as るい in あるいは; the hover text names the word)"},
    {LabelId::InsideWord, "inside-word", "（普通の語 %1 の中）", " (inside the ordinary word %1)"},
    {LabelId::StandardInput, "stdin", "（標準入力）", "(standard input)"},
    {LabelId::FileColumn, "file", "ファイル", "File"},
    {LabelId::SizeColumn, "size", "大きさ（バイト）", "Size (bytes)"},
    {LabelId::ReadAsColumn, "read-as", "文字コード", "Read as"},
    {LabelId::Utf8WithBom, "utf8-bom", "UTF-8（BOM 付き）", "UTF-8 with byte-order mark"},
    {LabelId::KeywordsFrom, "keywords-from", "キーワード：", "Keywords: "},
    {LabelId::BuiltInTable, "built-in", "組み込みの表", "the built-in table"},
    {LabelId::KeywordFile, "keyword-file", "キーワードファイル %1", "the keyword file %1"},
    {LabelId::ManualWordsLabel, "manual-words", "手動ワード：", "Manual words (手動ワード): "},
    {LabelId::NoManualWords, "no-manual-words", "なし", "none"},
    {LabelId::ManualWordsInAll, "manual-in-all", "手動ワード：計 %1 件", "Manual words (手動ワード): %1 in all."},
    {LabelId::ChartLabel, "chart", "メンバーごとの言及の数", "Total mentions per member"},
    {LabelId::InsideOrdinaryWords, "inside-ordinary", "うち %1 件は普通の語の中", "%1 inside ordinary words"},
    {LabelId::InsideWords, "inside-words", "（うち語の中 %1）", " (%1 inside words)"},
    {LabelId::MemberColumn, "member", "メンバー", "Member"},
    {LabelId::SlotColumn, "slot", "枠", "Slot"},
    {LabelId::KeywordColumn, "keyword", "キーワード", "Keyword"},
    {LabelId::CountColumn, "count", "数", "Count"},
    {LabelId::ShareColumn, "share", "割合", "Share"},
    {LabelId::InsideColumn, "inside", "語の中", "Inside words"},
    {LabelId::ManualWordsRow, "manual-row", "手動ワード", "手動ワード"},
    {LabelId::ShownInPart, "shown-in-part",
     "このテキストは %1 バイトあり、%2 バイトまでを表示しています（1 つのテキストは 2 MB まで）。数はテキスト全体のものです。",
     "This text is %1 bytes long; it is shown up to %2 bytes (2 MB at most a text). The counts are for the whole text."},
    {LabelId::RankColumn, "rank", "順位", "Rank"},
    {LabelId::MentionsColumn, "mentions", "言及", "Mentions"},
    {LabelId::PostsNamingColumn, "posts-naming", "名前の出た投稿", "Posts naming"},
    {LabelId::TextsNamingColumn, "texts-naming", "名前の出たテキスト", "Texts naming"},
    {LabelId::ShareOfPostsColumn, "share-of-posts", "投稿に占める割合", "Share of posts"},
    {LabelId::ShareOfTextsColumn, "share-of-texts", "テキストに占める割合", "Share of texts"},
    {LabelId::Posts, "posts", "投稿", "posts"},
    {LabelId::TextsUnit, "texts-unit", "テキスト", "texts"},
    {LabelId::Trend, "trend", "推移", "Over time"},
    {LabelId::TrendHint, "trend-hint",
     "%1の言及の数です。凡例のメンバーをクリックすると、選んだメンバーの線だけを表示します（もう一度クリックで選択を外します）。",
     "Mentions %1. Click members in the legend to show only their lines (click again to unpick)."},
    {LabelId::TrendChartLabel, "trend-chart", "期間ごとの言及の数", "Mentions per period"},
    {LabelId::PerDay, "per-day", "日ごと", "per day"},
    {LabelId::PerWeek, "per-week", "週ごと（ISO 週）", "per week (ISO weeks)"},
    {LabelId::PerMonth, "per-month", "月ごと", "per month"},
    {LabelId::AxisIsTextOrder, "text-order", "テキストの順（日付がないため。目盛りはファイル名）",
     "in the order of the texts (they have no dates; the axis names the files)"},
    {LabelId::TextsPerPoint, "texts-per-point", "テキスト %1 件ごとに 1 点にまとめています。",
     "The texts are binned, %1 to a point."},
    {LabelId::OnlyPeriodsWithPosts, "only-periods-with-posts", "期間が多すぎるため、%1のある期間だけを並べています。",
     "There are too many periods to show them all: only those with %1 are on the axis."},
    {LabelId::UndatedLeftOut, "undated", "日付のない%2 %1 件は含まれていません。",
     "Not in the chart for want of a date: %1 of the %2."},
    {LabelId::Together, "together", "同時に話題になるメンバー", "Talked about together"},
    {LabelId::TogetherHint, "together-hint",
     "各マスは両方のメンバーの名前が出た%1の数（対角線：そのメンバーの名前が出た%1の数）です。"
     "マスをクリックすると、その%1を下に並べます（1 組につき最初の %2 件まで）。",
     "Each cell is the number of %1 naming both members (on the diagonal: %1 naming the member). "
     "Click a cell to list those %1 below the map (the first %2 of each pair)."},
    {LabelId::PairHover, "pair-hover", "%1 と %2：%3 件", "%1 and %2: %3"},
    {LabelId::SelfHover, "self-hover", "%1：%2 件", "%1: %2"},
    {LabelId::PairPostsHeading, "pair-posts", "%1 と %2 の名前が出た%4（%3 件）", "%4 naming %1 and %2 (%3)"},
    {LabelId::PostColumn, "post", "番号", "Post"},
    {LabelId::DateColumn, "date", "日付", "Date"},
    {LabelId::IdColumn, "id", "ID", "ID"},
    {LabelId::ExcerptColumn, "excerpt", "本文", "Text"},
    {LabelId::More, "more", "ほか %1 件", "%1 more"},
    {LabelId::Positions, "positions", "出現位置", "Where they appear"},
    {LabelId::PositionsOfPosts, "positions-posts",
     "各メンバーの言及が全投稿のどこにあるか。位置は、ファイルを順に並べたときの投稿の順番です。",
     "Where each member's mentions fall among all the posts: a position is the post's place when the files are "
     "read one after another."},
    {LabelId::PositionsOfBytes, "positions-bytes",
     "各メンバーの言及がコーパスのどこにあるか。位置は、ファイルを順につないだときのバイトの位置です。",
     "Where each member's mentions fall in the corpus: a position is the byte's place when the files are read "
     "one after another."},
    {LabelId::PositionsShade, "positions-shade", "色の濃いセルほど言及が多く、マウスを重ねると件数と範囲が出ます。",
     " The darker a cell, the more mentions; hover over it for the count and the range."},
    {LabelId::CellMentions, "cell-mentions", "%1 件、", "mentions: %1; "},
    {LabelId::CellPosts, "cell-posts", "投稿 ", "posts "},
    {LabelId::CellBytes, "cell-bytes", "バイト ", "bytes "},
    {LabelId::Keywords, "keywords", "キーワード", "Keywords"},
    {LabelId::KeywordsHint, "keywords-hint",
     "キーワードごとの出現を前後 %1 文字の文脈とともに示します。1 つのキーワードにつき最大 %2 行を、"
     "コーパス全体から等間隔に選んでいます。「左の文脈」をクリックすると左の文脈を右から読んだ順に、"
     "「右の文脈」をクリックすると右の文脈の順に並べ替え、もう一度クリックすると元の順に戻ります。",
     "Each keyword's occurrences with %1 characters of context on each side, at most %2 lines per keyword, chosen "
     "evenly over the whole corpus. Click <em>Left context</em> to sort by the left context read from right to "
     "left, <em>Right context</em> to sort by the right context; click again for the first order."},
    {LabelId::LeftContext, "left-context", "左の文脈", "Left context"},
    {LabelId::RightContext, "right-context", "右の文脈", "Right context"},
    {LabelId::WhereColumn, "where", "場所", "Where"},
    {LabelId::InAll, "in-all", "%1 件", "%1 in all"},
    {LabelId::NoOccurrences, "no-occurrences", "出現はありません。", "No occurrences."},
    {LabelId::TextNotShown, "text-not-shown", "本文は表示していません", "text not shown"},
    {LabelId::FilesFolded, "files-folded", "%1 件のファイル", "%1 files"},
    {LabelId::TextsNotShown, "texts-not-shown",
     "以降の %1 件のテキストは、ページを小さく保つため本文を表示していません（本文はページ全体で %2 MB まで）。"
     "数には含まれ、ファイルの一覧にも載っています。",
     "The %1 later texts are not shown, to keep the page small (%2 MB of page for the texts); they are counted, "
     "and listed with the files."},
    {LabelId::PostsShownInPart, "posts-shown-in-part",
     "このテキストには投稿が %1 件あり、%2 件目までを表示しています。数はすべての投稿のものです。",
     "This text has %1 posts; posts 1 to %2 are shown. The counts are for every post."},
    {LabelId::FirstPostInPart, "first-post-in-part",
     "このテキストには投稿が %1 件あり、最初の投稿の途中までを表示しています。数はすべての投稿のものです。",
     "This text has %1 posts; the first is shown in part. The counts are for every post."},
}};

constexpr bool InOrder() {
    for (std::size_t i = 0; i < kLabels.size(); ++i)
        if (static_cast<std::size_t>(kLabels[i].id) != i) return false;
    return true;
}
static_assert(InOrder(), "the labels are listed in LabelId's order");

}  // namespace

std::string_view Label(LabelId id, Language language) {
    const LabelRow& row = kLabels[static_cast<std::size_t>(id)];
    return language == Language::Japanese ? row.ja : row.en;
}

std::string Label(LabelId id, Language language, std::initializer_list<std::string_view> args) {
    const std::string_view text = Label(id, language);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : args.size();
        if (text[i] == '%' && n < args.size()) {
            out += args.begin()[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void FillLabels(std::string& page, Language language) {
    for (const LabelRow& row : kLabels) {
        const std::string marker = "<!--@L:" + std::string(row.key) + "@-->";
        const std::string_view label = language == Language::Japanese ? row.ja : row.en;
        for (std::size_t at = 0; (at = page.find(marker, at)) != std::string::npos; at += label.size())
            page.replace(at, marker.size(), label);
    }
}

std::string Grouped(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return n < 0 ? "-" + digits : digits;
}

std::string PathLabel(const std::string& path, Language language) {
    return path == "-" ? std::string(Label(LabelId::StandardInput, language)) : SanitizeUtf8(path);
}

}  // namespace quenbol::cli
