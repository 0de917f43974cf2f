// The forms of a run counted post by post (--unit post): a row per post for
// JSON Lines and CSV, and the run's sums as JSON or a table. Pure functions
// to UTF-8 text.
#pragma once

#include <string>

#include "cli/count/post_stats.h"
#include "cli/count/text_job.h"

namespace quenbol::cli {

// One line per post of a counted text: {"file", "post", "date" (ISO 8601 or
// null), "id" (or null), "members": [{"name", "current"} x 21], "manual"};
// a text that could not be read gets one line {"file", "error"}. Appended to
// `out`, whose memory a caller keeps from text to text.
void AppendPostJsonlRecords(std::string& out, const TextJob& text);
std::string PostJsonlRecords(const TextJob& text);

// A byte-order mark and the header file,post,date,id, the 21 display names,
// manual; CR LF.
std::string PostCsvHeader();

// One row per post of a counted text, with the cells as --csv writes them;
// nothing for a text that could not be read. Appended to `out` as above.
void AppendPostCsvRows(std::string& out, const TextJob& text);
std::string PostCsvRows(const TextJob& text);

// {"members": [{"name", "mentions", "posts", "share_of_posts"} x 21],
//  "manual": mentions, "posts", "co_mentions": 21 x 21,
//  "periods": [{"period", "posts", "members": [21 mentions]}] in time order}.
std::string FormatPostJson(const PostStats& stats);

// Each member's mentions, posts naming it and share of all posts, then the
// number of posts.
std::string FormatPostTable(const PostStats& stats);

}  // namespace quenbol::cli
