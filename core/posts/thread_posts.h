// Thread logs split into their posts: the formats fans keep (5ch/2ch .dat
// logs, a thread copied from a browser, LINE's saved talk history) and plain
// paragraphs, each post with its body as counted, its date and its poster's
// ID. Works on decoded code page 932 text alone: no windows, no files, no
// members, so that every front end splits alike.
//
// The header fields (number, name, mail, date, ID, the talk's speaker) are
// never part of a body. A thread's title is the first lines of post 1's body.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenbol {

enum class LogFormat { Dat, Thread, LineTalk, Plain };

// "dat", "thread", "line-talk", "plain".
std::string_view LogFormatName(LogFormat format);

// A day, with its time of day when the log gives one.
struct PostDate {
    int year = 0, month = 0, day = 0;
    bool hasTime = false;
    int hour = 0, minute = 0, second = 0;

    // ISO 8601: "2024-06-01T20:00:12", or "2024-06-01" without a time.
    std::string Iso() const;
    void AppendIso(std::string& out) const;
    friend bool operator==(const PostDate&, const PostDate&) = default;
};

struct Post {
    int number = 0;                 // from 1, in the log's order
    std::string body;               // code page 932, markup and entities resolved; lines end in LF
    std::optional<PostDate> date;   // none when the log gives none
    std::string id;                 // the poster's ID (code page 932); empty when none
};

// The format a text is in, judged from its first lines (see the .cpp for
// the signs each format is known by); Plain when none fits.
LogFormat DetectLogFormat(std::string_view text);

// The posts of `text` read as `format`. `nameDate` dates every paragraph of a
// plain text (a date in its file's name); the other formats date their posts
// themselves. Lines may end in LF or CR LF. A text with nothing to count
// gives no posts.
std::vector<Post> SplitPosts(std::string_view text, LogFormat format, std::optional<PostDate> nameDate = {});

// A text's posts as the counter searches them: the bodies one after another
// in one buffer, each followed by a NUL byte, and each post's header fields
// with where its body starts. Kept from text to text, so that a long run of
// texts reuses its memory.
struct PostList {
    struct Header {
        int number = 0;
        std::optional<PostDate> date;
        std::string id;
        std::size_t start = 0;  // of the body in `bodies`
    };
    std::vector<Header> posts;
    std::string bodies;

    std::string_view Body(std::size_t p) const;
    void Clear();
};

// As SplitPosts, into `out` (cleared first).
void SplitPosts(std::string_view text, LogFormat format, std::optional<PostDate> nameDate, PostList& out);

// A date written in a file's name: 2024-06-01 or 20240601 (eight digits not
// part of a longer run), a real day of the Gregorian calendar; the last one
// when there are several.
std::optional<PostDate> DateInFileName(std::string_view name);

// The period a date falls in: "2024-06-01" (day), "2025-W01" (ISO week, which
// may belong to the year before or after its days' own), "2024-06" (month).
// Periods of one kind sort in time order as strings.
enum class PeriodKind { Day, Week, Month };
std::string PeriodOf(const PostDate& date, PeriodKind kind);

}  // namespace quenbol
