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

// Well-formed UTF-8 for any bytes: each ill-formed byte becomes U+FFFD.
std::string WellFormed(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        bool taken = false;
        for (std::size_t len = 4; len >= 1 && !taken; --len) {
            if (i + len <= bytes.size() && IsValidUtf8(bytes.substr(i, len))) {
                out.append(bytes.substr(i, len));
                i += len;
                taken = true;
            }
        }
        if (!taken) {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

// A text cell. One that begins with = + - @, a tab or a CR is one that a
// spreadsheet would run as a formula (a file named "=1+1.txt"): it gets a
// leading apostrophe, which keeps it text. Numbers are written elsewhere.
std::string CsvField(const std::string& utf8) {
    const std::string cell = !utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos
                                 ? "'" + utf8
                                 : utf8;
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Appends `utf8` as a JSON string, made well-formed first when it is not.
void AppendJsonString(std::string& out, std::string_view utf8) {
    std::string repaired;
    const std::string_view text = IsValidUtf8(utf8) ? utf8 : std::string_view(repaired = WellFormed(utf8));
    out += '"';
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", b);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendNumber(std::string& out, std::int64_t n) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

}  // namespace

std::string JsonRowString(std::string_view utf8) {
    std::string out;
    AppendJsonString(out, utf8);
    return out;
}

namespace {

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
            p.jsonNames[m] = JsonRowString(Utf8(DisplayName(m)));
            p.csvNames[m] = CsvField(Utf8(DisplayName(m)));
        }
        for (MemberIndex top = -1; top < kMemberCount; ++top) p.jsonCaptions[top + 1] = JsonRowString(Utf8(CaptionFor(top)));
        return p;
    }();
    return parts;
}

}  // namespace

std::string JsonlRecord(const TextRecord& record, const CountingState& after, MemberIndex top,
                        const KeywordCounts* byKeyword) {
    // Appended piece by piece into one string: thousands of rows a second.
    const bool failed = !record.error.empty();
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
    AppendJsonString(out, record.file);
    out += ", \"encoding\": ";
    if (failed) out += "null";
    else AppendJsonString(out, record.encoding);
    out += ", \"bytes\": ";
    if (failed) out += "null";
    else number(static_cast<std::int64_t>(record.bytes));
    if (record.encodingErrors > 0) {
        out += ", \"encoding_errors\": ";
        number(static_cast<std::int64_t>(record.encodingErrors));
    }
    out += ", \"members\": [";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += m ? ", {\"name\": " : "{\"name\": ";
        out += Fixed().jsonNames[m];
        out += ", ";
        pair(after.current[m], after.total[m]);
        if (byKeyword) {
            out += ", ";
            out += MemberKeywordsJson(*byKeyword, m);
        }
        out += '}';
    }
    out += "], \"manual\": {";
    pair(after.manualCurrent, after.manualTotal);
    out += "}, \"top\": ";
    number(top);
    out += ", \"caption\": ";
    out += Fixed().jsonCaptions[top + 1];
    if (failed) {
        out += ", \"error\": ";
        AppendJsonString(out, record.error);
    }
    out += "}\n";
    return out;
}

std::string CsvHeader() {
    std::string out = "\xEF\xBB\xBF" "file,encoding,bytes";
    for (MemberIndex m = 0; m < kMemberCount; ++m) out += "," + Fixed().csvNames[m];
    return out + ",manual,top,error\r\n";
}

std::string CsvRow(const TextRecord& record, const CountingState& after, MemberIndex top) {
    const bool failed = !record.error.empty();
    std::string out;
    out.reserve(256);
    out += CsvField(WellFormed(record.file));
    out += ',';
    out += CsvField(record.encoding);
    out += ',';
    if (!failed) AppendNumber(out, static_cast<std::int64_t>(record.bytes));
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += ',';
        AppendNumber(out, after.current[m]);
    }
    out += ',';
    AppendNumber(out, after.manualCurrent);
    out += ',';
    if (top >= 0) out += Fixed().csvNames[top];
    out += ',';
    out += CsvField(WellFormed(record.error));
    out += "\r\n";
    return out;
}

}  // namespace quenbol::cli
