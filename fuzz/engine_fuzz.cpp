// libFuzzer target: the counting engine against the reference counter on
// arbitrary bytes and word lists: the counts, and where each counted
// occurrence was (against the reference's tracked form).
//
// Input: one byte giving the word counts of two lists (low nibble % 10,
// high nibble % 8), then each word as a length byte (% 24) and its bytes,
// then the text (at most 4096 bytes: the reference is quadratic).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/count_engine.h"
#include "testing/reference_counter.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    std::string Bytes(std::size_t n) {
        n = std::min(n, size);
        std::string s(reinterpret_cast<const char*>(data), n);
        data += n;
        size -= n;
        return s;
    }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const std::uint8_t counts = in.Byte();
    std::vector<std::string> chains[2];
    chains[0].resize((counts & 15) % 10);
    chains[1].resize((counts >> 4) % 8);
    for (auto& chain : chains) {
        for (std::string& word : chain) word = in.Bytes(in.Byte() % 24);
    }
    const std::string text = in.Bytes(4096);

    std::vector<std::int64_t> got[2];
    std::vector<quenbol::WordChain> engineChains;
    for (int c = 0; c < 2; ++c) {
        got[c].assign(chains[c].size(), -1);
        engineChains.push_back({chains[c], got[c].data()});
    }
    quenbol::CountByDeletion(text, engineChains);

    // Chains compiled with another sample (the text's second half) count the same.
    const std::span<const std::string> words[] = {chains[0], chains[1]};
    const quenbol::CompiledChains compiled(words, std::string_view(text).substr(text.size() / 2));
    std::vector<std::int64_t> compiledCounts[2] = {std::vector<std::int64_t>(chains[0].size(), -1),
                                                   std::vector<std::int64_t>(chains[1].size(), -1)};
    std::int64_t* const compiledOut[] = {compiledCounts[0].data(), compiledCounts[1].data()};
    // ... and, asked to, report where every occurrence was.
    quenbol::MatchReport reports[2];
    quenbol::MatchReport* const reportsOut[] = {&reports[0], &reports[1]};
    compiled.Count(text, compiledOut, reportsOut);
    Check(compiledCounts[0] == got[0] && compiledCounts[1] == got[1]);

    for (int c = 0; c < 2; ++c) {
        std::string work = text;
        quenbol::reference::TrackedText tracked(text);
        quenbol::MatchReport::Reader match = reports[c].Read();
        for (std::size_t w = 0; w < chains[c].size(); ++w) {
            Check(got[c][w] == quenbol::reference::RemoveAll(work, chains[c][w]));
            for (const auto& spans : quenbol::reference::RemoveAllTracked(tracked, chains[c][w])) {
                Check(match.Next() && match.word() == w);
                const auto engineSpans = match.spans();
                Check(std::equal(engineSpans.begin(), engineSpans.end(), spans.begin(), spans.end()));
            }
        }
        Check(!match.Next());
        std::string inPlace = text;
        std::vector<std::int64_t> again(chains[c].size(), -1);
        quenbol::CountAndDeleteInPlace(inPlace, {chains[c], again.data()});
        Check(again == got[c]);
        Check(inPlace == work);
    }
    return 0;
}
