// Splitting thread logs into posts. Every search steps by characters, not
// bytes: a code page 932 trail byte can look like 'I', 'D', '[' or '\'.
#include "core/posts/thread_posts.h"

#include <algorithm>
#include <cstring>

#include "core/text/cp932.h"

namespace quenbol {
namespace {

constexpr std::string_view kFullColon = "\x81\x46";                     // U+FF1A
constexpr std::string_view kNameLabel = "\x96\xBC\x91" "O";             // "name"
constexpr std::string_view kPostedLabel = "\x93\x8A\x8D" "e" "\x93\xFA";  // "posted on"
constexpr std::string_view kDeleted = "\x82\xA0\x82\xDA\x81[\x82\xF1";   // "abon": a deleted post

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::size_t CharLength(std::string_view s, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// The first place at or after `from` where `needle` starts on a character
// boundary. Where the bytes are nowhere, no character walk is needed.
std::size_t FindChars(std::string_view s, std::string_view needle, std::size_t from = 0) {
    const std::size_t first = s.find(needle, from);
    if (first == std::string_view::npos) return first;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (i >= first && s.substr(i, needle.size()) == needle) return i;
    }
    return std::string_view::npos;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

// Reads 1 to `max` digits at `i`; -1 when there are none.
int Number(std::string_view s, std::size_t& i, std::size_t max) {
    int n = 0;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]) && digits < max) n = n * 10 + (s[i++] - '0'), ++digits;
    return digits ? n : -1;
}

