// One run of quenbol-count: the texts counted one search-all each, in order,
// with everything the output forms need (per-keyword counts, and for the
// matches and the report every occurrence with the text it came from).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/count/keyword_counts.h"
#include "cli/decode/text_decoding.h"
#include "core/counting.h"
#include "core/occurrence.h"

namespace quenbol::cli {

// One occurrence of a text, as TextOccurrences gives it.
struct OccurrenceRef {
    bool manual = false;      // taken by the manual words rather than a member
    MemberIndex member = -1;  // -1 for the manual words
    int slot = 0;             // the keyword's slot, or the manual word's index
    std::span<const TextSpan> spans;  // ascending, never empty
};

// A text's occurrences: the engine's reports as they are (about a byte an
// occurrence in dense text), read in text order by merging their runs.
class TextOccurrences {
public:
    TextOccurrences() = default;
    explicit TextOccurrences(std::array<MatchReport, 2> reports) : reports_(std::move(reports)) {}

    std::size_t size() const { return reports_[0].size() + reports_[1].size(); }

    // The occurrences in text order, as SortInTextOrder puts them: by the
    // first span's start; at one start, a member's before the manual words'.
    class Cursor {
    public:
        explicit Cursor(const TextOccurrences& occurrences);
        // The next occurrence into current(); false after the last.
        bool Next();
        const OccurrenceRef& current() const { return current_; }

    private:
        struct Run {
            MatchReport::Reader reader;  // on the run's current match
            bool manual;
        };
        static bool Later(const Run& a, const Run& b);
        std::vector<Run> heap_;  // the runs not yet done, the earliest on top
        bool taken_ = false;     // the top run's current match was handed out
        OccurrenceRef current_;
    };
    Cursor InTextOrder() const { return Cursor(*this); }

private:
    std::array<MatchReport, 2> reports_;  // members' chain, manual words'
};

struct CountedText {
    std::string path;  // as given; "-" is standard input
    DecodedText decoded;
    TextOccurrences occurrences;  // text order
};

struct CountRun {
    std::string tableSource;  // the keyword file's name (UTF-8), or empty for the built-in table
    CountingState state;      // state.manualWords are the manual words counted
    MemberIndex top = -1;     // the leader of the last text
    KeywordCounts byKeyword;  // byKeyword.words is the table counted with
    std::vector<MemberCounts> currentPerText;  // the members' counts after each text
    bool keepTexts = false;   // keep each text with its occurrences (matches, report)
    std::vector<CountedText> texts;

    // The table and manual words compiled once, with the first text as the
    // scan's sample; and the buffer a UTF-8 text is decoded into.
    std::optional<CompiledSearch> words;
    std::string decoded;
    std::unique_ptr<char[]> decodedInTwo;  // a long UTF-8 text, converted on two threads
    std::size_t encodingErrors = 0;  // ill-formed UTF-8 sequences replaced, over the texts so far
};

// Counts one more text, read from `path` as `fileBytes`. Set byKeyword.words
// and state.manualWords first. With keepTexts the text is added to `texts`
// and refers to `fileBytes`, which must outlive it there; otherwise they
// need not outlive the call. Returns the number of ill-formed sequences
// replaced in a text read as UTF-8.
std::size_t CountText(CountRun& run, const std::string& path, std::string_view fileBytes, TextEncoding encoding);

}  // namespace quenbol::cli
