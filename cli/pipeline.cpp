// The corpus loop: parallel counting, ordered delivery, running totals.
#include "cli/pipeline.h"

#include <algorithm>
#include <array>
#include <future>
#include <optional>

#include "cli/count/ordered_runner.h"
#include "cli/system_io.h"

namespace quenbol::cli {
namespace {

struct TextOutcome {
    TextRecord record;
    MemberCounts current{};
    std::int32_t manualCurrent = 0;
    std::array<std::int32_t, kKeywordEntries> keywordCounts{};  // with --by-keyword only
};

std::string ReadFailure(ReadStatus status, const std::string& reason) {
    return (status == ReadStatus::CannotOpen ? "cannot open: " : "cannot read: ") + reason;
}

// The keyword table and manual words compiled once for every thread, with
// the first text as the sample that steers the scan (any sample gives the
// same counts). The first text's thread compiles once it has that text;
// the others wait for it. Nothing else reads the first text: a pipe can be
// read only once.
class SharedWords {
public:
    explicit SharedWords(const CorpusSettings& settings) : settings_(settings), ready_(compiled_.get_future().share()) {}

    // Called by the first text's thread only, once, or Abandon instead.
    const CompiledSearch& Compile(std::string_view sample) {
        settled_ = true;
        try {
            words_.emplace(*settings_.table, settings_.manualWords, sample);
            compiled_.set_value();
        } catch (...) {
            compiled_.set_exception(std::current_exception());
            throw;
        }
        return *words_;
    }
    // The first text's thread failed before compiling: the others fail too.
    void Abandon(std::exception_ptr failure) {
        if (!settled_) compiled_.set_exception(failure);
        settled_ = true;
    }
    const CompiledSearch& Wait() const {
        ready_.get();  // throws what compiling threw
        return *words_;
    }

private:
    const CorpusSettings& settings_;
    std::optional<CompiledSearch> words_;
    bool settled_ = false;
    std::promise<void> compiled_;
    std::shared_future<void> ready_;
};

// What each worker keeps from text to text, so that its memory is not found
// and faulted in again for each: the read buffer, the decoded text and the
// counting's working memory.
struct alignas(64) WorkerBuffers {  // one per cache line: workers do not share a line
    TextFile file;
    std::string decoded;
    CountScratch scratch;
};

// Counts one text's bytes. Code page 932 is counted where it lies; any other
// encoding is decoded first, into the worker's buffer.
TextOutcome CountText(std::string_view bytes, const CorpusSettings& settings, SharedWords& shared,
                      bool first, WorkerBuffers& own, TextOutcome outcome) {
    std::string& decoded = own.decoded;
    std::size_t illFormed = 0;
    const Encoding encoding = settings.encoding ? *settings.encoding : DecodeDetected(bytes, decoded, &illFormed);
    if (settings.encoding) DecodeToCp932(bytes, encoding, decoded, &illFormed);
    const std::string_view text = encoding == Encoding::Cp932 ? bytes : std::string_view(decoded);
    outcome.record.encoding = std::string(EncodingName(encoding));
    outcome.record.bytes = bytes.size();
    outcome.record.encodingErrors = illFormed;
    const CompiledSearch& words = first ? shared.Compile(text) : shared.Wait();
    CountingState state;
    SearchDetail detail;
    SearchAll(state, text, words, settings.byKeyword ? &detail : nullptr, &own.scratch);
    if (settings.byKeyword)
        for (int e = 0; e < kKeywordEntries; ++e) outcome.keywordCounts[e] = SaturatingAdd(0, detail.keywordCounts[e]);
    outcome.current = state.current;
    outcome.manualCurrent = state.manualCurrent;
    return outcome;
}

}  // namespace

void CountCorpus(const std::vector<InputFile>& inputs, const CorpusSettings& settings,
                 const TextSink& sink, ProgressMeter* progress, const std::function<void()>& caughtUp) {
    // Standard input, read here once; later "-" entries find it at its end.
    const auto firstStdin = std::find_if(inputs.begin(), inputs.end(),
                                         [](const InputFile& f) { return f.path == "-"; });
    const std::size_t stdinIndex = static_cast<std::size_t>(firstStdin - inputs.begin());
    std::string stdinBytes, stdinError;
    if (firstStdin != inputs.end()) {
        std::string reason;
        const ReadStatus status = ReadWholeFile("-", stdinBytes, reason);
        if (status != ReadStatus::Ok) stdinError = ReadFailure(status, reason);
    }

    SharedWords shared(settings);
    std::vector<WorkerBuffers> buffers(static_cast<std::size_t>(std::max(settings.jobs, 1)));
    // Workers that share the cores count each text on their own thread; a
    // lone text may take a second one for its scan and its deletions.
    if (buffers.size() > 1 && inputs.size() > 1) {
        for (WorkerBuffers& own : buffers) own.scratch.SetThreads(CountThreads::One);
    }
    const std::function<TextOutcome(std::size_t, std::size_t)> countOne = [&](std::size_t i, std::size_t worker) {
        WorkerBuffers& own = buffers[worker];
        const InputFile& input = inputs[i];
        TextOutcome outcome;
        outcome.record.file = input.path;
        const bool first = i == 0;
        // A first text that cannot be read leaves the sample empty.
        const auto failed = [&](std::string error) {
            if (first) shared.Compile({});
            outcome.record.error = std::move(error);
            return outcome;
        };
        if (!input.error.empty()) return failed(input.error);
        if (input.path == "-") {
            if (i != stdinIndex) return CountText({}, settings, shared, first, own, std::move(outcome));
            if (!stdinError.empty()) return failed(stdinError);
            return CountText(stdinBytes, settings, shared, first, own, std::move(outcome));
        }
        std::string reason;
        const ReadStatus status = own.file.Open(input.path, reason);
        if (status != ReadStatus::Ok) return failed(ReadFailure(status, reason));
        return CountText(own.file.bytes(), settings, shared, first, own, std::move(outcome));
    };

    const std::function<TextOutcome(std::size_t, std::size_t)> work = [&](std::size_t i, std::size_t worker) {
        if (i != 0) return countOne(i, worker);
        try {
            return countOne(i, worker);
        } catch (...) {
            shared.Abandon(std::current_exception());
            throw;
        }
    };

    CountingState state;
    const std::function<bool(std::size_t, TextOutcome&)> deliver = [&](std::size_t, TextOutcome& outcome) {
        state.current = outcome.current;
        state.manualCurrent = outcome.manualCurrent;
        for (MemberIndex m = 0; m < kMemberCount; ++m)
            state.total[m] = SaturatingAdd(state.total[m], state.current[m]);
        state.manualTotal = SaturatingAdd(state.manualTotal, state.manualCurrent);
        if (KeywordCounts* k = settings.byKeyword) {
            k->current = outcome.keywordCounts;
            for (int e = 0; e < kKeywordEntries; ++e) k->total[e] = SaturatingAdd(k->total[e], k->current[e]);
        }
        if (progress) {
            progress->TextDone(outcome.record.bytes);
            progress->Tick();
        }
        return sink(outcome.record, state, FindTopMember(state.current));
    };
    const std::function<void()> idle = [&] {
        if (caughtUp) caughtUp();
        if (progress) progress->Tick();
    };
    RunInOrder<TextOutcome>(inputs.size(), settings.jobs, work, deliver, idle);
    if (progress) progress->Finish();
}

}  // namespace quenbol::cli
