// The table form of the counting state.
#include "cli/emit/format_table.h"

#include <algorithm>

#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

// Ranges of East Asian wide and full-width characters (the usual terminal
// rule), enough for Japanese text; half-width katakana stay narrow.
constexpr char32_t kWideRanges[][2] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

bool IsWide(char32_t cp) {
    return std::any_of(std::begin(kWideRanges), std::end(kWideRanges),
                       [cp](const auto& r) { return cp >= r[0] && cp <= r[1]; });
}

std::string Utf8(std::string_view cp932) { return Cp932ToUtf8(cp932); }

std::string PadRight(const std::string& utf8, int width) {
    return utf8 + std::string(std::max(0, width - DisplayWidth(utf8)), ' ');
}

std::string PadLeft(const std::string& utf8, int width) {
    return std::string(std::max(0, width - DisplayWidth(utf8)), ' ') + utf8;
}

// After the table: each keyword with occurrences inside ordinary words over
// the texts counted, how many of its count they are and the words, then how
// to make it exact.
std::string InsideWordsNote(const KeywordCounts& counts) {
    std::string out;
    for (int e = 0; counts.insideChecked && e < kKeywordEntries; ++e) {
        if (counts.insideTotal[e] == 0) continue;
        out += "注意: 「" + Utf8(counts.words[e]) + "」" + std::to_string(counts.total[e]) + " 件中 " +
               std::to_string(counts.insideTotal[e]) + " 件は普通の語の一部です (";
        bool first = true;
        for (const auto& [word, count] : MostFrequent(counts.insideWordsTotal[e], 5)) {
            out += (first ? "" : ", ") + Utf8(word) + " " + std::to_string(count);
            first = false;
        }
        out += ")。\n";
    }
    if (!out.empty()) {
        out = "\n" + out +
              "直し方: 「検索ワード設定」でそのキーワードを長い形 (「月岡瑠衣」など) に変えて"
              "設定ファイルに保存し、--keywords でその設定ファイルを使ってください。\n";
    }
    return out;
}

}  // namespace

int DisplayWidth(std::string_view utf8) {
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
        i += len;
        if ((b & 0xC0) != 0x80) width += IsWide(cp) ? 2 : 1;  // a stray continuation byte takes no column
    }
    return width;
}

std::string FormatTable(const CountingState& state, MemberIndex top, const KeywordCounts* byKeyword,
                        const KeywordCounts* inside) {
    const std::string nameHead = "メンバー";
    const std::string manualName = "手動ワード";
    const std::string currentHead = "今回";
    const std::string totalHead = "累計";

    int nameWidth = std::max(DisplayWidth(nameHead), DisplayWidth(manualName));
    int numberWidth = DisplayWidth(totalHead);
    const auto widen = [&numberWidth](std::int32_t n) {
        numberWidth = std::max(numberWidth, static_cast<int>(std::to_string(n).size()));
    };
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        nameWidth = std::max(nameWidth, DisplayWidth(Utf8(DisplayName(m))));
        widen(state.current[m]);
        widen(state.total[m]);
    }
    widen(state.manualCurrent);
    widen(state.manualTotal);
    // Keyword rows: the word indented under its member.
    const std::string indent = "  ";
    if (byKeyword) {
        for (int e = 0; e < kKeywordEntries; ++e) {
            if (byKeyword->words[e].empty()) continue;
            nameWidth = std::max(nameWidth, 2 + DisplayWidth(Utf8(byKeyword->words[e])));
            widen(byKeyword->total[e]);
        }
        for (int w = 0; w < kManualWordCount; ++w) {
            if (byKeyword->manualWords[w].empty()) continue;
            nameWidth = std::max(nameWidth, 2 + DisplayWidth(Utf8(byKeyword->manualWords[w])));
            widen(byKeyword->manualTotal[w]);
        }
    }

    const auto row = [&](const std::string& name, const std::string& a, const std::string& b) {
        return PadRight(name, nameWidth) + "  " + PadLeft(a, numberWidth) + "  " +
               PadLeft(b, numberWidth) + "\n";
    };
    std::string out = row(nameHead, currentHead, totalHead);
    const auto keywordRow = [&](const std::string& word, std::int32_t current, std::int32_t total) {
        return word.empty() ? std::string()
                            : row(indent + Utf8(word), std::to_string(current), std::to_string(total));
    };
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += row(Utf8(DisplayName(m)), std::to_string(state.current[m]),
                   std::to_string(state.total[m]));
        for (int s = 0; byKeyword && s < kSlotsPerMember; ++s) {
            const int e = EntryIndex(m, s);
            out += keywordRow(byKeyword->words[e], byKeyword->current[e], byKeyword->total[e]);
        }
    }
    out += row(manualName, std::to_string(state.manualCurrent), std::to_string(state.manualTotal));
    for (int w = 0; byKeyword && w < kManualWordCount; ++w) {
        out += keywordRow(byKeyword->manualWords[w], byKeyword->manualCurrent[w],
                          byKeyword->manualTotal[w]);
    }
    out += "\n";
    out += Utf8(CaptionFor(top));
    out += "\n";
    if (inside) out += InsideWordsNote(*inside);
    return out;
}

}  // namespace quenbol::cli
