// What reporting occurrences costs: the engine counting a text with and
// without reports, side by side on the benchmark texts, and the search-all
// that turns the reports into the occurrence list (members and slots, text
// order). Run with --benchmark_repetitions=5 and compare the medians.
#include <benchmark/benchmark.h>

#include <array>
#include <functional>
#include <string>

#include "bench/bench_text.h"
#include "core/counting.h"
#include "core/engine/count_engine.h"

namespace quenbol::bench {
namespace {

constexpr std::size_t kPaneSize = 9'999'999;

struct Input {
    std::string text;
    Keywords table;
    ManualWordList manual = InitialManualWords();
};

// The table and the manual words compiled once, as the counter does.
void Count(benchmark::State& st, const Input& in, bool reporting) {
    const std::span<const std::string> chains[] = {in.table, in.manual};
    const CompiledChains compiled(chains, in.text);
    std::array<std::int64_t, kKeywordEntries> members{};
    std::array<std::int64_t, kManualWordCount> manual{};
    std::int64_t* const counts[] = {members.data(), manual.data()};
    MatchReport memberReport, manualReport;
    MatchReport* const reports[] = {&memberReport, &manualReport};
    for (auto _ : st) {
        compiled.Count(in.text, counts, reporting ? std::span<MatchReport* const>(reports)
                                                  : std::span<MatchReport* const>());
        benchmark::DoNotOptimize(members.data());
    }
    st.counters["occurrences"] = static_cast<double>(memberReport.size() + manualReport.size());
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * in.text.size()));
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
}

}  // namespace
}  // namespace quenbol::bench

int main(int argc, char** argv) {
    using namespace quenbol::bench;
    static const Input inputs[] = {
        {JapaneseText(kPaneSize, 300), DefaultTable()},
        {JapaneseText(kPaneSize, 300), SevenPerMemberTable()},
        {JapaneseText(kPaneSize, 20, 2), DefaultTable()},
        {JapaneseText(kPaneSize, 300), AwkwardTable()},
    };
    const char* names[] = {"default/10MB", "seven-per-member/10MB", "name-every-20-bytes/10MB",
                           "awkward-table/10MB"};
    for (int i = 0; i < 4; ++i) {
        const Input& in = inputs[i];
        Register(std::string("Count/") + names[i], [&in](auto& st) { Count(st, in, false); });
        Register(std::string("CountReporting/") + names[i], [&in](auto& st) { Count(st, in, true); });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
