// Where a text's counted occurrences were, read in text order: what the
// matches and the report show.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/engine/match_report.h"
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

}  // namespace quenbol::cli
