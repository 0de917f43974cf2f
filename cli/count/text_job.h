// One text through the counting pipeline (read, decoded, counted on its own),
// and the one accumulator that runs the totals on over the texts in input
// order, as successive searches in the window do.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/count/inside_words.h"
#include "cli/count/keyword_counts.h"
#include "cli/count/text_occurrences.h"
#include "cli/decode/text_decoding.h"
#include "core/counting.h"
#include "core/posts/thread_posts.h"

namespace quenbol::cli {

class TextFile;

// A text counted post by post, kept with its occurrences: the posts' bodies
// (code page 932) joined by NUL bytes, as they were counted, and where in
// them each occurrence was.
struct PostBodies {
    std::string joined;
    std::vector<std::uint32_t> starts;  // of each body in `joined`, ascending
    TextOccurrences occurrences;        // in `joined`

    // The post (index into `starts`) that holds byte `at` of `joined`.
    std::size_t PostAt(std::size_t at) const;
    // Post `post`'s body.
    std::string_view Body(std::size_t post) const;
};

// A text kept with its occurrences, for the forms that show where they were.
struct CountedText {
    std::string path;  // as given; "-" is standard input
    std::shared_ptr<const TextFile> file;  // holds the bytes `decoded` refers to (none for standard input)
    DecodedText decoded;
    TextOccurrences occurrences;  // text order; none when counted post by post
    std::optional<PostBodies> posts{};  // counted post by post
};

// One post counted alone (--unit post): its header fields and its counts.
struct PostCount {
    int number = 0;
    std::optional<PostDate> date;
    std::string id;  // code page 932; empty when none
    MemberCounts current{};
    std::int32_t manual = 0;
    // The start of the body (code page 932, ExcerptOf), kept for the report's
    // examples of members named together: only when asked for, and only for a
    // post naming two members or more.
    std::string excerpt;
};

struct TextJob {
    std::string_view path{};  // UTF-8 as named; "-" is standard input (the input list outlives the job)
    // Empty when the text was counted; otherwise why not, without the path:
    // "cannot open: REASON", "cannot read: REASON", the walk's error, or the
    // encoding refused where occurrences are placed.
    std::string failure{};
    Encoding encoding = Encoding::Cp932;  // what the text was read as
    std::uint64_t bytes = 0;              // the file's size as read
    std::uint64_t illFormed = 0;          // ill-formed sequences replaced in a text read as UTF-8
    MemberCounts current{};
    std::int32_t manualCurrent = 0;
    // With per-keyword counts asked for:
    std::array<std::int32_t, kKeywordEntries> keywordCounts{};
    std::array<std::int32_t, kManualWordCount> manualWordCounts{};
    std::optional<CountedText> counted{};  // with occurrences asked for
    // With the ordinary-word check asked for; counted post by post, the
    // finds' starts are in `counted->posts->joined`.
    std::optional<InsideFinds> inside{};
    // Counted post by post: the text's posts in order; `current` and
    // `manualCurrent` are then their sums.
    std::vector<PostCount> posts{};
    std::string rows{};  // the text's output made ahead by the emitter (Emitter::Prepare)

    bool ok() const { return failure.empty(); }
};

// The state after the texts taken so far: the last text's counts, the
// running totals, the leader of the last text, the per-keyword counts (with
// their occurrences inside ordinary words, when checked) and the ill-formed
// sequences replaced. A text that could not be read counts nothing: its
// current counts are 0 and the totals stay. Without `keywordCounts` (texts
// counted without per-keyword counts) the per-keyword totals are left as
// they are, which spares their sums text by text.
struct RunTotals {
    RunTotals(const Keywords& table, const ManualWordList& manualWords, bool keywordCounts = true);
    void Add(const TextJob& text);

    CountingState state;      // state.manualWords are the manual words counted
    MemberIndex top = -1;
    KeywordCounts byKeyword;  // byKeyword.words is the table counted with
    std::uint64_t illFormed = 0;
    bool keywordCounts;
};

}  // namespace quenbol::cli
