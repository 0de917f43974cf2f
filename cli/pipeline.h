// Counting many texts: each is read, decoded and counted on a worker thread
// (counting one text needs nothing from the others), and the results are
// taken in input order, where the totals run on as in successive searches.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/read/input_walk.h"
#include "cli/emit/progress_meter.h"
#include "cli/emit/row_writers.h"
#include "core/counting.h"
#include "core/text/text_encodings.h"

namespace quenbol::cli {

struct CorpusSettings {
    const Keywords* table = nullptr;
    ManualWordList manualWords;
    std::optional<Encoding> encoding;  // unset: chosen per text
    int jobs = 1;
    // When set, each text is counted keyword by keyword too, and this holds
    // the last delivered text's counts and the running totals when the sink is called.
    KeywordCounts* byKeyword = nullptr;
};

// Called for each text in input order with its record, the counting state
// after it and its leader; returning false ends the run there.
using TextSink = std::function<bool(const TextRecord&, const CountingState&, MemberIndex)>;

// Counts the texts in order. A text that cannot be read counts nothing (its
// current counts are 0) and its record carries the error ("cannot open: ..."
// or "cannot read: ..."). Standard input ("-") is read once, before the
// others; a later "-" reads as empty, as at the end of input. `caughtUp` is
// called whenever the texts done so far have all reached the sink (the time
// to flush what it wrote).
void CountCorpus(const std::vector<InputFile>& inputs, const CorpusSettings& settings,
                 const TextSink& sink, ProgressMeter* progress = nullptr,
                 const std::function<void()>& caughtUp = {});

}  // namespace quenbol::cli
