// quenbol-count: counts the group's members in texts from the command line,
// one search-all per text, with the same core as the window program.
// In the table, line, JSON and report forms everything is read and counted
// before anything is printed or the report is put in place, so a run that
// fails prints nothing on standard output; the matches are printed text by
// text as each is counted, up to a text that cannot be read, which ends the
// run; the JSON Lines and CSV forms print each text's row as soon as it and
// all before it are done, and go on past a text that cannot be read.
// Every form runs the one pipeline (pipeline.h) into its emitter
// (emit/emitters.h); this file gathers the settings and the texts.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "cli/count/inside_words.h"
#include "cli/emit/console.h"
#include "cli/emit/emitters.h"
#include "cli/options.h"
#include "cli/pipeline.h"
#include "cli/read/input_walk.h"
#include "cli/read/keyword_file_load.h"
#include "cli/system_io.h"
#include "settings/keyword_format.h"

namespace quenbol::cli {
namespace {

// The texts to count: those named, then those of the --files-from list, with
// directories expanded; an empty result, or the message that refuses the run.
std::string CollectInputs(const Options& options, InputList& inputs) {
    std::vector<std::string> named = options.files;
    if (options.filesFrom) {
        std::string bytes, reason;
        if (const ReadStatus status = ReadWholeFile(*options.filesFrom, bytes, reason); status != ReadStatus::Ok)
            return TextFailure(*options.filesFrom, ReadFailure(status, reason));
        // "-" in the list is standard input, as on the command line, unless
        // standard input holds the list or the keyword file.
        const char* standardInputHolds = *options.filesFrom == "-" ? "the list"
                                         : options.keywordFile == "-" ? "the keyword file"
                                                                      : nullptr;
        FileList list = ParseFileList(bytes, standardInputHolds);
        if (!list.usageError.empty()) return FileLabel(*options.filesFrom) + ": " + list.usageError;
        for (std::string& path : list.paths) named.push_back(std::move(path));
    }
    inputs = ExpandInputs(named, options.recursive);
    return inputs.usageError;
}

int Run(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseOptions(args);
    if (!parsed.ok()) return Refuse(parsed.error);
    const Options& options = parsed.options;
    if (options.help) return Print(UsageText(options.language.value_or(LocaleLanguage())));
    if (options.version) return Print("quenbol-count " QUENBOL_VERSION "\n");

    Keywords table;
    LoadDefaultKeywords(table);
    std::string tableSource;  // the keyword file's name, empty for the built-in table
    if (options.keywordFile) {
        const std::string failure = LoadKeywordTable(*options.keywordFile, table);
        if (!failure.empty()) return Refuse(*options.keywordFile + ": " + failure);
        tableSource = *options.keywordFile;
    }
    if (options.dumpKeywords) return PrintBytes(FormatKeywordFile(table));

    InputList inputs;
    if (const std::string failure = CollectInputs(options, inputs); !failure.empty()) return Refuse(failure);
    const bool showProgress = options.progress == ProgressDisplay::Always ||
                              (options.progress == ProgressDisplay::Auto && StandardErrorIsTerminal());
    ProgressMeter progress(showProgress, inputs.files.size(), [](std::string_view s) { WriteBytes(stderr, s); });

    PipelineSettings settings;
    settings.table = &table;
    settings.manualWords = options.manualWords.value_or(InitialManualWords());
    settings.encoding = options.encoding;
    settings.jobs = options.jobs ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    settings.occurrences = options.output == OutputStyle::Matches || options.output == OutputStyle::Report;
    // The report shows the count of every keyword.
    // The table's note on keywords counted inside ordinary words needs the
    // counts keyword by keyword even when it does not show them (counted
    // post by post, the table shows mentions and posts instead).
    settings.byKeyword = options.byKeyword || options.output == OutputStyle::Report ||
                         (options.output == OutputStyle::Table && !options.postUnit);
    // Every form that shows occurrences one by one or keyword by keyword
    // tells those inside ordinary words.
    const InsideWordCheck inside = MakeInsideWordCheck(table, settings.manualWords);
    if (settings.byKeyword || settings.occurrences) {
        if (options.output != OutputStyle::Csv) settings.inside = &inside;
    }
    settings.posts = options.postUnit;
    settings.format = options.format;
    settings.excerpts = options.output == OutputStyle::Report;
    const std::unique_ptr<FormEmitter> emitter = MakeEmitter(options, tableSource, progress);
    const RunTotals totals = RunPipeline(settings, inputs.files, *emitter, &progress);
    return emitter->Finish(totals);
}

}  // namespace
}  // namespace quenbol::cli

int main(int argc, char** argv) {
    using namespace quenbol::cli;
#ifdef SIGPIPE
    // A closed pipe ends the run at once and quietly, as it does other tools,
    // even when the caller ignored the signal.
    std::signal(SIGPIPE, SIG_DFL);
#endif
    UseBinaryStandardStreams();
    try {
        return Run(Utf8Arguments(argc, argv));
    } catch (const std::bad_alloc&) {
        WriteText(stderr, "quenbol-count: out of memory\n");
    } catch (const std::exception& e) {
        WriteText(stderr, std::string("quenbol-count: ") + e.what() + "\n");
    }
    return 1;
}
