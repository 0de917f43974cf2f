// quenbol-count: counts the group's members in texts from the command line,
// one search-all per text, with the same core as the window program.
// In the table, line and JSON forms everything is read and counted before
// anything is printed, so a run that fails prints nothing on standard output;
// the JSON Lines and CSV forms print each text's row as soon as it and all
// before it are done, and go on past a text that cannot be read.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "cli/corpus_run.h"
#include "cli/input_walk.h"
#include "cli/options.h"
#include "cli/output_format.h"
#include "cli/progress_meter.h"
#include "cli/row_writers.h"
#include "cli/system_io.h"
#include "cli/text_decoding.h"
#include "core/counting.h"
#include "core/cp932.h"
#include "core/results_line.h"
#include "settings/keyword_file.h"

namespace quenbol::cli {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitOutputFailed = 1;
constexpr int kExitRefused = 2;  // usage error, unreadable file, refused keyword file

int Refuse(const std::string& message) {
    WriteText(stderr, "quenbol-count: " + message + "\n");
    return kExitRefused;
}

int Print(const std::string& utf8) { return WriteText(stdout, utf8) ? kExitOk : kExitOutputFailed; }

int PrintBytes(const std::string& bytes) {
    return WriteBytes(stdout, bytes) ? kExitOk : kExitOutputFailed;
}

std::string FileLabel(const std::string& path) { return path == "-" ? "standard input" : path; }

// The keyword table of a keyword file, by the settings dialog's loading rules
// and with its messages; an empty message means success.
std::string LoadKeywordTable(const std::string& path, Keywords& table) {
    std::string bytes;
    std::string reason;
    switch (ReadWholeFile(path, bytes, reason)) {
        case ReadStatus::CannotOpen: return Cp932ToUtf8(kMsgCannotOpen);
        case ReadStatus::ReadFailed: return Cp932ToUtf8(kMsgReadFailed);
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
        for (std::string& path : ParseFileList(bytes)) named.push_back(std::move(path));
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
    bool written = !csv || WriteBytes(stdout, CsvHeader());
    bool failed = false;
    auto lastFlush = std::chrono::steady_clock::now();
    if (written) {
        CountCorpus(inputs.files, settings, [&](const TextRecord& record, const CountingState& after, MemberIndex top) {
            if (!record.error.empty()) {
                failed = true;
                progress.Finish();  // the message on a line of its own; the progress line comes back after it
                WriteText(stderr, "quenbol-count: " + FileLabel(record.file) + ": " + record.error + "\n");
            }
            const std::string row = csv ? CsvRow(record, after, top) : JsonlRecord(record, after, top);
            written = written && std::fwrite(row.data(), 1, row.size(), stdout) == row.size();
            return written;
        }, &progress, [&written, &lastFlush] {
            // Rows reach the reader within a twentieth of a second, without a
            // write call for each of thousands of small texts.
            const auto now = std::chrono::steady_clock::now();
            if (now - lastFlush < std::chrono::milliseconds(50)) return;
            lastFlush = now;
            written = std::fflush(stdout) == 0 && written;
        });
        written = std::fflush(stdout) == 0 && written;
    }
    if (!written) return kExitOutputFailed;
    return failed ? kExitRefused : kExitOk;
}

int Run(const std::vector<std::string>& args) {
    const ParseResult parsed = ParseOptions(args);
    if (!parsed.ok()) return Refuse(parsed.error);
    const Options& options = parsed.options;
    if (options.help) return Print(UsageText());
    if (options.version) return Print("quenbol-count " QUENBOL_VERSION "\n");

    Keywords table;
    LoadDefaultKeywords(table);
    if (options.keywordFile) {
        const std::string failure = LoadKeywordTable(*options.keywordFile, table);
        if (!failure.empty()) return Refuse(*options.keywordFile + ": " + failure);
    }
    if (options.dumpKeywords) return PrintBytes(FormatKeywordFile(table));

    InputList inputs;
    if (const std::string failure = CollectInputs(options, inputs); !failure.empty()) return Refuse(failure);
    CorpusSettings settings;
    settings.table = &table;
    settings.manualWords = options.manualWords.value_or(InitialManualWords());
    settings.encoding = ForcedEncoding(options.encoding);
    settings.jobs = options.jobs ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const bool showProgress = options.progress == ProgressDisplay::Always ||
                              (options.progress == ProgressDisplay::Auto && StandardErrorIsTerminal());
    ProgressMeter progress(showProgress, inputs.files.size(), [](std::string_view s) { WriteBytes(stderr, s); });

    if (options.output == OutputStyle::Jsonl || options.output == OutputStyle::Csv)
        return PrintRows(inputs, settings, options.output == OutputStyle::Csv, progress);

    // All or nothing: the first text that cannot be read ends the run, printing nothing.
    std::string failure;
    CountingState state;
    MemberIndex top = -1;
    std::string resultLines;
    CountCorpus(inputs.files, settings, [&](const TextRecord& record, const CountingState& after, MemberIndex leader) {
        if (!record.error.empty()) {
            failure = FileLabel(record.file) + ": " + record.error;
            return false;
        }
        state = after;
        top = leader;
        resultLines += FormatResultsLine(after.current);
        return true;
    }, &progress);
    if (!failure.empty()) return Refuse(failure);

    switch (options.output) {
        case OutputStyle::Line: return PrintBytes(resultLines);
        case OutputStyle::Json: return Print(FormatJson(state, top));
        case OutputStyle::Table:
        case OutputStyle::Jsonl:
        case OutputStyle::Csv: break;
    }
    return Print(FormatTable(state, top));
}

}  // namespace
}  // namespace quenbol::cli

int main(int argc, char** argv) {
    using namespace quenbol::cli;
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
