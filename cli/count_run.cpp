// Counting the texts of one run.
#include "cli/count_run.h"


#include <algorithm>

namespace quenbol::cli {

TextOccurrences::TextOccurrences(std::array<MatchReport, 2> reports) : reports_(std::move(reports)) {
    const std::size_t members = reports_[0].size(), all = members + reports_[1].size();
    order_.resize(all);
    for (std::size_t k = 0; k < all; ++k) order_[k] = static_cast<std::uint32_t>(k);
    // At one start a member's occurrence comes first; no two of one group share a start.
    const auto start = [&](std::uint32_t k) {
        return k < members ? reports_[0].SpansOf(k).front().start : reports_[1].SpansOf(k - members).front().start;
    };
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::uint32_t sa = start(a), sb = start(b);
        return sa != sb ? sa < sb : a < members && b >= members;
    });
}

OccurrenceRef TextOccurrences::operator[](std::size_t k) const {
    const std::size_t members = reports_[0].size();
    const std::size_t i = order_[k];
    if (i >= members) {
        const MatchReport& manual = reports_[1];
        return {true, -1, static_cast<int>(manual.WordOf(i - members)), manual.SpansOf(i - members)};
    }
    const int entry = static_cast<int>(reports_[0].WordOf(i));
    return {false, entry / kSlotsPerMember, entry % kSlotsPerMember, reports_[0].SpansOf(i)};
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
