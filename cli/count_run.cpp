// Counting the texts of one run.
#include "cli/count_run.h"

#include "testing/reference_counter.h"

namespace quenbol::cli {

void CountText(CountRun& run, const std::string& path, std::string fileBytes, TextEncoding encoding) {
    DecodedText decoded(std::move(fileBytes), encoding);
    run.state.text = decoded.text();
    SearchDetail detail;
    run.top = SearchAll(run.state, run.byKeyword.words, &detail);
    run.currentPerText.push_back(run.state.current);
    KeywordCounts& k = run.byKeyword;
    k.manualWords = run.state.manualWords;
    for (int e = 0; e < kKeywordEntries; ++e) {
        k.current[e] = SaturatingAdd(0, detail.keywordCounts[e]);
        k.total[e] = SaturatingAdd(k.total[e], detail.keywordCounts[e]);
    }
    for (int w = 0; w < kManualWordCount; ++w) {
        k.manualCurrent[w] = SaturatingAdd(0, detail.manualCounts[w]);
        k.manualTotal[w] = SaturatingAdd(k.manualTotal[w], detail.manualCounts[w]);
    }
    run.state.text.clear();
    if (!run.keepTexts) return;
    // Interim, until the engine reports occurrences itself: the reference
    // counter's tracked form.
    OccurrenceList occurrences =
        reference::SearchAllOccurrences(decoded.text(), k.words, run.state.manualWords);
    run.texts.push_back({path, std::move(decoded), std::move(occurrences)});
}

}  // namespace quenbol::cli