bool Consume(std::string_view s, std::size_t& i, std::string_view what) {
    if (s.substr(i, what.size()) != what) return false;
    i += what.size();
    return true;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool IsRealDay(int year, int month, int day) {
    return year >= 1900 && year <= 2999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// "YYYY/MM/DD", then optionally "(weekday)" and " HH:MM[:SS[.ss]]", at `i`;
// `i` ends after what was read.
std::optional<PostDate> DateAt(std::string_view s, std::size_t& i) {
    std::size_t j = i;
    PostDate date;
    date.year = Number(s, j, 4);
    if (j - i != 4 || !Consume(s, j, "/")) return std::nullopt;
    date.month = Number(s, j, 2);
    if (!Consume(s, j, "/")) return std::nullopt;
    date.day = Number(s, j, 2);
    if (!IsRealDay(date.year, date.month, date.day) || (j < s.size() && IsDigit(s[j]))) return std::nullopt;
    if (j < s.size() && s[j] == '(') {
        const std::size_t close = s.find(')', j);
        if (close == std::string_view::npos || close - j > 12) return std::nullopt;
        j = close + 1;
    }
    std::size_t k = j;
    while (k < s.size() && IsSpace(s[k])) ++k;
    const std::size_t timeStart = k;
    const int hour = Number(s, k, 2);
    if (hour >= 0 && hour < 24 && Consume(s, k, ":")) {
        const int minute = Number(s, k, 2);
        if (minute >= 0 && minute < 60) {
            date.hasTime = true;
            date.hour = hour;
            date.minute = minute;
            std::size_t m = k;
            if (Consume(s, m, ":")) {
                const int second = Number(s, m, 2);
                if (second >= 0 && second < 61) {
                    date.second = second;
                    k = m;
                    if (Consume(s, m, ".") && Number(s, m, 9) >= 0) k = m;
                }
            }
            j = k;
        }
    }
    (void)timeStart;
    i = j;
    return date;
}

// The first date in `s` at or after `from`, with `end` after it.
std::optional<PostDate> FindDate(std::string_view s, std::size_t from, std::size_t& end) {
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (i < from || !IsDigit(s[i]) || (i > 0 && IsDigit(s[i - 1]))) continue;
        std::size_t j = i;
        if (std::optional<PostDate> date = DateAt(s, j)) {
            end = j;
            return date;
        }
    }
    return std::nullopt;
}

// The poster's ID after "ID:" at or after `from`, up to a space; empty when none.
std::string IdAfter(std::string_view s, std::size_t from) {
    std::size_t at = FindChars(s, "ID:", from);
    if (at == std::string_view::npos) return {};
    at += 3;
    std::size_t end = at;
    while (end < s.size() && !IsSpace(s[end])) end += CharLength(s, end);
    return std::string(s.substr(at, end - at));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character an entity at `s[i]` ('&') stands for, in code page 932, with
// `i` moved past it; nothing (and `i` unmoved) when it is no entity.
std::optional<std::string> Entity(std::string_view s, std::size_t& i) {
    const std::size_t semicolon = s.substr(0, i + 11).find(';', i);  // within ten bytes: no need to look further
    if (semicolon == std::string_view::npos) return std::nullopt;
    const std::string_view name = s.substr(i + 1, semicolon - i - 1);
    std::string out;
    if (name == "gt") out = ">";
    else if (name == "lt") out = "<";
    else if (name == "amp") out = "&";
    else if (name == "quot") out = "\"";
    else if (name == "apos") out = "'";
    else if (name == "nbsp") out = " ";
    else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return std::nullopt;
        char32_t c = 0;
        for (char d : digits) {
            int v = IsDigit(d) ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
            if (v < 0) return std::nullopt;
            c = c * (hex ? 16 : 10) + static_cast<char32_t>(v);
            if (c > 0x10FFFF) return std::nullopt;
        }
        if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        std::string utf8;
        AppendUtf8(utf8, c);
        out = Utf8ToCp932(utf8);
    } else {
        return std::nullopt;
    }
    i = semicolon + 1;
    return out;
}

bool IsBreakTag(std::string_view tag) {
    return tag.size() >= 2 && (tag[0] == 'b' || tag[0] == 'B') && (tag[1] == 'r' || tag[1] == 'R') &&
           (tag.size() == 2 || tag[2] == ' ' || tag[2] == '/');
}

// Body lines trimmed of spaces at both ends, without blank lines at the start
// or the end, joined by LF.
std::string JoinLines(const std::vector<std::string_view>& lines) {
    std::size_t first = 0, last = lines.size();
    while (first < last && Trimmed(lines[first]).empty()) ++first;
    while (last > first && Trimmed(lines[last - 1]).empty()) --last;
    std::string out;
    for (std::size_t l = first; l < last; ++l) {
        if (l > first) out += '\n';
        out += Trimmed(lines[l]);
    }
    return out;
}

// The position of the first `c` at or after `from` in `s`; s.size() when none.
std::size_t Next(std::string_view s, char c, std::size_t from) {
    const void* at = std::memchr(s.data() + from, c, s.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) : s.size();
}

// A .dat field as text, appended to `out`: <br> a line break, entities
// resolved, other tags (anchors' <a> and </a> among them) dropped, their text
// kept; lines trimmed of spaces at both ends, no blank lines at the start or
// the end, as JoinLines makes a browser's lines. '<', '>', '&' and ';' are
// never trail bytes, so they are found with memchr and the runs between them
// copied whole.
void AppendDatText(std::string& out, std::string_view html) {
    const std::size_t base = out.size();
    bool lineStart = true;  // spaces here are dropped
    const auto put = [&](std::string_view piece) {
        if (lineStart) {
            while (!piece.empty() && IsSpace(piece.front())) piece.remove_prefix(1);
            if (piece.empty()) return;
            lineStart = false;
        }
        out += piece;
    };
    const auto endLine = [&] {
        lineStart = true;
        if (out.size() == base) return;  // no blank lines at the start
        while (out.size() > base && IsSpace(out.back())) out.pop_back();
        out += '\n';
    };
    // The next '<', '&' and '>' at or after the place reached: each is looked
    // for again only once it has been passed.
    std::size_t lt = Next(html, '<', 0), amp = Next(html, '&', 0), gt = 0;
    for (std::size_t i = 0; i < html.size();) {
        if (lt < i) lt = Next(html, '<', i);
        if (amp < i) amp = Next(html, '&', i);
        const std::size_t special = std::min(lt, amp);
        put(html.substr(i, special - i));
        if (special == html.size()) break;
        i = special;
        if (html[i] == '<') {
            if (gt <= i) gt = Next(html, '>', i);
            if (gt != html.size()) {
                if (IsBreakTag(html.substr(i + 1, gt - i - 1))) endLine();
                i = gt + 1;
                continue;
            }
        } else if (std::optional<std::string> character = Entity(html, i)) {
            put(*character);
            continue;
        }
        put(html.substr(i, 1));
        ++i;
    }
    while (out.size() > base && (IsSpace(out.back()) || out.back() == '\n')) out.pop_back();
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t at; (at = line.find("<>", start)) != std::string_view::npos; start = at + 2)
        fields.push_back(line.substr(start, at - start));
    fields.push_back(line.substr(start));
    return fields;
}

