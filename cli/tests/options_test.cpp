// The command-line parser of quenbol-count.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/options.h"

namespace quenbol::cli {
namespace {


TEST(ParseOptions, DefaultsReadStandardInputOnceAsATable) {
    const ParseResult r = ParseOptions({});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.files, std::vector<std::string>{"-"});
    EXPECT_EQ(r.options.encoding, std::nullopt);
    EXPECT_EQ(r.options.output, OutputStyle::Table);
    EXPECT_FALSE(r.options.keywordFile);
    EXPECT_FALSE(r.options.manualWords);
    EXPECT_FALSE(r.options.dumpKeywords);
}

TEST(ParseOptions, TakesEveryOptionInBothSpellingsAndKeepsFileOrder) {
    const ParseResult r = ParseOptions({"--keywords", "k.ini", "b.txt", "--manual", "鞍馬",
                                        "--manual=x y", "--encoding=cp932", "--json", "-", "a.txt"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.keywordFile, "k.ini");
    EXPECT_EQ(r.options.files, (std::vector<std::string>{"b.txt", "-", "a.txt"}));
    EXPECT_EQ(r.options.encoding, Encoding::Cp932);
    EXPECT_EQ(r.options.output, OutputStyle::Json);
    ASSERT_TRUE(r.options.manualWords);
    EXPECT_EQ(*r.options.manualWords, (ManualWordList{"\x88\xC6\x94\x6E", "x y", "", "", "", "", ""}));  // 鞍馬 in code page 932

    EXPECT_EQ(ParseOptions({"--encoding", "utf-8", "--line"}).options.encoding, Encoding::Utf8);
    EXPECT_EQ(ParseOptions({"--line"}).options.output, OutputStyle::Line);
}

TEST(ParseOptions, AnOptionValueIsTakenWhateverItLooksLike) {
    const ParseResult r = ParseOptions({"--manual", "--json", "--keywords", "-", "a.txt"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ((*r.options.manualWords)[0], "--json");
    EXPECT_EQ(r.options.output, OutputStyle::Table);
    EXPECT_EQ(r.options.keywordFile, "-");
}

TEST(ParseOptions, DoubleDashEndsTheOptions) {
    const ParseResult r = ParseOptions({"--line", "--", "--json", "-x"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.files, (std::vector<std::string>{"--json", "-x"}));
    EXPECT_EQ(r.options.output, OutputStyle::Line);
}

TEST(ParseOptions, ManualWordsUpToSevenAllInCodePage932) {
    std::vector<std::string> args;
    for (int i = 0; i < 7; ++i) args.insert(args.end(), {"--manual", i == 3 ? "" : "w"});
    ParseResult r = ParseOptions(args);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(*r.options.manualWords, (ManualWordList{"w", "w", "w", "", "w", "w", "w"}));

    args.insert(args.end(), {"--manual", "w"});
    EXPECT_NE(ParseOptions(args).error.find("at most 7"), std::string::npos);

    const std::string smiley = "七緒\U0001F600";
    r = ParseOptions({"--manual", smiley});
    EXPECT_NE(r.error.find(smiley), std::string::npos) << "the message names the word: " << r.error;
    EXPECT_FALSE(ParseOptions({"--manual", "\xE4\xB8"}).ok());  // cut-off UTF-8
}

TEST(ParseOptions, UsageErrorsAreOneLineEach) {
    const std::vector<std::vector<std::string>> bad = {
        {"--line", "--json"},       {"--json", "--line", "a"},
        {"--dump-keywords", "a"},   {"--dump-keywords", "-"},
        {"--dump-keywords", "--json"}, {"--dump-keywords", "--manual", "w"},
        {"--bogus"},                {"-x"},
        {"--keywords"},             {"a", "--manual"},
        {"--encoding", "latin1"},   {"--encoding", "utf-8", "--encoding", "utf-8"},
        {"--keywords", "a", "--keywords", "b"}, {"--line=1"},
        {"--keywords", "-"},        {"--keywords", "-", "a", "-"},
    };
    for (const auto& args : bad) {
        const ParseResult r = ParseOptions(args);
        EXPECT_FALSE(r.ok()) << testing::PrintToString(args);
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
    }
}

TEST(ParseOptions, HelpAndVersionWinOverConflictsButNotOverMalformedArguments) {
    EXPECT_TRUE(ParseOptions({"--line", "--json", "--help"}).options.help);
    EXPECT_TRUE(ParseOptions({"--dump-keywords", "a", "--version"}).options.version);
    EXPECT_FALSE(ParseOptions({"--bogus", "--help"}).ok());
}

TEST(ParseOptions, AConflictNamesTheOptionsOfTheFirstRuleBroken) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--json", "--csv", "--line"}, "--line and --json cannot be used together"},
        {{"--csv", "--csv", "--json"}, "--csv and --json cannot be used together"},
        {{"--jsonl", "--jsonl"}, "--jsonl and --jsonl cannot be used together"},
        {{"--dump-keywords", "--manual", "w", "a"}, "--dump-keywords reads no text files"},
        {{"--html", "r", "--by-keyword", "--matches"}, "--matches and --html cannot be used together"},
        {{"--by-keyword", "--html", "r", "--csv"}, "--html cannot be used with --csv"},
        {{"--by-keyword", "--csv"}, "--by-keyword cannot be used with --csv"},
        {{"--json", "--context", "1"}, "--context needs --matches"},
    };
    for (const auto& [args, error] : cases) EXPECT_EQ(ParseOptions(args).error, error);
}

TEST(UsageText, ListsEachOptionWithItsValueAndItsHelpInOneColumn) {
    const std::string usage = UsageText(Language::English);
    EXPECT_EQ(usage.rfind("Usage: quenbol-count [--keywords FILE]", 0), 0u);
    for (const char* lines :
         {"\n  -r, --recursive   count every regular file below each DIR, in byte order of\n"
          "                    the paths\n",
          "\n  --files-from LIST read the texts' paths from LIST, one a line ('-': standard\n"
          "                    input)\n",
          "\n  --context N       characters of text shown before and after each occurrence\n"
          "                    (0 to 200, default 10)\n  --html REPORT"})
        EXPECT_NE(usage.find(lines), std::string::npos) << lines;
    const std::string japanese = UsageText(Language::Japanese);
    EXPECT_EQ(japanese.rfind("使い方: quenbol-count [--keywords FILE]", 0), 0u);
    EXPECT_NE(japanese.find("\n  --context N       各出現の前後に示すテキストの文字数\n"
                            "                    （0〜200、既定 10）\n  --html REPORT"),
              std::string::npos);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(text.substr(at, nl - at));
    return lines;
}

// Columns on a terminal: every character outside ASCII in the help is a wide one.
std::size_t Columns(const std::string& line) {
    std::size_t columns = 0;
    for (const unsigned char c : line) columns += c < 0x80 ? 1 : (c & 0xC0) == 0xC0 ? 2 : 0;
    return columns;
}

// An option added to the table without its Japanese line shows in the
// Japanese help with no text, or with English.
TEST(UsageText, EveryOptionHasItsLineInBothLanguages) {
    constexpr std::size_t kHelpColumn = 20;
    const std::vector<std::string> english = Lines(UsageText(Language::English));
    const std::vector<std::string> japanese = Lines(UsageText(Language::Japanese));
    int options = 0;
    for (const std::string& line : english) {
        if (line.rfind("  -", 0) != 0) continue;
        ++options;
        const std::string left = line.substr(0, line.find(' ', line.find("--")));
        const auto same = std::find_if(japanese.begin(), japanese.end(), [&](const std::string& l) {
            return l.rfind(left + ' ', 0) == 0;
        });
        ASSERT_NE(same, japanese.end()) << left;
        const std::string help = same->substr(std::min(same->size(), kHelpColumn));
        EXPECT_TRUE(std::any_of(help.begin(), help.end(), [](char c) { return c & 0x80; }))
            << left << " has no Japanese help: '" << help << "'";
    }
    EXPECT_GE(options, 22);
    // Both fit an 80-column console (Japanese characters are twice as wide).
    for (const std::string& line : japanese) EXPECT_LE(Columns(line), 80u) << line;
    for (const std::string& line : english) EXPECT_LE(Columns(line), 80u) << line;
}

TEST(LanguageOfLocale, JapaneseByCodePage932OrAJaLocaleName) {
    EXPECT_EQ(LanguageOfLocale(932, ""), Language::Japanese);
    EXPECT_EQ(LanguageOfLocale(0, "ja_JP.UTF-8"), Language::Japanese);
    EXPECT_EQ(LanguageOfLocale(0, "C"), Language::English);
    EXPECT_EQ(LanguageOfLocale(1252, "en_US"), Language::English);
}

TEST(ParseOptions, DumpKeywordsTakesAKeywordFileAndNoTexts) {
    const ParseResult r = ParseOptions({"--keywords", "k.ini", "--dump-keywords"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.options.dumpKeywords);
    EXPECT_TRUE(r.options.files.empty());
}

}  // namespace
}  // namespace quenbol::cli
