// quenbol-count: counts the group's members in texts from the command line,
// one search-all per text, with the same core as the window program.
// Everything is read and counted before anything is printed, so a run that
// fails prints nothing on standard output.
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/output_format.h"
#include "cli/system_io.h"
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

    CountingState state;
    state.manualWords = options.manualWords.value_or(InitialManualWords());
    MemberIndex top = -1;
    std::string resultLines;
    // The table is compiled once, with the first text as the scan's sample.
    std::optional<CompiledSearch> words;
    TextFile file;
    std::string decoded;
    for (const std::string& path : options.files) {
        std::string reason;
        switch (file.Open(path, reason)) {
            case ReadStatus::CannotOpen: return Refuse(FileLabel(path) + ": cannot open: " + reason);
            case ReadStatus::ReadFailed: return Refuse(FileLabel(path) + ": cannot read: " + reason);
            case ReadStatus::Ok: break;
        }
        // Code page 932 bytes are counted where they lie; UTF-8 is converted
        // in one pass into a buffer of its own.
        std::string_view text = file.bytes();
        if (ReadsAsUtf8(text, options.encoding)) {
            decoded = DecodeText(text, options.encoding);
            text = decoded;
        }
        if (!words) words.emplace(table, state.manualWords, text);
        top = SearchAll(state, text, *words);
        resultLines += FormatResultsLine(state.current);
    }

    switch (options.output) {
        case OutputStyle::Line: return PrintBytes(resultLines);
        case OutputStyle::Json: return Print(FormatJson(state, top));
        case OutputStyle::Table: break;
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
