// The one counting pipeline of quenbol-count: read -> decode -> count ->
// emit. Each text is read, decoded and counted on a worker thread (counting
// one text needs nothing from the others) into a TextJob (cli/count/); the
// jobs are handed to an Emitter in input order, with the totals after each.
// The output forms differ only in their emitter (cli/emit/). Nothing here
// writes to a standard stream or ends the process: a caller other than the
// command line (a Python extension, a test) gives its own emitter.
#pragma once

#include <optional>
#include <vector>

#include "cli/count/text_job.h"
#include "cli/decode/text_decoding.h"
#include "cli/emit/progress_meter.h"
#include "cli/read/input_walk.h"
#include "core/counting.h"

namespace quenbol::cli {

struct PipelineSettings {
    const Keywords* table = nullptr;  // code page 932; must outlive the run
    ManualWordList manualWords;
    EncodingChoice encoding;  // unset: chosen per text
    int jobs = 1;             // texts counted at once
    bool byKeyword = false;   // count each keyword and each manual word too
    // Keep each text with its occurrences (TextJob::counted). The texts are
    // then counted one at a time, so that one text's occurrences are held at
    // once; a text read in an encoding the occurrences cannot be placed in
    // (neither code page 932 nor UTF-8) fails.
    bool occurrences = false;
    // When set, the members' occurrences that sit inside ordinary words are
    // found in each text (TextJob::inside); must outlive the run.
    const InsideWordCheck* inside = nullptr;
    // Split each text into its posts and count each post's body alone
    // (TextJob::posts), the texts read as `format`, or as each is judged.
    bool posts = false;
    std::optional<LogFormat> format;
    // With `posts`: each post naming two members or more keeps the start of
    // its body (PostCount::excerpt), for the report's examples.
    bool excerpts = false;
};

// Where the counted texts go: each form of output is one of these.
class Emitter {
public:
    virtual ~Emitter() = default;
    // Each text in input order, counted or not (text.ok()), with the totals
    // after it; false ends the run there (no later text is taken).
    virtual bool Take(const TextJob& text, const RunTotals& totals) = 0;
    // Called for each text on the worker that counted it, before it is
    // taken, several at once: for work that needs nothing of the other
    // texts (its own rows, into TextJob::rows).
    virtual void Prepare(TextJob&) const {}
    // Every text done so far has been taken: a moment to flush output.
    virtual void CaughtUp() {}
};

// Runs the inputs through the pipeline into `emitter`; returns the totals
// after the last text taken. Standard input ("-") is read once, before the
// others; a later "-" reads as empty, as at the end of input. `progress`,
// when given, is told of each text taken and cleared at the end. Exceptions
// (out of memory) come through once the workers have stopped.
RunTotals RunPipeline(const PipelineSettings& settings, const std::vector<InputFile>& inputs, Emitter& emitter,
                      ProgressMeter* progress = nullptr);

}  // namespace quenbol::cli
