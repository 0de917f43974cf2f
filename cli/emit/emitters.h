// The command line's output forms as the pipeline's emitters. Each takes the
// texts as they come and, at the end, writes what is left and gives the exit
// status:
// - table, line and JSON: all or nothing; the first text that cannot be read
//   ends the run with its message, and nothing is printed;
// - matches: printed text by text, up to a text that cannot be read, which
//   ends the run;
// - report: all or nothing; the marked texts are set aside as they come and
//   the page is put in place at the end;
// - JSON Lines and CSV: each text's row printed as soon as it is taken; a
//   text that cannot be read gets a row with its error and a line on
//   standard error, the run goes on and ends with status 2.
#pragma once

#include <memory>
#include <string>

#include "cli/emit/progress_meter.h"
#include "cli/options.h"
#include "cli/pipeline.h"

namespace quenbol::cli {

class FormEmitter : public Emitter {
public:
    // What is left to write after the last text, and the exit status.
    virtual int Finish(const RunTotals& totals) = 0;
};

// The emitter of the form `options` ask for. `tableSource` names the keyword
// file (empty for the built-in table). JSON Lines and CSV take over standard
// output's buffering from here on, and CSV writes its header.
std::unique_ptr<FormEmitter> MakeEmitter(const Options& options, const std::string& tableSource,
                                         ProgressMeter& progress);

}  // namespace quenbol::cli
