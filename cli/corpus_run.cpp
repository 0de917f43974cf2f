// The corpus loop: parallel counting, ordered delivery, running totals.
#include "cli/corpus_run.h"

#include <algorithm>

#include "cli/ordered_runner.h"
#include "cli/system_io.h"

namespace quenbol::cli {
namespace {

struct TextOutcome {
    TextRecord record;
    MemberCounts current{};
    std::int32_t manualCurrent = 0;
};

std::string ReadFailure(ReadStatus status, const std::string& reason) {
    return (status == ReadStatus::CannotOpen ? "cannot open: " : "cannot read: ") + reason;
}

TextOutcome CountText(const std::string& bytes, const CorpusSettings& settings, TextOutcome outcome) {
    const Encoding encoding = settings.encoding.value_or(DetectEncoding(bytes));
    outcome.record.encoding = std::string(EncodingName(encoding));
    outcome.record.bytes = bytes.size();
    CountingState state;
    state.manualWords = settings.manualWords;
    state.text = DecodeToCp932(bytes, encoding);
    SearchAll(state, *settings.table);
    outcome.current = state.current;
    outcome.manualCurrent = state.manualCurrent;
    return outcome;
}

}  // namespace

void CountCorpus(const std::vector<InputFile>& inputs, const CorpusSettings& settings,
                 const TextSink& sink, ProgressMeter* progress) {
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

    const std::function<TextOutcome(std::size_t)> work = [&](std::size_t i) {
        const InputFile& input = inputs[i];
        TextOutcome outcome;
        outcome.record.file = input.path;
        if (!input.error.empty()) {
            outcome.record.error = input.error;
            return outcome;
        }
        if (input.path == "-") {
            if (i != stdinIndex) return CountText({}, settings, std::move(outcome));
            if (!stdinError.empty()) {
                outcome.record.error = stdinError;
                return outcome;
            }
            return CountText(stdinBytes, settings, std::move(outcome));
        }
        std::string bytes, reason;
        const ReadStatus status = ReadWholeFile(input.path, bytes, reason);
        if (status != ReadStatus::Ok) {
            outcome.record.error = ReadFailure(status, reason);
            return outcome;
        }
        return CountText(bytes, settings, std::move(outcome));
    };

    CountingState state;
    const std::function<bool(std::size_t, TextOutcome&)> deliver = [&](std::size_t, TextOutcome& outcome) {
        state.current = outcome.current;
        state.manualCurrent = outcome.manualCurrent;
        for (MemberIndex m = 0; m < kMemberCount; ++m)
            state.total[m] = SaturatingAdd(state.total[m], state.current[m]);
        state.manualTotal = SaturatingAdd(state.manualTotal, state.manualCurrent);
        if (progress) {
            progress->TextDone(outcome.record.bytes);
            progress->Tick();
        }
        return sink(outcome.record, state, FindTopMember(state.current));
    };
    const std::function<void()> idle = [progress] {
        if (progress) progress->Tick();
    };
    RunInOrder<TextOutcome>(inputs.size(), settings.jobs, work, deliver, idle);
    if (progress) progress->Finish();
}

}  // namespace quenbol::cli
