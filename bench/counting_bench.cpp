// Counting speed, side by side in one run: the engine's SearchAll, the
// one-pass-per-keyword counter (memmem, boundary walk, compaction), the
// literal find-erase-repeat reference (on a smaller text: it is quadratic),
// and one memchr pass over the same bytes as the floor. Each engine row also
// reports the most extra heap memory one SearchAll needed, per byte of text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "bench/one_pass_baseline.h"
#include "bench/bench_text.h"
#include "bench/memory_meter.h"
#include "core/counting.h"
#include "core/text/cp932.h"
#include "testing/reference_counter.h"

namespace quenbol::bench {
namespace {

constexpr std::size_t kPaneSize = 9'999'999;
constexpr std::size_t kReferenceSize = 1'000'000;

const std::string& ProseText() {
    static const std::string text = JapaneseText(kPaneSize, 300);
    return text;
}
const std::string& ManyMentionsText() {
    static const std::string text = JapaneseText(kPaneSize, 20, 2);
    return text;
}
// The window benchmark's full pane: one line with five names, repeated in whole
// lines up to the pane's size (9,999,990 bytes).
const std::string& FivePerLineText() {
    static const std::string text = [] {
        const std::string line =
            Utf8ToCp932("椎葉澄香と高篠七緒、それに御影梢がみのりの話をしていた。ナルナルも来た。\r\n");
        std::string t;
        t.reserve(kPaneSize);
        while (t.size() + line.size() <= kPaneSize) t += line;
        return t;
    }();
    return text;
}
const std::string& SmallProseText() {
    static const std::string text = JapaneseText(kReferenceSize, 300, 3);
    return text;
}

// Member counts and the manual count of one SearchAll through the engine.
baseline::Result EngineResult(const std::string& text, const Keywords& table) {
    CountingState state;
    state.text = text;
    state.manualWords = InitialManualWords();
    SearchAll(state, table);
    baseline::Result r;
    for (int m = 0; m < kMemberCount; ++m) r.members[m] = state.current[m];
    r.manual = state.manualCurrent;
    return r;
}

template <class Result>
void CheckSame(benchmark::State& st, const baseline::Result& engine, const Result& other) {
    for (int m = 0; m < kMemberCount; ++m) {
        if (engine.members[m] != other.members[m])
            st.SkipWithError("counts differ from the engine's");
    }
    if (engine.manual != other.manual) st.SkipWithError("manual count differs from the engine's");
}

void Engine(benchmark::State& st, const std::string& text, const Keywords& table) {
    CountingState state;
    state.text = text;
    state.manualWords = InitialManualWords();
    ResetPeakMemory();
    SearchAll(state, table);
    st.counters["extra_mem/text"] = static_cast<double>(PeakExtraMemory()) / text.size();
    std::int64_t mentions = 0;
    for (int m = 0; m < kMemberCount; ++m) mentions += state.current[m];
    st.counters["mentions"] = static_cast<double>(mentions);
    for (auto _ : st) {
        SearchAll(state, table);
        benchmark::DoNotOptimize(state.current.data());
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
}

void Baseline(benchmark::State& st, const std::string& text, const Keywords& table) {
    const ManualWordList manual = InitialManualWords();
    baseline::Result r;
    for (auto _ : st) {
        r = baseline::SearchAll(text, table, manual);
        benchmark::DoNotOptimize(r);
    }
    CheckSame(st, EngineResult(text, table), r);
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
}

void Reference(benchmark::State& st, const std::string& text, const Keywords& table) {
    const ManualWordList manual = InitialManualWords();
    reference::SearchResult r;
    for (auto _ : st) {
        r = reference::SearchAll(text, table, manual);
        benchmark::DoNotOptimize(r);
    }
    CheckSame(st, EngineResult(text, table), r);
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
}

// One memchr over the whole text for a byte that is not in it.
void Memchr(benchmark::State& st, const std::string& text) {
    for (auto _ : st) {
        const char* data = text.data();
        benchmark::DoNotOptimize(data);  // keeps the pure call inside the loop
        benchmark::DoNotOptimize(std::memchr(data, '\x7f', text.size()));
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
}

void Register(const char* name, std::function<void(benchmark::State&)> run, bool slow = false) {
    // Processor time of the whole process: a long text's scan takes a second thread.
    auto* b = benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
    if (slow) b->Iterations(1);
}

}  // namespace
}  // namespace quenbol::bench

int main(int argc, char** argv) {
    using namespace quenbol::bench;
    const quenbol::Keywords defaults = DefaultTable(), seven = SevenPerMemberTable(),
                            awkward = AwkwardTable();
    const auto& prose = ProseText();
    const auto& many = ManyMentionsText();
    const auto& small = SmallProseText();
    const auto& fivePerLine = FivePerLineText();

    Register("Floor/memchr/10MB", [&](auto& st) { Memchr(st, prose); });
    Register("Engine/default/10MB", [&](auto& st) { Engine(st, prose, defaults); });
    Register("Baseline/default/10MB", [&](auto& st) { Baseline(st, prose, defaults); });
    Register("Engine/default/1MB", [&](auto& st) { Engine(st, small, defaults); });
    Register("Baseline/default/1MB", [&](auto& st) { Baseline(st, small, defaults); });
    Register(
        "Reference/default/1MB", [&](auto& st) { Reference(st, small, defaults); }, true);
    Register("Engine/seven-per-member/10MB", [&](auto& st) { Engine(st, prose, seven); });
    Register("Baseline/seven-per-member/10MB", [&](auto& st) { Baseline(st, prose, seven); });
    Register("Engine/name-every-20-bytes/10MB", [&](auto& st) { Engine(st, many, defaults); });
    Register("Baseline/name-every-20-bytes/10MB", [&](auto& st) { Baseline(st, many, defaults); });
    Register("Engine/five-names-per-line/10MB", [&](auto& st) { Engine(st, fivePerLine, defaults); });
    Register("Baseline/five-names-per-line/10MB",
             [&](auto& st) { Baseline(st, fivePerLine, defaults); });
    Register("Engine/awkward-table/10MB", [&](auto& st) { Engine(st, prose, awkward); });
    Register("Baseline/awkward-table/10MB", [&](auto& st) { Baseline(st, prose, awkward); });

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
