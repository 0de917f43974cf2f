// quenbol-count: counts the group's members in texts from the command line,
// one search-all per text, with the same core as the window program.
// Everything is read and counted before anything is printed, so a run that
// fails prints nothing on standard output.
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/count_run.h"
#include "cli/format_json.h"
#include "cli/format_line.h"
#include "cli/format_matches.h"
#include "cli/format_report.h"
#include "cli/format_table.h"
#include "cli/options.h"
#include "cli/system_io.h"
#include "core/cp932.h"
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

// A report that cannot be written leaves no file behind and exits 1.
int WriteReport(const std::string& path, const std::string& page) {
    std::string reason;
    if (WriteFileReplacing(path, page, reason)) return kExitOk;
    WriteText(stderr, "quenbol-count: " + path + ": cannot write the report: " + reason + "\n");
    return kExitOutputFailed;
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

    run.state.manualWords = options.manualWords.value_or(InitialManualWords());
    run.keepTexts = options.output == OutputStyle::Matches || options.output == OutputStyle::Report;
    TextFile file;
    for (const std::string& path : options.files) {
        std::string reason;
        switch (file.Open(path, reason)) {
            case ReadStatus::CannotOpen: return Refuse(FileLabel(path) + ": cannot open: " + reason);
            case ReadStatus::ReadFailed: return Refuse(FileLabel(path) + ": cannot read: " + reason);
            case ReadStatus::Ok: break;
        }
        CountText(run, path, file.bytes(), options.encoding);
    }

    const KeywordCounts* byKeyword = options.byKeyword ? &run.byKeyword : nullptr;
    switch (options.output) {
        case OutputStyle::Line: return PrintBytes(FormatLines(run.currentPerText));
        case OutputStyle::Json: return Print(FormatJson(run.state, run.top, byKeyword));
        case OutputStyle::Matches: return Print(FormatMatches(run, options.context));
        case OutputStyle::Report: return WriteReport(options.reportPath, FormatReport(run));
        case OutputStyle::Table: break;
    }
    return Print(FormatTable(run.state, run.top, byKeyword));
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
