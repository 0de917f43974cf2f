// Counting the texts of one run.
#include "cli/count/text_occurrences.h"


#include <algorithm>

namespace quenbol::cli {

TextOccurrences::Cursor::Cursor(const TextOccurrences& occurrences) {
    for (int group = 0; group < 2; ++group) {
        const MatchReport& report = occurrences.reports_[group];
        for (std::size_t r = 0; r < report.runCount(); ++r) {
            Run run{report.ReadRun(r), group == 1};
            if (run.reader.Next()) heap_.push_back(std::move(run));
        }
    }
    std::make_heap(heap_.begin(), heap_.end(), Later);
}

bool TextOccurrences::Cursor::Later(const Run& a, const Run& b) {
    // No two occurrences of one group share a start.
    const std::uint32_t sa = a.reader.spans().front().start, sb = b.reader.spans().front().start;
    return sa != sb ? sa > sb : a.manual && !b.manual;
}

bool TextOccurrences::Cursor::Next() {
    if (taken_) {
        std::pop_heap(heap_.begin(), heap_.end(), Later);
        if (heap_.back().reader.Next()) {
            std::push_heap(heap_.begin(), heap_.end(), Later);
        } else {
            heap_.pop_back();
        }
    }
    taken_ = !heap_.empty();
    if (!taken_) return false;
    const Run& top = heap_.front();
    const int word = static_cast<int>(top.reader.word());
    if (top.manual) {
        current_ = {true, -1, word, top.reader.spans()};
    } else {
        current_ = {false, word / kSlotsPerMember, word % kSlotsPerMember, top.reader.spans()};
    }
    return true;
}

std::size_t CountText(CountRun& run, const std::string& path, std::string_view fileBytes, TextEncoding encoding) {
    // Counted where it lies unless it must be decoded; kept with the way back
    // to the file's offsets when the occurrences are wanted.
    std::optional<DecodedText> kept;
    std::string_view text = fileBytes;
    std::size_t illFormed = 0;
    if (run.keepTexts) {
        kept.emplace(fileBytes, encoding);
        text = kept->text();
        illFormed = kept->illFormed();
    } else if (const std::optional<Encoding> forced = ForcedEncoding(encoding)) {
        if (*forced == Encoding::Utf8 && fileBytes.size() >= kConvertInTwoFrom) {
            const std::string_view bom = "\xEF\xBB\xBF";
            text = Utf8ToCp932InTwo(fileBytes.substr(fileBytes.starts_with(bom) ? bom.size() : 0), run.decodedInTwo,
                                    &illFormed);
        } else if (*forced != Encoding::Cp932) {
            DecodeToCp932(fileBytes, *forced, run.decoded, &illFormed);
            text = run.decoded;
        }
    } else if (DecodeDetected(fileBytes, run.decoded, &illFormed) != Encoding::Cp932) {
        text = run.decoded;  // the automatic choice decodes as it chooses: one pass
    }
    if (!run.words) run.words.emplace(run.byKeyword.words, run.state.manualWords, text);

    SearchDetail detail;
    std::array<MatchReport, 2> reports;
    if (kept) detail.reports = &reports;
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
    if (kept) run.texts.push_back({path, std::move(*kept), TextOccurrences(std::move(reports))});
    run.encodingErrors += illFormed;
    return illFormed;
}

}  // namespace quenbol::cli
