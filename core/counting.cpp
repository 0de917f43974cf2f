// Count-by-deletion and the four counting actions of the main window. The
// actions count through the engine (count_engine.h); RemoveAll is the plain
// one-word primitive, kept for the words the engine hands back to it.
#include "core/counting.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <span>
#include <vector>

#include "core/engine/count_engine.h"

namespace quenbol {
namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinCount = std::numeric_limits<std::int32_t>::min();

std::int32_t ClampToCount(std::int64_t n) {
    return static_cast<std::int32_t>(std::clamp(n, kMinCount, kMaxCount));
}

void SetManualCounts(CountingState& state, std::span<const std::int64_t> counts) {
    const std::int64_t n = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    state.manualCurrent = ClampToCount(n);
    state.manualTotal = SaturatingAdd(state.manualTotal, n);
}

// The engine's reports as occurrences: the member chain's word e is member
// e / 7, slot e % 7; the manual chain's word w is manual word w.
void ListOccurrences(const MatchReport& members, const MatchReport& manual, OccurrenceList& list) {
    list.clear();
    list.reserve(members.size() + manual.size());
    for (MatchReport::Reader match = members.Read(); match.Next();) {
        const auto spans = match.spans();
        const int entry = static_cast<int>(match.word());
        list.push_back({false, entry / kSlotsPerMember, entry % kSlotsPerMember, {spans.begin(), spans.end()}});
    }
    for (MatchReport::Reader match = manual.Read(); match.Next();) {
        const auto spans = match.spans();
        list.push_back({true, -1, static_cast<int>(match.word()), {spans.begin(), spans.end()}});
    }
    SortInTextOrder(list);
}

}  // namespace

std::int32_t SaturatingAdd(std::int32_t total, std::int64_t n) {
    return ClampToCount(static_cast<std::int64_t>(total) + n);
}

void CountAndRemove(std::string& text, const std::string* words, int wordCount,
                    std::int32_t& current, std::int32_t& total) {
    std::vector<std::int64_t> counts(static_cast<std::size_t>(wordCount), 0);
    CountAndDeleteInPlace(text, {{words, counts.size()}, counts.data()});
    const std::int64_t n = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    current = ClampToCount(n);
    total = SaturatingAdd(total, n);
}

MemberIndex SearchAll(CountingState& state, const Keywords& table, SearchDetail* detail, CountScratch* scratch) {
    return SearchAll(state, state.text, CompiledSearch(table, state.manualWords, state.text), detail, scratch);
}

CompiledSearch::CompiledSearch(const Keywords& table, const ManualWordList& manualWords,
                               std::string_view sample)
    : chains_(std::array<std::span<const std::string>, 2>{table, manualWords}, sample) {}

MemberIndex SearchAll(CountingState& state, const CompiledSearch& words, SearchDetail* detail) {
    return SearchAll(state, state.text, words, detail);
}

MemberIndex SearchAll(CountingState& state, std::string_view text, const CompiledSearch& words,
                      SearchDetail* detail, CountScratch* scratch) {
    // Members in roster order share one working copy; the manual words get
    // their own copy of the whole unaltered text.
    std::array<std::int64_t, kKeywordEntries> memberCounts{};
    std::array<std::int64_t, kManualWordCount> manualCounts{};
    std::int64_t* const counts[] = {memberCounts.data(), manualCounts.data()};
    if (detail && (detail->occurrences || detail->reports)) {
        std::array<MatchReport, 2> own;
        std::array<MatchReport, 2>& kept = detail->reports ? *detail->reports : own;
        MatchReport* const reports[] = {&kept[0], &kept[1]};
        words.chains().Count(text, counts, reports, scratch);
        if (detail->occurrences) ListOccurrences(kept[0], kept[1], *detail->occurrences);
    } else {
        words.chains().Count(text, counts, {}, scratch);
    }
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        const auto first = memberCounts.begin() + EntryIndex(m, 0);
        const std::int64_t n = std::accumulate(first, first + kSlotsPerMember, std::int64_t{0});
        state.current[m] = ClampToCount(n);
        state.total[m] = SaturatingAdd(state.total[m], n);
    }
    SetManualCounts(state, manualCounts);
    if (detail) {
        detail->keywordCounts = memberCounts;
        detail->manualCounts = manualCounts;
    }
    return FindTopMember(state.current);
}

void SearchManualOnly(CountingState& state) {
    std::array<std::int64_t, kManualWordCount> manualCounts{};
    const WordChain chain{state.manualWords, manualCounts.data()};
    CountByDeletion(state.text, {&chain, 1});
    SetManualCounts(state, manualCounts);
}

void ResetTotals(CountingState& state) {
    state.total.fill(0);
    state.manualTotal = 0;
}

void ClearText(CountingState& state) { state.text.clear(); }

}  // namespace quenbol