// Where the first `max` "<>" separators of `line` are, as Fields finds them;
// returns how many there are.
int Separators(std::string_view line, std::size_t* at, int max) {
    int found = 0;
    for (std::size_t from = 0; found < max;) {
        const std::size_t next = line.find("<>", from);
        if (next == std::string_view::npos) break;
        at[found++] = next;
        from = next + 2;
    }
    return found;
}

// NAME<>MAIL<>DATE ID<>BODY<>TITLE[<>...]; a line of fewer fields is a post
// of that line as text. One pass over each line: the fields are found in
// place and the bodies written straight into `out.bodies`.
void DatPosts(std::string_view text, PostList& out) {
    for (std::size_t lineStart = 0; lineStart < text.size();) {
        const std::size_t lineEnd = Next(text, '\n', lineStart);
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trimmed(line).empty()) continue;
        const bool first = out.posts.empty();
        PostList::Header& post = out.posts.emplace_back();
        post.number = static_cast<int>(out.posts.size());
        post.start = out.bodies.size();
        std::size_t at[5];
        const int separators = Separators(line, at, first ? 5 : 4);
        if (separators < 3) {
            AppendDatText(out.bodies, line);
        } else {
            const std::string_view dateId = line.substr(at[1] + 2, at[2] - at[1] - 2);
            if (FindChars(dateId, kDeleted) == std::string_view::npos) {
                std::size_t end = 0;
                post.date = FindDate(dateId, 0, end);
                post.id = IdAfter(dateId, post.date ? end : 0);
            }
            const std::size_t bodyEnd = separators > 3 ? at[3] : line.size();
            const std::string_view body = line.substr(at[2] + 2, bodyEnd - at[2] - 2);
            if (first && separators > 3) {
                // The title's lines, then the body's.
                const std::size_t titleEnd = separators > 4 ? at[4] : line.size();
                AppendDatText(out.bodies, line.substr(at[3] + 2, titleEnd - at[3] - 2));
                const bool titled = out.bodies.size() > post.start;
                if (titled) out.bodies += '\n';
                const std::size_t bodyStart = out.bodies.size();
                AppendDatText(out.bodies, body);
                if (titled && out.bodies.size() == bodyStart) out.bodies.pop_back();
            } else {
                AppendDatText(out.bodies, body);
            }
        }
        out.bodies += '\0';
    }
}

// Title lines, then the body, as post 1 holds them.
std::string WithTitle(const std::string& title, std::string body) {
    if (title.empty()) return body;
    return body.empty() ? title : title + "\n" + body;
}

struct ThreadHeader {
    int number = 0;
    std::optional<PostDate> date;
    std::string id;
    bool labelled = false;  // the "name:" ... "posted on:" form
};

