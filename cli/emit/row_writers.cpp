// JSON Lines records and CSV rows.
#include "cli/emit/row_writers.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "cli/emit/format_json.h"
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::string Utf8(std::string_view cp932) { return Cp932ToUtf8(cp932); }

// The parts that are the same in every row, made once: each member's name
// as a JSON string, each caption (index top + 1) likewise, and the names as
// CSV fields.
struct FixedParts {
    std::array<std::string, kMemberCount> jsonNames, csvNames;
    std::array<std::string, kMemberCount + 1> jsonCaptions;
};

const FixedParts& Fixed() {
    static const FixedParts parts = [] {
        FixedParts p;
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            p.jsonNames[m] = JsonUtf8String(Utf8(DisplayName(m)));
            p.csvNames[m] = CsvField(Utf8(DisplayName(m)));
        }
        for (MemberIndex top = -1; top < kMemberCount; ++top) p.jsonCaptions[top + 1] = JsonUtf8String(Utf8(CaptionFor(top)));
        return p;
    }();
    return parts;
}

}  // namespace

// A cell that begins with = + - @, a tab or a CR is one that a spreadsheet
// would run as a formula (a file named "=1+1.txt"): the apostrophe keeps it
// text. Numbers are written by AppendNumber.
std::string CsvField(const std::string& utf8) {
    const std::string cell = !utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos
                                 ? "'" + utf8
                                 : utf8;
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void AppendNumber(std::string& out, std::int64_t n) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

std::string JsonlRecord(const TextJob& text, const RunTotals& after, bool byKeyword) {
    // Appended piece by piece into one string: thousands of rows a second.
    const bool failed = !text.ok();
    const MemberIndex top = after.top;
    std::string out;
    out.reserve(1600);
    const auto number = [&out](std::int64_t n) { AppendNumber(out, n); };
    const auto pair = [&](std::int32_t current, std::int32_t total) {
        out += "\"current\": ";
        number(current);
        out += ", \"total\": ";
        number(total);
    };
    out += "{\"file\": ";
    AppendJsonString(out, text.path);
    out += ", \"encoding\": ";
    if (failed) out += "null";
    else AppendJsonString(out, EncodingName(text.encoding));
    out += ", \"bytes\": ";
    if (failed) out += "null";
    else number(static_cast<std::int64_t>(text.bytes));
    if (text.illFormed > 0) {
        out += ", \"encoding_errors\": ";
        number(static_cast<std::int64_t>(text.illFormed));
    }
    out += ", \"members\": [";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += m ? ", {\"name\": " : "{\"name\": ";
        out += Fixed().jsonNames[m];
        out += ", ";
        pair(after.state.current[m], after.state.total[m]);
        if (byKeyword && after.byKeyword.insideChecked) {
            std::int32_t inside = 0;
            for (int s = 0; s < kSlotsPerMember; ++s) inside += after.byKeyword.insideCurrent[EntryIndex(m, s)];
            out += ", \"inside_words\": ";
            number(inside);
        }
        if (byKeyword) {
            out += ", ";
            out += MemberKeywordsJson(after.byKeyword, m);
        }
        out += '}';
    }
    out += "], \"manual\": {";
    pair(after.state.manualCurrent, after.state.manualTotal);
    out += "}, \"top\": ";
    number(top);
    out += ", \"caption\": ";
    out += Fixed().jsonCaptions[top + 1];
    if (failed) {
        out += ", \"error\": ";
        AppendJsonString(out, text.failure);
    }
    out += "}\n";
    return out;
}

std::string CsvHeader() {
    std::string out = "\xEF\xBB\xBF" "file,encoding,bytes";
    for (MemberIndex m = 0; m < kMemberCount; ++m) out += "," + Fixed().csvNames[m];
    return out + ",manual,top,error\r\n";
}

std::string CsvRow(const TextJob& text, const RunTotals& after) {
    const bool failed = !text.ok();
    const MemberIndex top = after.top;
    std::string out;
    out.reserve(256);
    out += CsvField(SanitizeUtf8(text.path));
    out += ',';
    if (!failed) out += CsvField(std::string(EncodingName(text.encoding)));
    out += ',';
    if (!failed) AppendNumber(out, static_cast<std::int64_t>(text.bytes));
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += ',';
        AppendNumber(out, after.state.current[m]);
    }
    out += ',';
    AppendNumber(out, after.state.manualCurrent);
    out += ',';
    if (top >= 0) out += Fixed().csvNames[top];
    out += ',';
    out += CsvField(SanitizeUtf8(text.failure));
    out += "\r\n";
    return out;
}

}  // namespace quenbol::cli
