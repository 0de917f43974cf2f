// The report's キーワード section: each keyword's occurrences in context
// (keyword in context: the left context, the keyword, the right context),
// a bounded number of lines per keyword spread over the whole corpus.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/count/text_job.h"
#include "cli/options.h"

namespace quenbol::cli {

class KeywordContexts {
public:
    static constexpr std::size_t kMaxLines = 100;  // per keyword
    static constexpr std::size_t kContextChars = 20;  // each side

    // Each text in input order with its occurrences and, when checked, its
    // finds inside ordinary words.
    void Add(const CountedText& text, const InsideFinds* inside);
    // The section's HTML. `run` names the keywords. Each keyword's lines are
    // kept as data on the page and made into its table when first opened: a
    // page of thousands of rows would otherwise be laid out before it shows.
    std::string Html(const RunTotals& run, Language language) const;

    struct Line {
        std::string left, keyword, right;  // UTF-8; the keyword's cell as HTML
        std::uint32_t text = 0;            // index into the paths
        std::uint32_t post = 0;            // from 1; 0 when not counted post by post
        std::string inside;                // the ordinary word it sits inside (UTF-8), or empty
    };
    // A keyword's occurrences: how many were seen, and the lines kept, every
    // `stride`-th occurrence from the first. When more than kMaxLines are
    // kept, every other one goes and the stride doubles: the lines stay
    // spread evenly over the keyword's occurrences, whatever their number.
    struct Keyword {
        std::int64_t seen = 0;
        std::int64_t stride = 1;
        std::vector<Line> lines;
    };
    // Members' keywords by entry, then the manual words.
    const std::array<Keyword, kKeywordEntries + kManualWordCount>& keywords() const { return keywords_; }

private:
    std::array<Keyword, kKeywordEntries + kManualWordCount> keywords_;
    std::vector<std::string> paths_;  // as given
};

}  // namespace quenbol::cli