// A post's header line (see DetectLogFormat's comment for the forms taken),
// numbered above `last`.
std::optional<ThreadHeader> ParseHeader(std::string_view line, int last) {
    std::size_t i = 0;
    while (i < line.size() && IsSpace(line[i])) ++i;
    const std::size_t digitsStart = i;
    const int number = Number(line, i, 6);
    if (number <= last || i - digitsStart > 6 || (i < line.size() && IsDigit(line[i]))) return std::nullopt;
    while (i < line.size() && IsSpace(line[i])) ++i;
    ThreadHeader header;
    header.number = number;
    if (Consume(line, i, kNameLabel)) {
        if (!Consume(line, i, kFullColon) && !Consume(line, i, ":")) return std::nullopt;
        header.labelled = true;
    } else if (!Consume(line, i, kFullColon) && !Consume(line, i, ":")) {
        return std::nullopt;
    }
    std::size_t end = 0;
    header.date = FindDate(line, i, end);
    if (!header.date) return std::nullopt;
    header.id = IdAfter(line, end);
    return header;
}

std::vector<Post> ThreadPosts(std::string_view text) {
    std::vector<Post> posts;
    std::vector<std::string_view> titleLines, bodyLines;
    const auto finish = [&] {
        if (posts.empty()) return;
        posts.back().body = JoinLines(bodyLines);
        if (posts.size() == 1) posts.back().body = WithTitle(JoinLines(titleLines), std::move(posts.back().body));
        bodyLines.clear();
    };
    int last = 0;
    for (std::string_view line : Lines(text)) {
        if (std::optional<ThreadHeader> header = ParseHeader(line, last)) {
            finish();
            last = header->number;
            posts.push_back(Post{header->number, {}, header->date, std::move(header->id)});
        } else {
            (posts.empty() ? titleLines : bodyLines).push_back(line);
        }
    }
    finish();
    if (posts.empty() && !JoinLines(titleLines).empty()) posts.push_back(Post{1, JoinLines(titleLines), {}, {}});
    return posts;
}

// A day line of a talk history: "YYYY/MM/DD(weekday)" and nothing else.
std::optional<PostDate> DayLine(std::string_view line) {
    line = Trimmed(line);
    std::size_t i = 0;
    std::optional<PostDate> date = DateAt(line, i);
    if (!date || date->hasTime || i != line.size()) return std::nullopt;
    return date;
}

// "HH:MM" and a tab at the start of a talk's line; the time and the rest.
bool MessageTime(std::string_view line, int& hour, int& minute, std::string_view& rest) {
    std::size_t i = 0;
    hour = Number(line, i, 2);
    if (hour < 0 || hour > 23 || !Consume(line, i, ":")) return false;
    minute = Number(line, i, 2);
    if (minute < 0 || minute > 59 || !Consume(line, i, "\t")) return false;
    rest = line.substr(i);
    return true;
}

// Day lines, then "HH:MM<TAB>NAME<TAB>MESSAGE"; a message spanning lines is
// enclosed in double quotes (a quote inside doubled). A line of one tab (a
// member joined, a message unsent) has no speaker's words and is no post;
// the lines before the first day (the talk's name, when it was saved) are
// none either.
std::vector<Post> TalkPosts(std::string_view text) {
    std::vector<Post> posts;
    std::optional<PostDate> day;
    const std::vector<std::string_view> lines = Lines(text);
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const std::string_view line = lines[l];
        if (std::optional<PostDate> d = DayLine(line)) {
            day = d;
            continue;
        }
        if (!day) continue;
        int hour = 0, minute = 0;
        std::string_view rest;
        if (MessageTime(line, hour, minute, rest)) {
            const std::size_t tab = rest.find('\t');
            if (tab == std::string_view::npos) continue;
            std::string_view message = rest.substr(tab + 1);
            Post post;
            post.number = static_cast<int>(posts.size()) + 1;
            post.date = *day;
            post.date->hasTime = true;
            post.date->hour = hour;
            post.date->minute = minute;
            if (!message.empty() && message.front() == '"') {
                std::string quoted(message.substr(1));
                // Lines up to one that ends the quote.
                const auto ends = [](std::string_view s) {
                    std::size_t quotes = 0;
                    while (quotes < s.size() && s[s.size() - 1 - quotes] == '"') ++quotes;
                    return quotes % 2 == 1;
                };
                bool closed = ends(message.substr(1));
                while (!closed && l + 1 < lines.size()) {
                    quoted += '\n';
                    quoted += lines[++l];
                    closed = ends(lines[l]);
                }
                if (closed) quoted.pop_back();
                std::string body;
                for (std::size_t i = 0; i < quoted.size(); ++i) {
                    body += quoted[i];
                    if (quoted[i] == '"' && i + 1 < quoted.size() && quoted[i + 1] == '"') ++i;
                }
                post.body = body;
            } else {
                post.body = std::string(message);
            }
            posts.push_back(std::move(post));
        } else if (!posts.empty() && !Trimmed(line).empty()) {
            posts.back().body += '\n';  // a line the export did not quote
            posts.back().body += line;
        }
    }
    return posts;
}

