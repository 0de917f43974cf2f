// --html: one self-contained HTML page for all the texts of a run (inline
// style, SVG and a small script; nothing fetched). The page itself lives in
// cli/emit/report_template.html, built into the program; this fills it in.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <utility>

#include "cli/count/text_job.h"
#include "cli/emit/piece_writer.h"
#include "cli/emit/report_kwic.h"
#include "cli/emit/report_positions.h"
#include "cli/emit/report_trends.h"
#include "cli/options.h"

namespace quenbol::cli {

// A text longer than this (bytes of the file as read) is shown only up to
// here, with a note; its counts are for the whole text.
constexpr std::size_t kReportShownBytes = 2 * 1024 * 1024;
// The texts are shown until their part of the page reaches this; the later
// ones are listed only, so that a corpus of thousands of texts makes a page
// a browser opens at once. The text that crosses the line is cut there.
constexpr std::size_t kReportTextsBudget = 2 * 1024 * 1024;

// The page, UTF-8, in three parts: the head (all above the texts, which
// sums up every text), the texts with their marks, and the tail. Each text
// is marked as soon as it is counted, so that a run need not keep its texts;
// the head and the tail are made at the end.
class ReportPage {
public:
    // `tableSource` names the keyword file counted with (UTF-8), or is empty
    // for the built-in table; the page is written in `language`.
    ReportPage(std::string tableSource, Language language, std::size_t shownBytes = kReportShownBytes,
               std::size_t textsBudget = kReportTextsBudget)
        : tableSource_(std::move(tableSource)), language_(language), shownBytes_(shownBytes),
          textsBudget_(textsBudget) {}

    // One counted text with its marks, into `out` a piece at a time; false
    // when a write failed. The occurrences `inside` holds (the text's finds,
    // when checked) are marked as inside ordinary words: hatched, the word in
    // the hover text. The keyword table and the chart count them from the
    // run's totals.
    // Counted post by post, the text's posts are shown under headings with
    // their number, date and ID from `posts`.
    bool WriteText(const CountedText& text, const InsideFinds* inside, PieceWriter& out,
                   std::span<const PostCount> posts = {});
    // What comes before the texts and after them, for the run's counts, its
    // units (`trends`) and the texts written.
    std::string Head(const RunTotals& run, const ReportTrends& trends) const;
    std::string Tail(const RunTotals& run) const;

    // A row of "What was counted".
    struct CountedFile {
        std::string path;  // as given
        std::uint64_t bytes = 0;
        std::string readAs;  // the encoding's name, HTML
        bool shown = false;  // whether its text is on the page
    };

private:
    std::string tableSource_;
    Language language_;
    std::size_t shownBytes_;
    std::size_t textsBudget_;
    std::size_t notShown_ = 0;    // texts past the budget
    PositionStrips positions_;
    KeywordContexts contexts_;
    std::size_t occurrence_ = 0;  // member occurrences numbered so far, over the whole page
    std::vector<CountedFile> counted_;  // a row of "What was counted" per text
};

// Text as HTML character data or attribute value: & < > " escaped, NUL as U+FFFD.
std::string HtmlEscape(std::string_view utf8);

}  // namespace quenbol::cli
