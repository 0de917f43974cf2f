// The command-line parser of quenbol-count.
#include <gtest/gtest.h>

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
    const std::string usage = UsageText();
    for (const char* lines :
         {"\n  -r, --recursive   count every regular file below each DIR, in byte order of the paths\n",
          "\n  --files-from LIST read the texts' paths from LIST, one a line ('-': standard input)\n",
          "\n  --context N       characters of text shown before and after each occurrence\n"
          "                    (0 to 200, default 10)\n  --html REPORT"})
        EXPECT_NE(usage.find(lines), std::string::npos) << lines;
}

TEST(ParseOptions, DumpKeywordsTakesAKeywordFileAndNoTexts) {
    const ParseResult r = ParseOptions({"--keywords", "k.ini", "--dump-keywords"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.options.dumpKeywords);
    EXPECT_TRUE(r.options.files.empty());
}

}  // namespace
}  // namespace quenbol::cli
