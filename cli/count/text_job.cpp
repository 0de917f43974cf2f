// The running totals.
#include "cli/count/text_job.h"

#include <algorithm>

namespace quenbol::cli {

std::size_t PostBodies::PostAt(std::size_t at) const {
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
}

std::string_view PostBodies::Body(std::size_t post) const {
    const std::size_t end = post + 1 < starts.size() ? starts[post + 1] - 1 : joined.size() - 1;  // before its NUL
    return std::string_view(joined).substr(starts[post], end - starts[post]);
}

RunTotals::RunTotals(const Keywords& table, const ManualWordList& manualWords, bool keywordCounts)
    : keywordCounts(keywordCounts) {
    state.manualWords = manualWords;
    byKeyword.words = table;
    byKeyword.manualWords = manualWords;
}

void RunTotals::Add(const TextJob& text) {
    state.current = text.current;
    state.manualCurrent = text.manualCurrent;
    for (MemberIndex m = 0; m < kMemberCount; ++m) state.total[m] = SaturatingAdd(state.total[m], state.current[m]);
    state.manualTotal = SaturatingAdd(state.manualTotal, state.manualCurrent);
    top = FindTopMember(state.current);
    illFormed += text.illFormed;
    if (!keywordCounts) return;
    KeywordCounts& k = byKeyword;
    k.current = text.keywordCounts;
    k.manualCurrent = text.manualWordCounts;
    for (int e = 0; e < kKeywordEntries; ++e) k.total[e] = SaturatingAdd(k.total[e], k.current[e]);
    for (int w = 0; w < kManualWordCount; ++w) k.manualTotal[w] = SaturatingAdd(k.manualTotal[w], k.manualCurrent[w]);
    // A text that could not be read has nothing inside words either.
    if (text.inside || k.insideChecked) SetInsideCounts(text.inside ? *text.inside : InsideFinds{}, k);
}

}  // namespace quenbol::cli
