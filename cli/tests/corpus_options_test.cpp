// The corpus options of quenbol-count's command line.
#include <gtest/gtest.h>

#include "cli/options.h"

namespace quenbol::cli {
namespace {

TEST(CorpusOptions, RowFormsFoldersListsJobsProgressAndEveryEncoding) {
    ParseResult r = ParseOptions({"--jsonl", "-r", "--files-from", "list.txt", "--jobs", "3",
                                  "--progress=always", "--encoding", "euc-jp", "dir"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.output, OutputStyle::Jsonl);
    EXPECT_TRUE(r.options.recursive);
    EXPECT_EQ(r.options.filesFrom, "list.txt");
    EXPECT_EQ(r.options.jobs, 3);
    EXPECT_EQ(r.options.progress, ProgressDisplay::Always);
    EXPECT_EQ(r.options.encoding, Encoding::EucJp);
    EXPECT_EQ(r.options.files, std::vector<std::string>{"dir"});

    r = ParseOptions({"--csv", "--recursive", "--files-from=-"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.output, OutputStyle::Csv);
    EXPECT_TRUE(r.options.files.empty());  // the list alone: standard input is not a text too
    EXPECT_EQ(r.options.jobs, 0);           // one per core
    EXPECT_EQ(r.options.progress, ProgressDisplay::Auto);
    for (const char* e : {"utf-16le", "utf-16be", "iso-2022-jp", "cp932", "utf-8", "auto"})
        EXPECT_TRUE(ParseOptions({"--encoding", e}).ok()) << e;
}

TEST(CorpusOptions, ConflictsAndBadValuesAreUsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"--jsonl", "--csv"},          {"--csv", "--line"},
        {"--json", "--jsonl"},         {"--jobs", "0"},
        {"--jobs", "-2"},              {"--jobs", "many"},
        {"--jobs", "257"},             {"--progress", "sometimes"},
        {"--files-from", "-", "-"},    {"--files-from", "-", "--keywords", "-", "a"},
        {"--files-from", "a", "--files-from", "b"},
        {"--dump-keywords", "-r"},     {"--dump-keywords", "--csv"},
        {"--encoding", "shift_jis"},   {"-r=1"},
    };
    for (const auto& args : bad) {
        const ParseResult r = ParseOptions(args);
        EXPECT_FALSE(r.ok()) << ::testing::PrintToString(args);
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
    }
}

}  // namespace
}  // namespace quenbol::cli
