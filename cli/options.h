// The command line of quenbol-count, parsed into what one run needs. A pure
// function of the arguments, so that every rule of the interface is testable
// without starting the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/decode/text_decoding.h"
#include "core/posts/thread_posts.h"
#include "core/roster.h"

namespace quenbol::cli {

enum class OutputStyle {
    Table,  // readable table of the state after the last text
    Line,   // the results line of each text, as the clipboard gets it
    Json,   // one JSON object for the state after the last text
    Matches,  // JSON Lines: every counted occurrence with its place and context
    Report,   // one HTML file for all the texts, written to reportPath
    Jsonl,    // one JSON object per text, as each is done
    Csv,      // one CSV row per text, for spreadsheets
};

constexpr int kDefaultContext = 10;
constexpr int kMaxContext = 200;

enum class ProgressDisplay { Auto, Always, Never };

// The language of --help and of the report.
enum class Language { Japanese, English };

struct Options {
    std::optional<std::string> keywordFile;     // UTF-8 path; unset: the built-in table
    std::optional<ManualWordList> manualWords;  // code page 932; unset: the initial words
    EncodingChoice encoding;                    // unset: chosen per text
    OutputStyle output = OutputStyle::Table;
    bool byKeyword = false;          // table and JSON: the count of each keyword too
    int context = kDefaultContext;   // matches: characters of context on each side
    std::string reportPath;          // report: the HTML file to write (UTF-8 path)
    bool dumpKeywords = false;
    bool help = false;
    bool version = false;
    bool recursive = false;                 // -r: directories stand for the files below them
    std::optional<std::string> filesFrom;   // UTF-8 path of a list of texts; "-" is standard input
    int jobs = 0;                           // texts counted at once; 0: one per core
    ProgressDisplay progress = ProgressDisplay::Auto;
    bool postUnit = false;                  // --unit post: each post of a text counted alone
    std::optional<LogFormat> format;        // how texts split into posts; unset: judged per text
    PeriodKind period = PeriodKind::Day;    // --json --unit post: what the periods are
    std::optional<Language> language;       // --lang; unset: the locale's (LocaleLanguage)
    // The texts (or directories) in order; "-" is standard input. With no file
    // named and no list, standard input is the one text.
    std::vector<std::string> files;
};

struct ParseResult {
    Options options;
    std::string error;  // one line naming the problem (UTF-8); empty when parsing succeeded
    bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name, all UTF-8. --help and
// --version win over any other valid option; a malformed argument does not.
ParseResult ParseOptions(const std::vector<std::string>& args);

// A manual word as typed (UTF-8), converted to code page 932; an empty
// result and a message in `error` when it is not UTF-8 or has a character
// with no code page 932 form.
std::string ManualWordToCp932(std::string_view utf8, std::string& error);

// The language a system's settings choose: Japanese where its code page is
// 932 or its locale's name (the first set of LC_ALL, LC_MESSAGES and LANG)
// starts with "ja"; English otherwise.
Language LanguageOfLocale(unsigned codePage, std::string_view localeName);

// The text printed by --help, in English or Japanese (UTF-8).
std::string UsageText(Language language);

}  // namespace quenbol::cli
