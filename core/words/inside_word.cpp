#include "core/words/inside_word.h"

#include <algorithm>
#include <limits>

#include "core/text/cp932.h"
#include "core/words/word_table.h"

namespace quenbol {
namespace {

// How far the segmentation looks on each side of the occurrence, in
// characters: room for the longest ordinary words around it.
constexpr std::size_t kContext = 8;

// The costs of the segmentation, on the dictionary's scale. A dictionary word
// costs its own cost plus kWordCost; a character the dictionary does not hold
// at that place costs kUnknownCost; the occurrence taken as a name costs
// kNameCost. Tuned on bench/inside_words.py's prose and fan texts.
constexpr int kWordCost = 2000;
constexpr int kUnknownCost = 12000;
constexpr int kNameCost = 4000;

std::size_t CharLength(std::string_view text, std::size_t at) {
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// The character boundaries of the neighbourhood: up to kContext characters
// before start, the occurrence's own, and up to kContext after end.
std::vector<std::size_t> Boundaries(std::string_view text, std::size_t start, std::size_t end) {
    // A byte that cannot start a two-byte character always ends a character,
    // so the first boundary at or before `from` is found by stepping back
    // over lead-byte values.
    std::size_t from = start > 2 * kContext ? start - 2 * kContext : 0;
    std::size_t back = from;
    while (back > 0 && from - back < 256 && IsLeadByte(static_cast<unsigned char>(text[back - 1]))) --back;
    std::vector<std::size_t> marks;
    std::size_t at = back;
    while (at < start) {
        marks.push_back(at);
        at += CharLength(text, at);
    }
    if (at != start) marks.clear();  // no boundary found before it: no left context
    if (marks.size() > kContext) marks.erase(marks.begin(), marks.end() - kContext);
    at = start;
    std::size_t after = 0;
    while (at < text.size() && (at < end || after < kContext)) {
        marks.push_back(at);
        if (at >= end) ++after;
        at += CharLength(text, at);
    }
    marks.push_back(at);
    return marks;
}

std::size_t StartOf(std::string_view word) {
    return word.empty() ? 0 : static_cast<unsigned char>(word[0]) << 8 | (word.size() > 1 ? static_cast<unsigned char>(word[1]) : 0);
}

}  // namespace

InsideWordCheck::InsideWordCheck(std::vector<std::string> keywords)
    : InsideWordCheck(std::move(keywords), WordTable::BuiltIn()) {}

InsideWordCheck::InsideWordCheck(std::vector<std::string> keywords, const WordTable& table)
    : keywords_(std::move(keywords)), table_(table) {
    std::sort(keywords_.begin(), keywords_.end());
    for (const std::string& k : keywords_) keywordStarts_.set(StartOf(k));
}

bool InsideWordCheck::IsKeyword(std::string_view word) const {
    if (!keywordStarts_.test(StartOf(word))) return false;
    return std::binary_search(keywords_.begin(), keywords_.end(), word,
                              [](std::string_view a, std::string_view b) { return a < b; });
}

std::optional<WordSpan> InsideWordCheck::Find(std::string_view text, std::size_t start,
                                              std::size_t length) const {
    const std::size_t end = start + length;
    const std::vector<std::size_t> marks = Boundaries(text, start, end);
    const std::size_t n = marks.size() - 1;  // characters in the neighbourhood
    const std::size_t first = std::find(marks.begin(), marks.end(), start) - marks.begin();
    const std::size_t last = std::find(marks.begin(), marks.end(), end) - marks.begin();
    if (last > n) return std::nullopt;  // not on character boundaries

    // Lowest-cost segmentation, left to right: cost[j] is the best total up to
    // boundary j and from[j] where its last token began.
    constexpr long kNone = std::numeric_limits<long>::max();
    std::vector<long> cost(n + 1, kNone);
    std::vector<std::size_t> from(n + 1, 0);
    cost[0] = 0;
    auto offer = [&](std::size_t i, std::size_t j, long c) {
        if (cost[i] + c < cost[j]) cost[j] = cost[i] + c, from[j] = i;
    };
    const std::string_view window = text.substr(marks[0], marks[n] - marks[0]);
    bool crossing = false;  // a word crosses the occurrence's start or end
    for (std::size_t i = 0; i < n; ++i) {
        // Most real mentions have no word across their ends at all: no
        // segmentation can then take them into one, so the rest is not needed.
        if (i == last && !crossing) return std::nullopt;
        if (cost[i] == kNone) continue;
        offer(i, i + 1, kUnknownCost);
        if (i == first) offer(i, last, kNameCost);
        std::size_t j = i;
        const std::string_view rest = window.substr(marks[i] - marks[0]);
        table_.ForEachPrefix(rest, [&](std::size_t bytes, int wordCost) {
            while (j <= n && marks[j] < marks[i] + bytes) ++j;
            if (j > n || marks[j] != marks[i] + bytes) return;  // ends inside a character
            if (IsKeyword(rest.substr(0, bytes))) return;
            crossing = crossing || (i < first && j > first) || (i < last && j > last);
            offer(i, j, wordCost + kWordCost);
        });
    }

    // Walk the best path back; the occurrence stands alone when both of its
    // ends are token boundaries.
    std::vector<std::size_t> cuts{n};
    while (cuts.back() != 0) cuts.push_back(from[cuts.back()]);
    std::reverse(cuts.begin(), cuts.end());
    const bool startCut = std::binary_search(cuts.begin(), cuts.end(), first);
    const bool endCut = std::binary_search(cuts.begin(), cuts.end(), last);
    if (startCut && endCut) return std::nullopt;
    // The word: the tokens that overlap the occurrence, together.
    auto left = std::upper_bound(cuts.begin(), cuts.end(), first) - 1;
    auto right = std::lower_bound(cuts.begin(), cuts.end(), last);
    return WordSpan{marks[*left], marks[*right]};
}

}  // namespace quenbol
