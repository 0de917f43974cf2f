// quenbol-count: counts the group's members in texts from the command line,
// one search-all per text, with the same core as the window program.
// In the table, line, JSON and report forms everything is read and counted
// before anything is printed or the report is put in place, so a run that
// fails prints nothing on standard output; the matches are printed text by
// text as each is counted, up to a text that cannot be read, which ends the
// run; the JSON Lines and CSV forms print each text's row as soon as it and
// all before it are done, and go on past a text that cannot be read.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/pipeline.h"
#include "cli/count/text_occurrences.h"
#include "cli/emit/format_json.h"
#include "cli/emit/format_line.h"
#include "cli/emit/format_matches.h"
#include "cli/emit/format_report.h"
#include "cli/emit/format_table.h"
#include "cli/read/input_walk.h"
#include "cli/options.h"
#include "cli/emit/output_file.h"
#include "cli/emit/progress_meter.h"
#include "cli/emit/row_writers.h"
#include "cli/emit/spill_buffer.h"
#include "cli/system_io.h"
#include "core/text/cp932.h"
#include "settings/keyword_format.h"

namespace quenbol::cli {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitOutputFailed = 1;
constexpr int kExitRefused = 2;  // usage error, unreadable file, refused keyword file

int Refuse(const std::string& message) {
    WriteText(stderr, "quenbol-count: " + message + "\n");
    return kExitRefused;
}

// Output that cannot be written ends the run with status 1 and the reason.
// A reader that has gone (a closed pipe) ends it without a word: on POSIX
// systems SIGPIPE does that before any write can fail, as with other tools;
// on Windows the write fails with EPIPE.
int OutputFailed(const std::string& where, const std::string& reason) {
    if (reason != std::strerror(EPIPE)) WriteText(stderr, "quenbol-count: " + where + ": " + reason + "\n");
    return kExitOutputFailed;
}

int Print(const std::string& utf8) {
    return WriteText(stdout, utf8) ? kExitOk : OutputFailed("standard output", std::strerror(WriteErrorNumber()));
}

int PrintBytes(const std::string& bytes) {
    return WriteBytes(stdout, bytes) ? kExitOk : OutputFailed("standard output", std::strerror(WriteErrorNumber()));
}

int ReportFailed(const std::string& path, const std::string& reason) {
    return OutputFailed(path == "-" ? "standard output" : path + ": cannot write the report", reason);
}

// The page around its marked texts, set aside as they were counted, written
// a piece at a time. A report that cannot be written leaves the old one as it
// was and no new file behind.
int WriteReport(const std::string& path, const ReportPage& page, const CountRun& run, SpillBuffer& texts) {
    OutputFile file;
    const bool written = file.Open(path) && file.Write(page.Head(run)) &&
                         texts.ReadBack([&file](std::string_view piece) { return file.Write(piece); }) &&
                         file.Write(page.Tail(run)) && file.Finish();
    if (written) return kExitOk;
    return ReportFailed(path, texts.reason().empty() ? file.reason() : texts.reason());
}

std::string FileLabel(const std::string& path) { return path == "-" ? "standard input" : path; }

// A text read as UTF-8 whose ill-formed sequences were replaced (they match
// nothing) is named on standard error in the forms that have no field for it.
void WarnIllFormed(const std::string& path, std::uint64_t illFormed, ProgressMeter& progress) {
    if (illFormed == 0) return;
    progress.Finish();  // the warning on a line of its own
    WriteText(stderr, "quenbol-count: " + FileLabel(path) + ": read as UTF-8 with " + std::to_string(illFormed) +
                          (illFormed == 1 ? " ill-formed sequence" : " ill-formed sequences") + " replaced\n");
}

// The keyword table of a keyword file, by the settings dialog's loading rules
// and with its messages, a file that cannot be read with the system's reason
// after the message; an empty message means success.
std::string LoadKeywordTable(const std::string& path, Keywords& table) {
    std::string bytes;
    std::string reason;
    switch (ReadWholeFile(path, bytes, reason)) {
        case ReadStatus::CannotOpen: return Cp932ToUtf8(kMsgCannotOpen) + " (" + reason + ")";
        case ReadStatus::ReadFailed: return Cp932ToUtf8(kMsgReadFailed) + " (" + reason + ")";
        case ReadStatus::Ok: break;
    }
    std::optional<Keywords> loaded = ParseKeywordFile(bytes);
    if (!loaded) return Cp932ToUtf8(kMsgNotKeywordFile);
    table = std::move(*loaded);
    return {};
}

// The texts to count: those named, then those of the --files-from list, with
// directories expanded; an empty result, or the message that refuses the run.
std::string CollectInputs(const Options& options, InputList& inputs) {
    std::vector<std::string> named = options.files;
    if (options.filesFrom) {
        std::string bytes, reason;
        switch (ReadWholeFile(*options.filesFrom, bytes, reason)) {
            case ReadStatus::CannotOpen: return FileLabel(*options.filesFrom) + ": cannot open: " + reason;
            case ReadStatus::ReadFailed: return FileLabel(*options.filesFrom) + ": cannot read: " + reason;
            case ReadStatus::Ok: break;
        }
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

// One row per text as soon as it and all before it are done. A text that
// cannot be read gets a row with its error and a line on standard error, and
// the run goes on; it then ends with status 2.
int PrintRows(const InputList& inputs, const CorpusSettings& settings, bool csv, ProgressMeter& progress) {
    static char buffer[1 << 20];  // flushed below, not every few rows; lives to the final flush at exit
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    int writeError = 0;  // the first write's failure, which ends the run
    auto written = [&writeError](bool ok) {
        if (!ok && writeError == 0) writeError = WriteErrorNumber();
        return writeError == 0;
    };
    bool failed = false;
    auto lastFlush = std::chrono::steady_clock::now();
    if (csv && !WriteBytes(stdout, CsvHeader())) written(false);
    if (writeError == 0) {
        CountCorpus(inputs.files, settings, [&](const TextRecord& record, const CountingState& after, MemberIndex top) {
            if (!record.error.empty()) {
                failed = true;
                progress.Finish();  // the message on a line of its own; the progress line comes back after it
                WriteText(stderr, "quenbol-count: " + FileLabel(std::string(record.file)) + ": " + record.error + "\n");
            }
            if (csv) WarnIllFormed(std::string(record.file), record.encodingErrors, progress);
            const std::string row = csv ? CsvRow(record, after, top) : JsonlRecord(record, after, top, settings.byKeyword);
            errno = 0;
            return written(std::fwrite(row.data(), 1, row.size(), stdout) == row.size());
        }, &progress, [&] {
            // Rows reach the reader within a twentieth of a second, without a
            // write call for each of thousands of small texts.
            const auto now = std::chrono::steady_clock::now();
            if (now - lastFlush < std::chrono::milliseconds(50) || writeError) return;
            lastFlush = now;
            errno = 0;
            written(std::fflush(stdout) == 0);
        });
        errno = 0;
        written(std::fflush(stdout) == 0);
    }
    if (writeError) {
        progress.Finish();
        return OutputFailed("standard output", std::strerror(writeError));
    }
    return failed ? kExitRefused : kExitOk;
}

// What is done with each text the run keeps (with its occurrences), before
// the next is read: false stops the run (the output failed).
using TextSink = std::function<bool(const CountedText&)>;

// Texts counted one by one, all or nothing: for the matches and the report,
// which need every text with its occurrences, handed to `eachText` one at a
// time, for the manual words' counts keyword by keyword, which the corpus
// threads do not keep, and for one text.
std::string CountOneByOne(const InputList& inputs, const Options& options, CountRun& run,
                          ProgressMeter& progress, const TextSink& eachText = {}) {
    TextFile file;
    for (const InputFile& input : inputs.files) {
        const std::string& path = input.path;
        if (!input.error.empty()) return FileLabel(path) + ": " + input.error;
        std::string reason;
        switch (file.Open(path, reason)) {
            case ReadStatus::CannotOpen: return FileLabel(path) + ": cannot open: " + reason;
            case ReadStatus::ReadFailed: return FileLabel(path) + ": cannot read: " + reason;
            case ReadStatus::Ok: break;
        }
        // Occurrences are placed in the file by the way back from the decoded
        // text, which code page 932 and UTF-8 texts have.
        const Encoding encoding = run.keepTexts ? ChosenEncoding(file.bytes(), options.encoding) : Encoding::Cp932;
        if (!DecodedText::Maps(encoding))
            return FileLabel(path) + ": read as " + std::string(EncodingName(encoding)) +
                   ": --matches and --html place occurrences in code page 932 and UTF-8 texts only";
        WarnIllFormed(path, CountText(run, path, file.bytes(), options.encoding), progress);
        progress.TextDone(file.bytes().size());
        progress.Tick();
        if (run.keepTexts) {
            // The text refers to the file's bytes, which the next Open replaces.
            const bool written = eachText(run.texts.back());
            run.texts.clear();
            if (!written) break;
        }
    }
    progress.Finish();
    return {};
}

// The table, line and JSON forms count their texts on the corpus threads,
// all or nothing: the first text (in input order) that cannot be read ends
// the run with its message, and nothing is printed.
std::string CountAllOrNothing(const InputList& inputs, const CorpusSettings& settings, CountRun& run,
                              ProgressMeter& progress) {
    std::string failure;
    CountCorpus(inputs.files, settings, [&](const TextRecord& record, const CountingState& after, MemberIndex top) {
        if (!record.error.empty()) {
            failure = FileLabel(std::string(record.file)) + ": " + record.error;
            return false;
        }
        run.state.current = after.current;
        run.state.total = after.total;
        run.state.manualCurrent = after.manualCurrent;
        run.state.manualTotal = after.manualTotal;
        run.top = top;
        run.currentPerText.push_back(after.current);
        run.encodingErrors += record.encodingErrors;
        WarnIllFormed(std::string(record.file), record.encodingErrors, progress);
        return true;
    }, &progress);
    progress.Finish();
    return failure;
}

int Run(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseOptions(args);
    if (!parsed.ok()) return Refuse(parsed.error);
    const Options& options = parsed.options;
    if (options.help) return Print(UsageText());
    if (options.version) return Print("quenbol-count " QUENBOL_VERSION "\n");

    CountRun run;
    Keywords& table = run.byKeyword.words;
    LoadDefaultKeywords(table);
    if (options.keywordFile) {
        const std::string failure = LoadKeywordTable(*options.keywordFile, table);
        if (!failure.empty()) return Refuse(*options.keywordFile + ": " + failure);
        run.tableSource = *options.keywordFile;
    }
    if (options.dumpKeywords) return PrintBytes(FormatKeywordFile(table));

    InputList inputs;
    if (const std::string failure = CollectInputs(options, inputs); !failure.empty()) return Refuse(failure);
    const bool showProgress = options.progress == ProgressDisplay::Always ||
                              (options.progress == ProgressDisplay::Auto && StandardErrorIsTerminal());
    ProgressMeter progress(showProgress, inputs.files.size(), [](std::string_view s) { WriteBytes(stderr, s); });
    run.state.manualWords = options.manualWords.value_or(InitialManualWords());

    CorpusSettings settings;
    settings.table = &table;
    settings.manualWords = run.state.manualWords;
    settings.encoding = ForcedEncoding(options.encoding);
    if (options.byKeyword) settings.byKeyword = &run.byKeyword;
    settings.jobs = options.jobs ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (options.output == OutputStyle::Jsonl || options.output == OutputStyle::Csv)
        return PrintRows(inputs, settings, options.output == OutputStyle::Csv, progress);

    run.keepTexts = options.output == OutputStyle::Matches || options.output == OutputStyle::Report;
    if (options.output == OutputStyle::Matches) {
        int writeError = 0;
        PieceWriter out([&writeError](std::string_view piece) {
            if (WriteText(stdout, piece)) return true;
            writeError = WriteErrorNumber();
            return false;
        });
        const std::string failure = CountOneByOne(inputs, options, run, progress, [&](const CountedText& text) {
            return WriteMatches(run, text, options.context, out);
        });
        if (!out.ok()) return OutputFailed("standard output", std::strerror(writeError));
        if (!failure.empty()) return Refuse(failure);
        return kExitOk;
    }
    if (options.output == OutputStyle::Report) {
        ReportPage page;
        SpillBuffer texts;
        PieceWriter out([&texts](std::string_view piece) { return texts.Write(piece); });
        const std::string failure = CountOneByOne(inputs, options, run, progress, [&](const CountedText& text) {
            return page.WriteText(text, out);
        });
        if (!failure.empty()) return Refuse(failure);
        if (!out.ok()) return ReportFailed(options.reportPath, texts.reason());
        return WriteReport(options.reportPath, page, run, texts);
    }

    // A single text gains nothing from the corpus threads (a long UTF-8 text
    // is converted on two threads by itself).
    const bool oneByOne = options.byKeyword || inputs.files.size() < 2;
    const std::string failure = oneByOne ? CountOneByOne(inputs, options, run, progress)
                                         : CountAllOrNothing(inputs, settings, run, progress);
    if (!failure.empty()) return Refuse(failure);

    const KeywordCounts* byKeyword = options.byKeyword ? &run.byKeyword : nullptr;
    switch (options.output) {
        case OutputStyle::Line: return PrintBytes(FormatLines(run.currentPerText));
        case OutputStyle::Json: return Print(FormatJson(run.state, run.top, byKeyword, run.encodingErrors));
        case OutputStyle::Matches:
        case OutputStyle::Report:
        case OutputStyle::Table:
        case OutputStyle::Jsonl:
        case OutputStyle::Csv: break;
    }
    return Print(FormatTable(run.state, run.top, byKeyword));
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
