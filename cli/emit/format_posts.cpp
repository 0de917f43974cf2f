// Post rows and the sums of posts.
#include "cli/emit/format_posts.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "cli/emit/format_json.h"
#include "cli/emit/format_table.h"
#include "cli/emit/row_writers.h"
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::string Utf8(std::string_view cp932) { return Cp932ToUtf8(cp932); }
std::string Text(const char8_t* utf8) { return reinterpret_cast<const char*>(utf8); }

// The parts that are the same in every row, made once: each member's name as
// a JSON string, what comes before its count in a JSON Lines row, the
// members of a post that names none, and the names as CSV fields.
struct FixedParts {
    std::array<std::string, kMemberCount> jsonNames, jsonBeforeCount, csvNames;
    std::string noMembers;
};

const FixedParts& Fixed() {
    static const FixedParts parts = [] {
        FixedParts p;
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            p.jsonNames[m] = JsonUtf8String(Utf8(DisplayName(m)));
            p.csvNames[m] = CsvField(Utf8(DisplayName(m)));
            p.jsonBeforeCount[m] = (m ? ", {\"name\": " : "{\"name\": ") + p.jsonNames[m] + ", \"current\": ";
            p.noMembers += p.jsonBeforeCount[m] + "0}";
        }
        return p;
    }();
    return parts;
}

// A code page 932 string as a JSON string, as JsonString makes it; a poster's
// ID is mostly printable ASCII, which is its own UTF-8 and needs no escape.
void AppendJsonCp932(std::string& out, std::string_view cp932) {
    const bool plain = std::all_of(cp932.begin(), cp932.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
    });
    if (!plain) {
        out += JsonString(cp932);
        return;
    }
    out += '"';
    out += cp932;
    out += '"';
}

// A share of the posts, four decimals: 0.2500.
std::string Share(std::int64_t part, std::int64_t whole) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", whole ? static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return buffer;
}

}  // namespace

void AppendPostJsonlRecords(std::string& out, const TextJob& text) {
    if (!text.ok()) {
        out += "{\"file\": ";
        AppendJsonString(out, text.path);
        out += ", \"error\": ";
        AppendJsonString(out, text.failure);
        out += "}\n";
        return;
    }
    std::string file;
    AppendJsonString(file, text.path);
    out.reserve(out.size() + text.posts.size() * 900);
    for (const PostCount& post : text.posts) {
        out += "{\"file\": ";
        out += file;
        out += ", \"post\": ";
        AppendNumber(out, post.number);
        out += ", \"date\": ";
        if (post.date) {
            out += '"';  // digits and "-T:" only: nothing to escape
            post.date->AppendIso(out);
            out += '"';
        } else {
            out += "null";
        }
        out += ", \"id\": ";
        if (post.id.empty()) out += "null";
        else AppendJsonCp932(out, post.id);
        out += ", \"members\": [";
        if (std::all_of(post.current.begin(), post.current.end(), [](std::int32_t n) { return n == 0; })) {
            out += Fixed().noMembers;
        } else {
            for (MemberIndex m = 0; m < kMemberCount; ++m) {
                out += Fixed().jsonBeforeCount[m];
                const std::int32_t n = post.current[m];
                if (n >= 0 && n < 10) out += static_cast<char>('0' + n);  // most counts: one digit
                else AppendNumber(out, n);
                out += '}';
            }
        }
        out += "], \"manual\": ";
        AppendNumber(out, post.manual);
        out += "}\n";
    }
}

std::string PostJsonlRecords(const TextJob& text) {
    std::string out;
    AppendPostJsonlRecords(out, text);
    return out;
}

std::string PostCsvHeader() {
    std::string out = "\xEF\xBB\xBF" "file,post,date,id";
    for (MemberIndex m = 0; m < kMemberCount; ++m) out += "," + Fixed().csvNames[m];
    return out + ",manual\r\n";
}

