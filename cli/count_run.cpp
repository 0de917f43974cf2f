// Counting the texts of one run.
#include "cli/count_run.h"


namespace quenbol::cli {

void CountText(CountRun& run, const std::string& path, std::string_view fileBytes, TextEncoding encoding) {
    // Counted where it lies unless it must be decoded; kept with the way back
    // to the file's offsets when the occurrences are wanted.
    std::optional<DecodedText> kept;
    std::string_view text = fileBytes;
    if (run.keepTexts) {
        kept.emplace(std::string(fileBytes), encoding);
        text = kept->text();
    } else if (const std::optional<Encoding> forced = ForcedEncoding(encoding)) {
        if (*forced == Encoding::Utf8 && fileBytes.size() >= kConvertInTwoFrom) {
            const std::string_view bom = "\xEF\xBB\xBF";
            text = Utf8ToCp932InTwo(fileBytes.substr(fileBytes.starts_with(bom) ? bom.size() : 0), run.decodedInTwo);
        } else if (*forced != Encoding::Cp932) {
            DecodeToCp932(fileBytes, *forced, run.decoded);
            text = run.decoded;
        }
    } else if (DecodeDetected(fileBytes, run.decoded) != Encoding::Cp932) {
        text = run.decoded;  // the automatic choice decodes as it chooses: one pass
    }
    if (!run.words) run.words.emplace(run.byKeyword.words, run.state.manualWords, text);

    SearchDetail detail;
    OccurrenceList occurrences;
    if (kept) detail.occurrences = &occurrences;
    run.top = SearchAll(run.state, text, *run.words, &detail);
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
    if (kept) run.texts.push_back({path, std::move(*kept), std::move(occurrences)});
}

}  // namespace quenbol::cli
