#include "cli/count/inside_words.h"

#include <algorithm>

#include "core/counting.h"

namespace quenbol::cli {

InsideWordCheck MakeInsideWordCheck(const Keywords& table, const ManualWordList& manualWords) {
    std::vector<std::string> words;
    for (const std::string& w : table)
        if (!w.empty()) words.push_back(w);
    for (const std::string& w : manualWords)
        if (!w.empty()) words.push_back(w);
    return InsideWordCheck(std::move(words));
}

InsideFinds FindInsideWords(const InsideWordCheck& check, std::string_view text, const MatchReport& members) {
    InsideFinds finds;
    for (std::size_t r = 0; r < members.runCount(); ++r) {
        for (MatchReport::Reader reader = members.ReadRun(r); reader.Next();) {
            if (reader.spans().size() != 1) continue;
            const TextSpan span = reader.spans().front();
            if (const auto word = check.Find(text, span.start, span.end - span.start))
                finds.push_back({span.start, static_cast<int>(reader.word()),
                                 std::string(text.substr(word->start, word->end - word->start))});
        }
    }
    // The report comes in runs, each in text order: put them together.
    std::sort(finds.begin(), finds.end(), [](const InsideFind& a, const InsideFind& b) { return a.start < b.start; });
    return finds;
}

const InsideFind* InsideAt(const InsideFinds& finds, std::uint32_t start) {
    const auto at = std::lower_bound(finds.begin(), finds.end(), start,
                                     [](const InsideFind& f, std::uint32_t s) { return f.start < s; });
    return at != finds.end() && at->start == start ? &*at : nullptr;
}

void SetInsideCounts(const InsideFinds& finds, KeywordCounts& counts) {
    counts.insideChecked = true;
    counts.insideCurrent.fill(0);
    for (auto& words : counts.insideWords) words.clear();
    for (const InsideFind& f : finds) {
        ++counts.insideCurrent[f.entry];
        ++counts.insideWords[f.entry][f.word];
        counts.insideTotal[f.entry] = SaturatingAdd(counts.insideTotal[f.entry], 1);
        ++counts.insideWordsTotal[f.entry][f.word];
    }
}

}  // namespace quenbol::cli
