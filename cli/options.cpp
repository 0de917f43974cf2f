// Command-line parsing for quenbol-count.
#include "cli/options.h"

#include <algorithm>
#include <string_view>

#include "core/cp932.h"

namespace quenbol::cli {
namespace {

// Splits "--name=value" into its two halves; a plain "--name" has no value.
struct Argument {
    std::string_view name;
    std::optional<std::string_view> inlineValue;
};

Argument Split(std::string_view arg) {
    const std::size_t eq = arg.find('=');
    if (arg.substr(0, 2) != "--" || eq == std::string_view::npos) return {arg, std::nullopt};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

std::string Quoted(std::string_view s) {
    std::string quoted(1, '\'');
    quoted += s;
    quoted += '\'';
    return quoted;
}

// A manual word as typed, converted to code page 932; empty result and an
// error when it has no such form.
std::string ManualWordToCp932(std::string_view utf8, std::string& error) {
    if (!IsValidUtf8(utf8)) {
        error = "manual word is not valid UTF-8";
        return {};
    }
    bool lossless = true;
    std::string word = Utf8ToCp932(utf8, &lossless);
    if (!lossless) error = "manual word " + Quoted(utf8) + " has a character with no code page 932 form";
    return word;
}

constexpr int kMaxJobs = 256;

// A --jobs value: 1 to kMaxJobs, or 0 for anything else.
int JobCount(const std::string& value) {
    if (value.empty() || value.size() > 3 || value.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int n = std::stoi(value);
    return n <= kMaxJobs ? n : 0;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    ParseResult Run() {
        bool onlyFiles = false;
        for (next_ = 0; next_ < args_.size() && result_.ok();) {
            const std::string& arg = args_[next_++];
            if (onlyFiles || arg == "-" || arg.empty() || arg[0] != '-') {
                filesGiven_.push_back(arg);
            } else if (arg == "--") {
                onlyFiles = true;
            } else {
                Option(Split(arg));
            }
        }
        if (result_.ok()) Finish();
        return std::move(result_);
    }

private:
    void Option(const Argument& arg) {
        Options& o = result_.options;
        const bool takesValue = arg.name == "--keywords" || arg.name == "--manual" ||
                                arg.name == "--encoding" || arg.name == "--context" ||
                                arg.name == "--html" || arg.name == "--files-from" ||
                                arg.name == "--jobs" || arg.name == "--progress";
        if (!takesValue && arg.inlineValue) return Fail("option " + Quoted(arg.name) + " takes no value");
        std::string value;
        if (takesValue && !Value(arg, value)) return;

        if (arg.name == "--keywords") {
            if (o.keywordFile) return Fail("option '--keywords' given more than once");
            o.keywordFile = value;
        } else if (arg.name == "--manual") {
            if (manualCount_ == kManualWordCount) return Fail("at most 7 manual words can be given");
            if (!o.manualWords) o.manualWords.emplace();
            std::string error;
            (*o.manualWords)[manualCount_++] = ManualWordToCp932(value, error);
            if (!error.empty()) return Fail(error);
        } else if (arg.name == "--encoding") {
            if (encodingGiven_) return Fail("option '--encoding' given more than once");
            encodingGiven_ = true;
            const std::optional<TextEncoding> encoding = TextEncodingByName(value);
            if (!encoding)
                return Fail("unknown encoding " + Quoted(value) +
                            " (auto, cp932, utf-8, utf-16le, utf-16be, euc-jp or iso-2022-jp)");
            o.encoding = *encoding;
        } else if (arg.name == "--line") {
            lineGiven_ = true;
            o.output = OutputStyle::Line;
        } else if (arg.name == "--json") {
            jsonGiven_ = true;
            o.output = OutputStyle::Json;
        } else if (arg.name == "--by-keyword") {
            byKeywordGiven_ = true;
            o.byKeyword = true;
        } else if (arg.name == "--matches") {
            matchesGiven_ = true;
            o.output = OutputStyle::Matches;
        } else if (arg.name == "--context") {
            if (contextGiven_) return Fail("option '--context' given more than once");
            contextGiven_ = true;
            if (!ContextValue(value, o.context))
                return Fail("--context takes a number from 0 to " + std::to_string(kMaxContext) +
                            ", not " + Quoted(value));
        } else if (arg.name == "--html") {
            if (htmlGiven_) return Fail("option '--html' given more than once");
            if (value.empty()) return Fail("--html needs a file name");
            htmlGiven_ = true;
            o.reportPath = value;
            o.output = OutputStyle::Report;
        } else if (arg.name == "--jsonl" || arg.name == "--csv") {
            rowsGiven_.push_back(std::string(arg.name));
            o.output = arg.name == "--jsonl" ? OutputStyle::Jsonl : OutputStyle::Csv;
        } else if (arg.name == "-r" || arg.name == "--recursive") {
            o.recursive = true;
            corpusGiven_ = true;
        } else if (arg.name == "--files-from") {
            if (o.filesFrom) return Fail("option '--files-from' given more than once");
            o.filesFrom = value;
            corpusGiven_ = true;
        } else if (arg.name == "--jobs") {
            o.jobs = JobCount(value);
            if (o.jobs <= 0) return Fail("--jobs takes a number of texts from 1 to " + std::to_string(kMaxJobs));
            corpusGiven_ = true;
        } else if (arg.name == "--progress") {
            if (value == "auto") o.progress = ProgressDisplay::Auto;
            else if (value == "always") o.progress = ProgressDisplay::Always;
            else if (value == "never") o.progress = ProgressDisplay::Never;
            else return Fail("unknown progress display " + Quoted(value) + " (auto, always or never)");
            corpusGiven_ = true;
        } else if (arg.name == "--dump-keywords") {
            o.dumpKeywords = true;
        } else if (arg.name == "--help") {
            o.help = true;
        } else if (arg.name == "--version") {
            o.version = true;
        } else {
            Fail("unknown option " + Quoted(arg.name));
        }
    }

    // The value of an option: after '=' or the next argument, whatever it looks like.
    bool Value(const Argument& arg, std::string& value) {
        if (arg.inlineValue) {
            value = std::string(*arg.inlineValue);
        } else if (next_ < args_.size()) {
            value = args_[next_++];
        } else {
            Fail("option " + Quoted(arg.name) + " needs a value");
            return false;
        }
        return true;
    }

    static bool ContextValue(const std::string& value, int& context) {
        if (value.empty() || value.size() > 3 ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        context = std::stoi(value);
        return context <= kMaxContext;
    }

    // Rules that concern the options together.
    void Finish() {
        Options& o = result_.options;
        if (o.help || o.version) return;
        if (lineGiven_ && jsonGiven_) return Fail("--line and --json cannot be used together");
        if (!rowsGiven_.empty() && (lineGiven_ || jsonGiven_ || rowsGiven_.size() > 1)) {
            const std::string other = lineGiven_ ? "--line" : jsonGiven_ ? "--json" : rowsGiven_[1];
            return Fail(rowsGiven_[0] + " and " + other + " cannot be used together");
        }
        if (o.dumpKeywords) {
            if (!filesGiven_.empty()) return Fail("--dump-keywords reads no text files");
            if (o.manualWords || encodingGiven_ || lineGiven_ || jsonGiven_ || byKeywordGiven_ ||
                matchesGiven_ || contextGiven_ || htmlGiven_ || !rowsGiven_.empty() || corpusGiven_)
                return Fail("--dump-keywords combines with --keywords only");
            return;
        }
        if (matchesGiven_ && htmlGiven_) return Fail("--matches and --html cannot be used together");
        const char* form = matchesGiven_ ? "--matches" : htmlGiven_ ? "--html" : nullptr;
        if (form && !rowsGiven_.empty()) return Fail(std::string(form) + " cannot be used with " + rowsGiven_[0]);
        if (form && lineGiven_) return Fail(std::string(form) + " cannot be used with --line");
        if (form && jsonGiven_) return Fail(std::string(form) + " cannot be used with --json");
        if (form && byKeywordGiven_) return Fail(std::string(form) + " cannot be used with --by-keyword");
        if (byKeywordGiven_ && lineGiven_) return Fail("--by-keyword cannot be used with --line");
        if (byKeywordGiven_ && o.output == OutputStyle::Csv) return Fail("--by-keyword cannot be used with --csv");
        if (contextGiven_ && !matchesGiven_) return Fail("--context needs --matches");
        o.files = filesGiven_.empty() && !o.filesFrom ? std::vector<std::string>{"-"} : filesGiven_;
        // Standard input read once for the table would leave every text read from it empty.
        const bool textFromStdin = std::find(o.files.begin(), o.files.end(), "-") != o.files.end();
        if (o.keywordFile == "-" && textFromStdin)
            return Fail("standard input cannot hold both the keyword file and a text");
        if (o.filesFrom == "-" && (textFromStdin || o.keywordFile == "-"))
            return Fail("standard input cannot hold both the list of texts and a text or the keyword file");
    }

    void Fail(std::string message) { result_.error = std::move(message); }

    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
    ParseResult result_;
    std::vector<std::string> filesGiven_;
    int manualCount_ = 0;
    bool encodingGiven_ = false;
    bool lineGiven_ = false;
    bool jsonGiven_ = false;
    bool byKeywordGiven_ = false;
    bool matchesGiven_ = false;
    bool contextGiven_ = false;
    bool htmlGiven_ = false;
    std::vector<std::string> rowsGiven_;  // --jsonl, --csv as given
    bool corpusGiven_ = false;            // -r, --files-from, --jobs or --progress
};

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }

std::string UsageText() {
    return "Usage: quenbol-count [--keywords FILE] [--manual WORD]... [--encoding ENC]\n"
           "                     [--line | --json | --jsonl | --csv] [-r] [--files-from LIST]\n"
           "                     [--jobs N] [--progress auto|always|never] [FILE|DIR|-]...\n"
           "       quenbol-count [...] --by-keyword [--json | --jsonl] [FILE|DIR|-]...\n"
           "       quenbol-count [...] --matches [--context N] [FILE|DIR|-]...\n"
           "       quenbol-count [...] --html REPORT [FILE|DIR|-]...\n"
           "       quenbol-count [--keywords FILE] --dump-keywords\n"
           "\n"
           "Counts how often each member of the group is named in each text, one search-all\n"
           "per FILE in the order given (standard input when none, or for '-'), totals\n"
           "accumulating from text to text.\n"
           "\n"
           "  --keywords FILE   use the keyword table of a keyword file instead of the built-in one\n"
           "  --manual WORD     a manual word (up to 7; when given, these replace the initial ones)\n"
           "  --encoding ENC    how texts are read: auto (default: chosen per text by its byte-order\n"
           "                    mark, else ISO-2022-JP, UTF-8, EUC-JP or code page 932), cp932,\n"
           "                    utf-8, utf-16le, utf-16be, euc-jp, iso-2022-jp\n"
           "  --line            print the results line of each text, as the clipboard gets it\n"
           "  --json            print the state after the last text as one JSON object\n"
           "  --by-keyword      with the table, --json or --jsonl: the count of every keyword as well\n"
           "  --matches         print every counted occurrence as one JSON object a line:\n"
           "                    where it is (byte offsets into the file as read, line, column)\n"
           "                    and which member and keyword took it\n"
           "  --context N       characters of text shown before and after each occurrence\n"
           "                    (0 to 200, default 10)\n"
           "  --html REPORT     write an HTML report of all the texts, occurrences marked\n"
           "                    ('-': standard output)\n"
           "  --jsonl           print one JSON object per text (JSON Lines), as each is done\n"
           "  --csv             print one CSV row per text (UTF-8 with a byte-order mark, CR LF)\n"
           "  -r, --recursive   count every regular file below each DIR, in byte order of the paths\n"
           "  --files-from LIST read the texts' paths from LIST, one a line ('-': standard input)\n"
           "  --jobs N          count N texts at once (default: one per core); the output is the same\n"
           "  --progress WHEN   a progress line on standard error: auto (when it is a terminal),\n"
           "                    always or never\n"
           "  --dump-keywords   write the keyword table in keyword file form to standard output\n"
           "  --help            show this help\n"
           "  --version         show the version\n"
           "\n"
           "Exit status: 0 on success; 2 on a usage error, an unreadable file or a refused\n"
           "keyword file (nothing is printed to standard output then; with --jsonl and --csv an\n"
           "unreadable text gives a row with its error and the others are still counted); 1 when\n"
           "the output cannot be written.\n";
}

}  // namespace quenbol::cli
