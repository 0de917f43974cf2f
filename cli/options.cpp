// Command-line parsing for quenbol-count.
#include "cli/options.h"

#include <algorithm>
#include <string_view>

#include "core/text/cp932.h"

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

}  // namespace

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

namespace {

constexpr int kMaxJobs = 256;

// A number of one to three digits up to max, as --context and --jobs take; nothing otherwise.
std::optional<int> SmallNumber(const std::string& value, int max) {
    if (value.empty() || value.size() > 3 || value.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int n = std::stoi(value);
    if (n > max) return std::nullopt;
    return n;
}

// What an option is to the rules between options, one bit each so that a rule
// can name several. kReading: --manual and --encoding; kCorpus: -r, --files-from,
// --jobs and --progress; kInfo: --help and --version; kTexts: a text named.
enum Group : unsigned {
    kKeywords = 1u << 0, kReading = 1u << 1, kLine = 1u << 2, kJson = 1u << 3, kByKeyword = 1u << 4,
    kMatches = 1u << 5, kContext = 1u << 6, kHtml = 1u << 7, kJsonl = 1u << 8, kCsv = 1u << 9,
    kCorpus = 1u << 10, kDumpKeywords = 1u << 11, kInfo = 1u << 12, kTexts = 1u << 13,
    kUnit = 1u << 14, kPosts = 1u << 15, kLang = 1u << 16, kPeriod = 1u << 17,
};

// Applies an option's value (empty when it takes none) to the options; returns
// the error, empty when none. timesBefore counts the earlier uses of the option.
using Setter = std::string (*)(Options& o, const std::string& value, int timesBefore);

enum Repeat { kRepeatable, kOnce };  // kOnce: given twice is an error

// An option's line in --help in each language; the lines after the first are
// indented under it.
struct Help {
    std::string_view english;
    std::string_view japanese;
};

struct OptionRow {
    std::string_view name;
    std::string_view shortName;  // empty when none
    std::string_view valueName;  // empty for an option without a value
    Repeat repeat;
    Group group;
    Help help;
    Setter set;
};

// Every option, in the order --help lists them.
const OptionRow kOptions[] = {
    {"--keywords", "", "FILE", kOnce, kKeywords,
     {"use the keyword table of a keyword file instead of the\n"
      "built-in one",
      "組み込みの表の代わりにキーワードファイルのキーワード表を使う"},
     [](Options& o, const std::string& value, int) { o.keywordFile = value; return std::string(); }},
    {"--manual", "", "WORD", kRepeatable, kReading,
     {"a manual word (up to 7; when given, these replace the\n"
      "initial ones)",
      "手動ワード（7 個まで。指定すると初期のワードと入れ替わる）"},
     [](Options& o, const std::string& value, int timesBefore) {
         if (timesBefore == kManualWordCount) return std::string("at most 7 manual words can be given");
         if (!o.manualWords) o.manualWords.emplace();
         std::string error;
         (*o.manualWords)[timesBefore] = ManualWordToCp932(value, error);
         return error;
     }},
    {"--encoding", "", "ENC", kOnce, kReading,
     {"how texts are read: auto (default: chosen per text by its\n"
      "byte-order mark, else ISO-2022-JP, UTF-8, EUC-JP or code\n"
      "page 932), cp932, utf-8, utf-16le, utf-16be, euc-jp,\n"
      "iso-2022-jp",
      "テキストの読み方: auto（既定: テキストごとにバイト順マーク、\n"
      "なければ ISO-2022-JP、UTF-8、EUC-JP、コードページ 932\n"
      "から選ぶ）、cp932、utf-8、utf-16le、utf-16be、euc-jp、\n"
      "iso-2022-jp"},
     [](Options& o, const std::string& value, int) {
         if (value == "auto") {
             o.encoding.reset();
             return std::string();
         }
         o.encoding = EncodingByName(value);
         if (!o.encoding)
             return "unknown encoding " + Quoted(value) +
                    " (auto, cp932, utf-8, utf-16le, utf-16be, euc-jp or iso-2022-jp)";
         return std::string();
     }},
    {"--line", "", "", kRepeatable, kLine,
     {"print the results line of each text, as the clipboard gets\n"
      "it",
      "各テキストの結果行を、クリップボードに入るとおりに出力"},
     [](Options& o, const std::string&, int) { o.output = OutputStyle::Line; return std::string(); }},
    {"--json", "", "", kRepeatable, kJson,
     {"print the state after the last text as one JSON object",
      "最後のテキストの後の状態を一つの JSON オブジェクトで出力"},
     [](Options& o, const std::string&, int) { o.output = OutputStyle::Json; return std::string(); }},
    {"--by-keyword", "", "", kRepeatable, kByKeyword,
     {"with the table, --json or --jsonl: the count of every\n"
      "keyword as well",
      "表、--json、--jsonl で、キーワードごとの数も出す"},
     [](Options& o, const std::string&, int) { o.byKeyword = true; return std::string(); }},
    {"--matches", "", "", kRepeatable, kMatches,
     {"print every counted occurrence as one JSON object a line:\n"
      "where it is (byte offsets into the file as read, line,\n"
      "column) and which member and keyword took it",
      "数えた出現を一つずつ、一行一つの JSON オブジェクトで出力:\n"
      "位置（読んだファイルでのバイトオフセット、行、桁）と、\n"
      "それを取ったメンバーとキーワード"},
     [](Options& o, const std::string&, int) { o.output = OutputStyle::Matches; return std::string(); }},
    {"--context", "", "N", kOnce, kContext,
     {"characters of text shown before and after each occurrence\n"
      "(0 to 200, default 10)",
      "各出現の前後に示すテキストの文字数\n"
      "（0〜200、既定 10）"},
     [](Options& o, const std::string& value, int) {
         const std::optional<int> context = SmallNumber(value, kMaxContext);
         if (!context)
             return "--context takes a number from 0 to " + std::to_string(kMaxContext) + ", not " + Quoted(value);
         o.context = *context;
         return std::string();
     }},
    {"--html", "", "REPORT", kOnce, kHtml,
     {"write an HTML report of all the texts, occurrences marked\n"
      "('-': standard output)",
      "全テキストの HTML レポートを書く。出現に印を付ける\n"
      "（'-': 標準出力）"},
     [](Options& o, const std::string& value, int) {
         if (value.empty()) return std::string("--html needs a file name");
         o.reportPath = value;
         o.output = OutputStyle::Report;
         return std::string();
     }},
    {"--jsonl", "", "", kRepeatable, kJsonl,
     {"print one JSON object per text (JSON Lines), as each is done",
      "テキストごとに JSON オブジェクトを一行ずつ、数え終わるたびに\n"
      "出力（JSON Lines）"},
     [](Options& o, const std::string&, int) { o.output = OutputStyle::Jsonl; return std::string(); }},
    {"--csv", "", "", kRepeatable, kCsv,
     {"print one CSV row per text (UTF-8 with a byte-order mark, CR\n"
      "LF)",
      "テキストごとに CSV の行を一つ出力（UTF-8、バイト順マーク\n"
      "付き、改行は CR LF）"},
     [](Options& o, const std::string&, int) { o.output = OutputStyle::Csv; return std::string(); }},
    {"--unit", "", "UNIT", kOnce, kUnit,
     {"what is counted alone: text (each text, the default) or post\n"
      "(each post of a thread log, each message of a talk, each\n"
      "paragraph)",
      "単独で数える単位: text（テキストごと、既定）か post\n"
      "（スレッドログの投稿、トークのメッセージ、段落ごと）"},
     [](Options& o, const std::string& value, int) {
         if (value == "text") o.postUnit = false;
         else if (value == "post") o.postUnit = true;
         else return "unknown unit " + Quoted(value) + " (text or post)";
         return std::string();
     }},
    {"--format", "", "FORMAT", kOnce, kPosts,
     {"with --unit post: how texts split into posts: auto (judged\n"
      "per text, the default), dat, thread, line-talk or plain",
      "--unit post で、テキストを投稿に分ける形式: auto（テキスト\n"
      "ごとに判定、既定）、dat、thread、line-talk、plain"},
     [](Options& o, const std::string& value, int) {
         if (value == "auto") o.format.reset();
         else if (value == "dat") o.format = LogFormat::Dat;
         else if (value == "thread") o.format = LogFormat::Thread;
         else if (value == "line-talk") o.format = LogFormat::LineTalk;
         else if (value == "plain") o.format = LogFormat::Plain;
         else return "unknown format " + Quoted(value) + " (auto, dat, thread, line-talk or plain)";
         return std::string();
     }},
    {"--period", "", "PERIOD", kOnce, kPeriod,
     {"with --json --unit post or --html: the periods counted, day\n"
      "(the default), week (ISO weeks) or month",
      "--json --unit post か --html で集計する期間: day（既定）、\n"
      "week（ISO 週）、month"},
     [](Options& o, const std::string& value, int) {
         if (value == "day") o.period = PeriodKind::Day;
         else if (value == "week") o.period = PeriodKind::Week;
         else if (value == "month") o.period = PeriodKind::Month;
         else return "unknown period " + Quoted(value) + " (day, week or month)";
         return std::string();
     }},
    {"--recursive", "-r", "", kRepeatable, kCorpus,
     {"count every regular file below each DIR, in byte order of\n"
      "the paths",
      "各 DIR の下の通常ファイルをすべて、パスのバイト順に数える"},
     [](Options& o, const std::string&, int) { o.recursive = true; return std::string(); }},
    {"--files-from", "", "LIST", kOnce, kCorpus,
     {"read the texts' paths from LIST, one a line ('-': standard\n"
      "input)",
      "テキストのパスを LIST から一行に一つずつ読む\n"
      "（'-': 標準入力）"},
     [](Options& o, const std::string& value, int) { o.filesFrom = value; return std::string(); }},
    {"--jobs", "", "N", kRepeatable, kCorpus,
     {"count N texts at once (default: one per core); the output is\n"
      "the same",
      "N 個のテキストを同時に数える（既定: コアごとに一つ）。\n"
      "出力は変わらない"},
     [](Options& o, const std::string& value, int) {
         const std::optional<int> jobs = SmallNumber(value, kMaxJobs);
         if (!jobs || *jobs == 0) return "--jobs takes a number of texts from 1 to " + std::to_string(kMaxJobs);
         o.jobs = *jobs;
         return std::string();
     }},
    {"--progress", "", "WHEN", kRepeatable, kCorpus,
     {"a progress line on standard error: auto (when it is a\n"
      "terminal), always or never",
      "標準エラーに進み具合の行を出す: auto（端末のとき）、\n"
      "always、never"},
     [](Options& o, const std::string& value, int) {
         if (value == "auto") o.progress = ProgressDisplay::Auto;
         else if (value == "always") o.progress = ProgressDisplay::Always;
         else if (value == "never") o.progress = ProgressDisplay::Never;
         else return "unknown progress display " + Quoted(value) + " (auto, always or never)";
         return std::string();
     }},
    {"--dump-keywords", "", "", kRepeatable, kDumpKeywords,
     {"write the keyword table in keyword file form to standard\n"
      "output",
      "キーワード表をキーワードファイルの形で標準出力に書く"},
     [](Options& o, const std::string&, int) { o.dumpKeywords = true; return std::string(); }},
    {"--lang", "", "LANG", kOnce, kLang,
     {"the language of --help and of the --html report: ja or en\n"
      "(default: ja where the system's code page is 932 or the\n"
      "locale is Japanese)",
      "--help と --html レポートの言語: ja か en（既定: システムの\n"
      "コードページが 932 かロケールが日本語なら ja）"},
     [](Options& o, const std::string& value, int) {
         if (value == "ja") o.language = Language::Japanese;
         else if (value == "en") o.language = Language::English;
         else return "unknown language " + Quoted(value) + " (ja or en)";
         return std::string();
     }},
    {"--help", "", "", kRepeatable, kInfo,
     {"show this help", "このヘルプを表示"},
     [](Options& o, const std::string&, int) { o.help = true; return std::string(); }},
    {"--version", "", "", kRepeatable, kInfo,
     {"show the version", "バージョンを表示"},
     [](Options& o, const std::string&, int) { o.version = true; return std::string(); }},
};

// A text named on the command line, among the options given.
const OptionRow kText = {"", "", "", kRepeatable, kTexts, {}, nullptr};

// A rule between the options given: broken by an option of the first groups
// given with another of the second (or, when `needs`, without any of them).
// %1 and %2 in the message stand for the first of each as given.
struct Rule {
    unsigned first;
    unsigned second;
    std::string_view message;
    bool needs = false;
};

// Checked in this order once every argument is read, unless --help or --version
// is given; the first broken rule is the error.
const Rule kRules[] = {
    {kLine, kJson, "%1 and %2 cannot be used together"},
    {kJsonl | kCsv, kLine | kJson, "%1 and %2 cannot be used together"},
    {kJsonl | kCsv, kJsonl | kCsv, "%1 and %2 cannot be used together"},
    {kDumpKeywords, kTexts, "%1 reads no text files"},
    {kDumpKeywords, ~unsigned(kKeywords | kDumpKeywords), "%1 combines with --keywords only"},
    {kMatches, kHtml, "%1 and %2 cannot be used together"},
    {kMatches | kHtml, kJsonl | kCsv, "%1 cannot be used with %2"},
    {kMatches | kHtml, kLine | kJson, "%1 cannot be used with %2"},
    {kMatches | kHtml, kByKeyword, "%1 cannot be used with %2"},
    {kByKeyword, kLine, "%1 cannot be used with %2"},
    {kByKeyword, kCsv, "%1 cannot be used with %2"},
    {kContext, kMatches, "%1 needs %2", true},
    {kUnit, kLine | kMatches | kByKeyword, "%1 cannot be used with %2"},
    {kPosts, kUnit, "%1 needs %2", true},
    {kPeriod, kUnit | kHtml, "%1 needs --unit or --html", true},
};

const OptionRow* FindOption(std::string_view name) {
    for (const OptionRow& option : kOptions)
        if (name == option.name || (!option.shortName.empty() && name == option.shortName)) return &option;
    return nullptr;
}

std::string_view NameOfGroup(unsigned group) {
    for (const OptionRow& option : kOptions)
        if (option.group & group) return option.name;
    return {};
}

std::string RuleMessage(std::string_view message, std::string_view first, std::string_view second) {
    std::string text(message);
    text.replace(text.find("%1"), 2, first);
    if (const std::size_t at = text.find("%2"); at != std::string::npos) text.replace(at, 2, second);
    return text;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    ParseResult Run() {
        bool onlyFiles = false;
        for (next_ = 0; next_ < args_.size() && result_.ok();) {
            const std::string& arg = args_[next_++];
            if (onlyFiles || arg == "-" || arg.empty() || arg[0] != '-') {
                texts_.push_back(arg);
                given_.push_back(&kText);
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
        const OptionRow* option = FindOption(arg.name);
        if (arg.inlineValue && (!option || option->valueName.empty()))
            return Fail("option " + Quoted(arg.name) + " takes no value");
        if (!option) return Fail("unknown option " + Quoted(arg.name));
        std::string value;
        if (!option->valueName.empty() && !Value(arg, value)) return;
        const int timesBefore = int(std::count(given_.begin(), given_.end(), option));
        if (option->repeat == kOnce && timesBefore > 0)
            return Fail("option " + Quoted(arg.name) + " given more than once");
        std::string error = option->set(result_.options, value, timesBefore);
        if (!error.empty()) return Fail(std::move(error));
        given_.push_back(option);
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

    // The first of given_ in one of the groups, other than the one at `other`; npos when none.
    std::size_t FindGiven(unsigned groups, std::size_t other = std::string::npos) const {
        for (std::size_t i = 0; i < given_.size(); ++i)
            if ((given_[i]->group & groups) && i != other) return i;
        return std::string::npos;
    }

    // Rules that concern the options together.
    void Finish() {
        Options& o = result_.options;
        if (o.help || o.version) return;
        for (const Rule& rule : kRules) {
            const std::size_t first = FindGiven(rule.first);
            if (first == std::string::npos) continue;
            const std::size_t second = FindGiven(rule.second, first);
            if ((second != std::string::npos) == rule.needs) continue;
            const std::string_view secondName = rule.needs ? NameOfGroup(rule.second) : given_[second]->name;
            return Fail(RuleMessage(rule.message, given_[first]->name, secondName));
        }
        if (o.dumpKeywords) return;
        o.files = texts_.empty() && !o.filesFrom ? std::vector<std::string>{"-"} : texts_;
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
    std::vector<std::string> texts_;
    std::vector<const OptionRow*> given_;  // the options used and the texts named (kText), in order
};

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) { return Parser(args).Run(); }

Language LanguageOfLocale(unsigned codePage, std::string_view localeName) {
    return codePage == 932 || localeName.substr(0, 2) == "ja" ? Language::Japanese : Language::English;
}

namespace {

// The command lines --help begins with, after "Usage: " or its translation.
constexpr std::string_view kSynopsis[] = {
    "quenbol-count [--keywords FILE] [--manual WORD]... [--encoding ENC]",
    "              [--line | --json | --jsonl | --csv]",
    "              [-r] [--files-from LIST] [--jobs N] [--progress WHEN]",
    "              [FILE|DIR|-]...",
    "quenbol-count [...] --by-keyword [--json | --jsonl] [FILE|DIR|-]...",
    "quenbol-count [...] --unit post [--format FORMAT] [--jsonl | --csv]",
    "              [--json [--period PERIOD]] [FILE|DIR|-]...",
    "quenbol-count [...] --matches [--context N] [FILE|DIR|-]...",
    "quenbol-count [...] --html REPORT [--lang ja|en] [FILE|DIR|-]...",
    "quenbol-count [--keywords FILE] --dump-keywords",
};

struct UsageWords {
    std::string_view usage;   // before the first command line
    std::string_view indent;  // as wide on a terminal as `usage`
    std::string_view about;   // what the program does
    std::string_view exit;    // the exit statuses
};

const UsageWords kEnglishWords = {
    "Usage: ", "       ",
    "Counts how often each member of the group is named in each text, one search-all\n"
    "per FILE in the order given (standard input when none, or for '-'), totals\n"
    "accumulating from text to text.\n",
    "Exit status: 0 on success; 2 on a usage error, an unreadable file or a refused\n"
    "keyword file (nothing is printed to standard output then; with --jsonl and --csv\n"
    "an unreadable text gives a row with its error and the others are still counted);\n"
    "1 when the output cannot be written.\n",
};

const UsageWords kJapaneseWords = {
    "使い方: ", "        ",
    "各テキストで各メンバーが何回呼ばれたかを数える。FILE ごとに指定の順で\n"
    "全検索を一回ずつ行い（FILE がないときと '-' は標準入力）、合計はテキストを\n"
    "追って積み上がる。\n",
    "終了ステータス: 成功なら 0。使い方の誤り、読めないファイル、受け付けられない\n"
    "キーワードファイルでは 2（このとき標準出力には何も出さない。--jsonl と --csv\n"
    "では、読めないテキストはエラー付きの行になり、ほかのテキストは数え続ける）。\n"
    "出力を書けないときは 1。\n",
};

}  // namespace

std::string UsageText(Language language) {
    const bool japanese = language == Language::Japanese;
    const UsageWords& words = japanese ? kJapaneseWords : kEnglishWords;
    std::string text;
    for (const std::string_view line : kSynopsis) {
        text += text.empty() ? words.usage : words.indent;
        (text += line) += '\n';
    }
    (text += '\n') += words.about;
    text += '\n';
    constexpr std::size_t kHelpColumn = 20;
    for (const OptionRow& option : kOptions) {
        std::string left = "  ";
        if (!option.shortName.empty()) (left += option.shortName) += ", ";
        left += option.name;
        if (!option.valueName.empty()) (left += ' ') += option.valueName;
        left.resize(std::max(left.size() + 1, kHelpColumn), ' ');
        text += left;
        const std::string_view help = japanese ? option.help.japanese : option.help.english;
        for (const char c : help) text += c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, c);
        text += '\n';
    }
    (text += '\n') += words.exit;
    return text;
}

}  // namespace quenbol::cli
