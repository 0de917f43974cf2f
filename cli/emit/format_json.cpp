// The JSON form of the counting state.
#include "cli/emit/format_json.h"

#include <cstdio>

#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::string Pair(std::int32_t current, std::int32_t total) {
    return "\"current\": " + std::to_string(current) + ", \"total\": " + std::to_string(total);
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
    std::string repaired;
    const std::string_view text = IsValidUtf8(utf8) ? utf8 : std::string_view(repaired = SanitizeUtf8(utf8));
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

std::string JsonUtf8String(std::string_view utf8) {
    std::string out;
    AppendJsonString(out, utf8);
    return out;
}

std::string ScriptSafe(std::string_view json) {
    std::string out;
    out.reserve(json.size());
    for (const char c : json) c == '<' ? out += "\\u003C" : out += c;
    return out;
}

std::string JsonString(std::string_view cp932) {
    return JsonUtf8String(Cp932ToUtf8(cp932));  // always well-formed: undefined codes become U+FFFD
}

std::string MemberKeywordsJson(const KeywordCounts& byKeyword, MemberIndex m) {
    std::string out = "\"keywords\": [";
    for (int s = 0; s < kSlotsPerMember; ++s) {
        const int e = EntryIndex(m, s);
        out += (s ? ", " : "") + std::string("{\"slot\": ") + std::to_string(s) +
               ", \"word\": " + JsonString(byKeyword.words[e]) + ", " +
               Pair(byKeyword.current[e], byKeyword.total[e]);
        if (byKeyword.insideChecked) {
            out += ", \"inside_words\": " + std::to_string(byKeyword.insideCurrent[e]) + ", \"inside_examples\": [";
            bool first = true;
            for (const auto& [word, count] : MostFrequent(byKeyword.insideWords[e], 5)) {
                out += (first ? "" : ", ") + std::string("{\"word\": ") + JsonString(word) +
                       ", \"count\": " + std::to_string(count) + "}";
                first = false;
            }
            out += "]";
        }
        out += "}";
    }
    return out + "]";
}

std::string FormatJson(const CountingState& state, MemberIndex top, const KeywordCounts* byKeyword,
                       std::uint64_t encodingErrors) {
    std::string out = "{\n  \"members\": [\n";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += "    {\"name\": " + JsonString(DisplayName(m)) + ", " +
               Pair(state.current[m], state.total[m]);
        if (byKeyword) out += ", " + MemberKeywordsJson(*byKeyword, m);
        out += "}";
        out += m + 1 < kMemberCount ? ",\n" : "\n";
    }
    out += "  ],\n";
    out += "  \"manual\": {" + Pair(state.manualCurrent, state.manualTotal);
    if (byKeyword) {
        out += ", \"words\": [";
        for (int w = 0; w < kManualWordCount; ++w) {
            out += (w ? ", " : "") + std::string("{\"word\": ") + JsonString(byKeyword->manualWords[w]) +
                   ", " + Pair(byKeyword->manualCurrent[w], byKeyword->manualTotal[w]) + "}";
        }
        out += "]";
    }
    out += "},\n";
    out += "  \"top\": " + std::to_string(top) + ",\n";
    out += "  \"caption\": " + JsonString(CaptionFor(top));
    if (encodingErrors > 0) out += ",\n  \"encoding_errors\": " + std::to_string(encodingErrors);
    out += "\n}\n";
    return out;
}

}  // namespace quenbol::cli