std::vector<Post> Paragraphs(std::string_view text, std::optional<PostDate> date) {
    std::vector<Post> posts;
    std::vector<std::string_view> paragraph;
    const auto finish = [&] {
        std::string body = JoinLines(paragraph);
        paragraph.clear();
        if (!body.empty()) posts.push_back(Post{static_cast<int>(posts.size()) + 1, std::move(body), date, {}});
    };
    for (std::string_view line : Lines(text)) {
        if (Trimmed(line).empty()) finish();
        else paragraph.push_back(line);
    }
    finish();
    return posts;
}

// Days since 1970-01-01 (Howard Hinnant's days_from_civil).
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string Digits(int n, int width) {
    std::string out(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0 && n > 0; --i, n /= 10) out[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    return out;
}

}  // namespace

std::string_view LogFormatName(LogFormat format) {
    switch (format) {
        case LogFormat::Dat: return "dat";
        case LogFormat::Thread: return "thread";
        case LogFormat::LineTalk: return "line-talk";
        case LogFormat::Plain: break;
    }
    return "plain";
}

std::string PostDate::Iso() const {
    std::string out;
    AppendIso(out);
    return out;
}

void PostDate::AppendIso(std::string& out) const {
    // Written in place: a row per post prints one for each.
    char iso[20];
    std::size_t n = 0;
    const auto put = [&](int value, int width) {
        for (int i = width - 1; i >= 0; --i, value = value > 0 ? value / 10 : 0)
            iso[n + static_cast<std::size_t>(i)] = static_cast<char>('0' + (value > 0 ? value % 10 : 0));
        n += static_cast<std::size_t>(width);
    };
    const auto mark = [&](char c) { iso[n++] = c; };
    put(year, 4), mark('-'), put(month, 2), mark('-'), put(day, 2);
    if (hasTime) mark('T'), put(hour, 2), mark(':'), put(minute, 2), mark(':'), put(second, 2);
    out.append(iso, n);
}

// Judged on the first 100 lines:
// - dat: the first line that is not blank has four fields or more ("<>" three times);
// - line-talk: a day line ("2024/06/01(Sat)") with a message ("20:00<TAB>...") after it;
// - thread: post headers with rising numbers, "N" then "name:" or ":" (full or
//   half width) and a date "YYYY/MM/DD[(weekday)] [HH:MM[:SS[.ss]]]" later on the
//   line, optionally "ID:XXXX"; two of them, or one of the "name:" form;
// - plain: anything else.
LogFormat DetectLogFormat(std::string_view text) {
    std::vector<std::string_view> lines = Lines(text.substr(0, 64 * 1024));
    if (lines.size() > 100) lines.resize(100);
    for (std::string_view line : lines) {
        if (Trimmed(line).empty()) continue;
        if (Fields(line).size() >= 4) return LogFormat::Dat;
        break;
    }
    bool sawDay = false;
    int headers = 0, last = 0;
    bool labelled = false;
    for (std::string_view line : lines) {
        int hour, minute;
        std::string_view rest;
        if (DayLine(line)) sawDay = true;
        else if (sawDay && MessageTime(line, hour, minute, rest) && rest.find('\t') != std::string_view::npos)
            return LogFormat::LineTalk;
        if (std::optional<ThreadHeader> header = ParseHeader(line, last)) {
            ++headers;
            last = header->number;
            labelled = labelled || header->labelled;
        }
    }
    return headers >= 2 || labelled ? LogFormat::Thread : LogFormat::Plain;
}