void AppendPostCsvRows(std::string& out, const TextJob& text) {
    if (!text.ok()) return;
    const std::string file = CsvField(SanitizeUtf8(text.path));
    out.reserve(out.size() + text.posts.size() * 120);
    for (const PostCount& post : text.posts) {
        out += file;
        out += ',';
        AppendNumber(out, post.number);
        out += ',';
        if (post.date) post.date->AppendIso(out);
        out += ',';
        out += CsvField(Utf8(post.id));
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            out += ',';
            AppendNumber(out, post.current[m]);
        }
        out += ',';
        AppendNumber(out, post.manual);
        out += "\r\n";
    }
}

std::string PostCsvRows(const TextJob& text) {
    std::string out;
    AppendPostCsvRows(out, text);
    return out;
}

std::string FormatPostJson(const PostStats& stats) {
    std::string out = "{\n  \"members\": [\n";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += "    {\"name\": " + Fixed().jsonNames[m] + ", \"mentions\": " + std::to_string(stats.mentions[m]) +
               ", \"posts\": " + std::to_string(stats.PostsNaming(m)) +
               ", \"share_of_posts\": " + Share(stats.PostsNaming(m), stats.posts) + "}";
        out += m + 1 < kMemberCount ? ",\n" : "\n";
    }
    out += "  ],\n  \"manual\": " + std::to_string(stats.manualMentions) + ",\n";
    out += "  \"posts\": " + std::to_string(stats.posts) + ",\n  \"co_mentions\": [\n";
    for (MemberIndex a = 0; a < kMemberCount; ++a) {
        out += "    [";
        for (MemberIndex b = 0; b < kMemberCount; ++b) out += (b ? ", " : "") + std::to_string(stats.coMentions[a][b]);
        out += a + 1 < kMemberCount ? "],\n" : "]\n";
    }
    out += "  ],\n  \"periods\": [";
    bool first = true;
    for (const auto& [name, period] : stats.periods) {
        out += first ? "\n" : ",\n";
        first = false;
        out += "    {\"period\": \"" + name + "\", \"posts\": " + std::to_string(period.posts) + ", \"members\": [";
        for (MemberIndex m = 0; m < kMemberCount; ++m) out += (m ? ", " : "") + std::to_string(period.mentions[m]);
        out += "]}";
    }
    out += first ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::string FormatPostTable(const PostStats& stats) {
    const std::string nameHead = Text(u8"メンバー");
    const std::string heads[3] = {Text(u8"言及"), Text(u8"投稿"), Text(u8"割合")};
    int nameWidth = DisplayWidth(nameHead);
    int numberWidth = 6;
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        nameWidth = std::max(nameWidth, DisplayWidth(Utf8(DisplayName(m))));
        numberWidth = std::max(numberWidth, static_cast<int>(std::to_string(stats.mentions[m]).size()));
    }
    numberWidth = std::max(numberWidth, static_cast<int>(std::to_string(stats.posts).size()));
    const auto pad = [](const std::string& s, int width, bool right) {
        const std::string space(std::max(0, width - DisplayWidth(s)), ' ');
        return right ? space + s : s + space;
    };
    const auto row = [&](const std::string& name, const std::string& a, const std::string& b, const std::string& c) {
        return pad(name, nameWidth, false) + "  " + pad(a, numberWidth, true) + "  " + pad(b, numberWidth, true) +
               "  " + pad(c, numberWidth, true) + "\n";
    };
    std::string out = row(nameHead, heads[0], heads[1], heads[2]);
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        char share[16];
        std::snprintf(share, sizeof share, "%.1f%%",
                      stats.posts ? 100.0 * static_cast<double>(stats.PostsNaming(m)) / static_cast<double>(stats.posts) : 0.0);
        out += row(Utf8(DisplayName(m)), std::to_string(stats.mentions[m]), std::to_string(stats.PostsNaming(m)), share);
    }
    out += "\n" + Text(u8"投稿数") + "  " + std::to_string(stats.posts) + "\n";
    return out;
}

}  // namespace quenbol::cli