std::string_view PostList::Body(std::size_t p) const {
    const std::size_t end = p + 1 < posts.size() ? posts[p + 1].start : bodies.size();
    return std::string_view(bodies).substr(posts[p].start, end - 1 - posts[p].start);
}

void PostList::Clear() {
    posts.clear();
    bodies.clear();
}

void SplitPosts(std::string_view text, LogFormat format, std::optional<PostDate> nameDate, PostList& out) {
    out.Clear();
    if (format == LogFormat::Dat) return DatPosts(text, out);
    std::vector<Post> posts = format == LogFormat::Thread     ? ThreadPosts(text)
                              : format == LogFormat::LineTalk ? TalkPosts(text)
                                                              : Paragraphs(text, nameDate);
    out.posts.reserve(posts.size());
    for (Post& post : posts) {
        out.posts.push_back({post.number, post.date, std::move(post.id), out.bodies.size()});
        out.bodies += post.body;
        out.bodies += '\0';
    }
}

std::vector<Post> SplitPosts(std::string_view text, LogFormat format, std::optional<PostDate> nameDate) {
    PostList list;
    SplitPosts(text, format, nameDate, list);
    std::vector<Post> posts;
    posts.reserve(list.posts.size());
    for (std::size_t p = 0; p < list.posts.size(); ++p) {
        PostList::Header& header = list.posts[p];
        posts.push_back({header.number, std::string(list.Body(p)), header.date, std::move(header.id)});
    }
    return posts;
}

std::optional<PostDate> DateInFileName(std::string_view name) {
    std::optional<PostDate> found;
    for (std::size_t i = 0; i < name.size();) {
        if (!IsDigit(name[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < name.size() && IsDigit(name[end])) ++end;
        const std::string_view run = name.substr(i, end - i);
        const auto number = [](std::string_view digits) {
            int n = 0;
            for (char d : digits) n = n * 10 + (d - '0');
            return n;
        };
        PostDate date;
        std::size_t next = end;
        if (run.size() == 8) {
            date = {number(run.substr(0, 4)), number(run.substr(4, 2)), number(run.substr(6, 2))};
        } else if (run.size() == 4 && name.substr(end, 1) == "-" && end + 6 <= name.size() && name[end + 3] == '-' &&
                   IsDigit(name[end + 1]) && IsDigit(name[end + 2]) && IsDigit(name[end + 4]) && IsDigit(name[end + 5]) &&
                   (end + 6 == name.size() || !IsDigit(name[end + 6]))) {
            date = {number(run), number(name.substr(end + 1, 2)), number(name.substr(end + 4, 2))};
            next = end + 6;
        }
        if (IsRealDay(date.year, date.month, date.day)) found = date;
        i = next;
    }
    return found;
}

std::string PeriodOf(const PostDate& date, PeriodKind kind) {
    if (kind == PeriodKind::Month) return Digits(date.year, 4) + "-" + Digits(date.month, 2);
    if (kind == PeriodKind::Day) return Digits(date.year, 4) + "-" + Digits(date.month, 2) + "-" + Digits(date.day, 2);
    // The ISO week is the one of its Thursday; its year is the Thursday's year.
    const long days = DaysFromCivil(date.year, date.month, date.day);
    const long weekday = ((days + 3) % 7 + 7) % 7 + 1;  // 1970-01-01 was a Thursday; Monday = 1
    const long thursday = days + (4 - weekday);
    int year = date.year + 1;
    while (DaysFromCivil(year, 1, 1) > thursday) --year;
    const long week = (thursday - DaysFromCivil(year, 1, 1)) / 7 + 1;
    return Digits(year, 4) + "-W" + Digits(static_cast<int>(week), 2);
}

}  // namespace quenbol
