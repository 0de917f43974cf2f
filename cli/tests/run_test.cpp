// quenbol-count run as a program: what reaches standard output, standard
// error and the exit status, checked against the core counting in process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <fstream>
#include <sstream>

#include "cli/tests/counter_process.h"
#include "cli/tests/json_reader.h"
#include "cli/decode/text_decoding.h"
#include "core/counting.h"
#include "core/results_line.h"
#include "settings/keyword_format.h"
#include "testing/cp932_text.h"

namespace quenbol::cli {
namespace {

using test::ReadBytes;
using test::RunOutput;
using test::ShellQuoted;
using test::TempPath;
using test::WriteTemp;

// The counter with standard input from `input`, through a pipe when `piped`
// (a stream of unknown size).
RunOutput RunCounter(const std::vector<std::string>& args, const std::string& input = "/dev/null",
                     bool piped = false) {
    if (!piped) return test::RunCounter(args, input);
    const std::string out = TempPath("stdout"), err = TempPath("stderr");
    std::string command = "cat " + ShellQuoted(input) + " | timeout 60 " + ShellQuoted(QUENBOL_COUNT_EXE);
    for (const std::string& a : args) command.append(" ").append(ShellQuoted(a));
    command.append(" >").append(ShellQuoted(out)).append(" 2>").append(ShellQuoted(err));
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
}

// A refusal: exit 2, nothing on standard output, one line on standard error.
void ExpectRefused(const RunOutput& r, const std::string& messagePart) {
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("quenbol-count: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(messagePart), std::string::npos) << r.err;
}

Keywords Defaults() {
    Keywords table;
    LoadDefaultKeywords(table);
    return table;
}

using quenbol::testing::Cp932;

std::string Name(MemberIndex m) { return DisplayName(m); }  // code page 932

TEST(QuenbolCount, TextsAccumulateAsSuccessiveSearchesWhateverTheirEncoding) {
    const std::string first = Name(3) + Cp932("、") + Name(3) + Cp932("と") + Name(5) + Cp932("。") + Name(3);
    const std::string second = Name(3) + Name(3) + Cp932("……") + DefaultKeyword(EntryIndex(5, 1));
    const std::string a = WriteTemp("a.txt", Cp932ToUtf8(first));
    const std::string b = WriteTemp("b.txt", second);

    CountingState expected;
    expected.manualWords = InitialManualWords();
    std::vector<std::string> lineOf;
    for (const std::string& text : {first, second}) {
        expected.text = text;
        SearchAll(expected, Defaults());
        lineOf.push_back(FormatResultsLine(expected.current));
    }
    ASSERT_EQ(expected.total[3], 5);  // the texts test what they mean to

    RunOutput r = RunCounter({"--line", a, b});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, lineOf[0] + lineOf[1]);
    EXPECT_EQ(r.err, "");

    // Counted on two threads, the lines still come in input order.
    std::vector<std::string> many = {"--line", "--jobs", "2"};
    std::string manyLines;
    for (int i = 0; i < 60; ++i) {
        many.push_back(i % 3 ? b : a);
        manyLines += lineOf[i % 3 ? 1 : 0];
    }
    r = RunCounter(many);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, manyLines);

    r = RunCounter({"--json", a, "-"}, b);  // the second text from standard input
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = testing::JsonReader::Read(r.out);
    ASSERT_TRUE(doc) << r.out;
    const auto& member3 = doc->Find("members")->items[3];
    EXPECT_EQ(member3.Find("name")->text, Cp932ToUtf8(Name(3)));
    EXPECT_EQ(member3.Find("current")->number, 2);
    EXPECT_EQ(member3.Find("total")->number, 5);
    EXPECT_EQ(doc->Find("top")->number, -1);  // 2 is no lead
    EXPECT_EQ(doc->Find("caption")->text, Cp932ToUtf8(DefaultCaption));
}

TEST(QuenbolCount, TheSampleHasAClearLeaderAndCountsAsTheCoreDoes) {
    const std::string sample = ReadBytes(QUENBOL_SAMPLE);
    ASSERT_EQ(DetectEncoding(sample), Encoding::Utf8);
    CountingState expected;
    expected.manualWords = InitialManualWords();
    expected.text = DecodeText(sample, std::nullopt);
    const MemberIndex top = SearchAll(expected, Defaults());
    ASSERT_NE(top, -1);
    for (MemberIndex m = 0; m < kMemberCount; ++m)
        if (m != top) {
            EXPECT_GE(expected.current[top] - expected.current[m], 3) << m;
        }
    EXPECT_GT(expected.manualCurrent, 0);

    EXPECT_EQ(RunCounter({"--line", QUENBOL_SAMPLE}).out, FormatResultsLine(expected.current));
    const RunOutput table = RunCounter({QUENBOL_SAMPLE});
    EXPECT_EQ(table.status, 0);
    const std::string caption = Cp932ToUtf8(CaptionFor(top)) + "\n";
    EXPECT_EQ(table.out.substr(table.out.size() - caption.size()), caption);
    // A manual word typed in UTF-8 (the leader's full name) is counted in code page 932.
    const RunOutput json = RunCounter({"--json", "--manual", Cp932ToUtf8(Name(top)), "-"}, QUENBOL_SAMPLE);
    const auto doc = testing::JsonReader::Read(json.out);
    ASSERT_TRUE(doc) << json.err;
    std::string work = expected.text;
    EXPECT_EQ(doc->Find("manual")->Find("current")->number, RemoveAll(work, Name(top)));
}

TEST(QuenbolCount, KeywordFilesDumpAndLoadByteForByte) {
    RunOutput r = RunCounter({"--dump-keywords"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, FormatKeywordFile(Defaults()));
    const std::string dumped = WriteTemp("defaults.ini", r.out);
    EXPECT_EQ(RunCounter({"--keywords", dumped, "--dump-keywords"}).out, r.out);

    Keywords custom{};
    custom[EntryIndex(20, 0)] = "ABC";
    custom[EntryIndex(20, 6)] = " x ";
    const std::string customFile = WriteTemp("custom.ini", FormatKeywordFile(custom));
    EXPECT_EQ(RunCounter({"--keywords", customFile, "--dump-keywords"}).out, FormatKeywordFile(custom));
    const std::string text = WriteTemp("abc.txt", "ABCABC " + Name(0) + " ABC");
    MemberCounts counts{};
    counts[20] = 3;
    r = RunCounter({"--keywords", customFile, "--line", text});
    EXPECT_EQ(r.out, FormatResultsLine(counts));  // the loaded table, not the built-in one
}

TEST(QuenbolCount, RefusedKeywordFilesAndUnreadableTextsPrintNothing) {
    const std::string foreign = WriteTemp("foreign.ini", std::string(KeywordFileHeader) + " \r\n");
    ExpectRefused(RunCounter({"--keywords", foreign, "--dump-keywords"}), Cp932ToUtf8(kMsgNotKeywordFile));
    ExpectRefused(RunCounter({"--keywords", WriteTemp("empty.ini", ""), "--json"}), Cp932ToUtf8(kMsgNotKeywordFile));
    // A file that cannot be read: the fixed message, then the system's reason.
    ExpectRefused(RunCounter({"--keywords", TempPath("missing.ini")}),
                  Cp932ToUtf8(kMsgCannotOpen) + " (No such file or directory)\n");
    ExpectRefused(RunCounter({"--keywords", ::testing::TempDir()}), " (Is a directory)\n");

    const std::string good = WriteTemp("good.txt", Name(1));
    ExpectRefused(RunCounter({good, TempPath("missing.txt")}), TempPath("missing.txt"));
    ExpectRefused(RunCounter({"--line", good, ::testing::TempDir()}), "is a directory");
    // The first unreadable text in input order is the one named.
    const RunOutput r = RunCounter({"--line", "--jobs", "2", good, TempPath("first-missing.txt"), good,
                                    TempPath("second-missing.txt")});
    ExpectRefused(r, "first-missing.txt");
    EXPECT_EQ(r.err.find("second-missing"), std::string::npos) << r.err;
}

TEST(QuenbolCount, UsageErrorsHelpAndVersion) {
    ExpectRefused(RunCounter({"--line", "--json"}), "--json");
    ExpectRefused(RunCounter({"--dump-keywords", QUENBOL_SAMPLE}), "--dump-keywords");
    ExpectRefused(RunCounter({"--frobnicate"}), "--frobnicate");
    const std::string smiley = "\U0001F600";
    ExpectRefused(RunCounter({"--manual", smiley}), smiley);

    RunOutput r = RunCounter({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "quenbol-count 1.0.0.1\n");
    r = RunCounter({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--dump-keywords"), std::string::npos);
}

// The locale's variables as the counter sees them, put back afterwards.
class LocaleVariables {
public:
    explicit LocaleVariables(const char* lang) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
        setenv("LANG", lang, 1);
    }
    ~LocaleVariables() {
        for (std::size_t i = 0; i < std::size(kNames); ++i)
            if (saved_[i]) setenv(kNames[i], saved_[i]->c_str(), 1);
            else unsetenv(kNames[i]);
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> saved_;
};

TEST(QuenbolCount, HelpIsInTheLocalesLanguageUnlessLangSaysOtherwise) {
    const auto helpStart = [](const char* lang, std::vector<std::string> args) {
        LocaleVariables locale(lang);
        args.insert(args.begin(), "--help");
        const RunOutput r = RunCounter(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out.substr(0, r.out.find(' '));
    };
    EXPECT_EQ(helpStart("ja_JP.UTF-8", {}), "使い方:");
    EXPECT_EQ(helpStart("C", {}), "Usage:");
    EXPECT_EQ(helpStart("ja_JP.UTF-8", {"--lang", "en"}), "Usage:");
    EXPECT_EQ(helpStart("en_US.UTF-8", {"--lang=ja"}), "使い方:");
}

TEST(QuenbolCount, MatchesAndReportRefuseTextsWithoutTheWayBackToTheFile) {
    // Occurrences are placed in code page 932 and UTF-8 files only; a text read
    // otherwise (by its mark, by the choice, or forced) ends the run there.
    const std::string utf16 = WriteTemp("utf16.txt", std::string("\xFF\xFE" "a\0b\0", 6));
    const std::string jis = WriteTemp("jis.txt", "\x1B$B$\"\x1B(B");
    const std::string report = TempPath("refused.html");
    ExpectRefused(RunCounter({"--matches", utf16}), "read as utf-16le");
    ExpectRefused(RunCounter({"--matches", "--encoding", "euc-jp", QUENBOL_SAMPLE}), "read as euc-jp");
    ExpectRefused(RunCounter({"--html", report, QUENBOL_SAMPLE, jis}), "read as iso-2022-jp");
    EXPECT_FALSE(std::ifstream(report).good());  // a report is whole or not there
    // The matches come text by text as each is counted: those before stay printed.
    const RunOutput before = RunCounter({"--matches", QUENBOL_SAMPLE, utf16, QUENBOL_SAMPLE});
    EXPECT_EQ(before.status, 2);
    EXPECT_NE(before.err.find("read as utf-16le"), std::string::npos) << before.err;
    const std::string sampleLines = RunCounter({"--matches", QUENBOL_SAMPLE}).out;
    ASSERT_NE(sampleLines, "");
    EXPECT_EQ(before.out, sampleLines);
}

TEST(QuenbolCount, AlmostUtf8CountsAsUtf8AndSaysHowManySequencesWereReplaced) {
    // The sample cut inside its last character (the download cut
    // short) counts as its whole characters do; the cut bytes match nothing.
    const std::string sample = ReadBytes(QUENBOL_SAMPLE);
    ASSERT_EQ(sample.substr(sample.size() - 4), "\xE3\x83\xBC\n");  // ends with ー and LF
    const std::string whole = WriteTemp("whole.txt", sample.substr(0, sample.size() - 4));
    const std::string cut = WriteTemp("cut.txt", sample.substr(0, sample.size() - 2));
    const RunOutput wholeLine = RunCounter({"--line", whole});
    ASSERT_NE(wholeLine.out, RunCounter({"--line", WriteTemp("none.txt", "")}).out);  // it does count names
    RunOutput r = RunCounter({"--line", cut});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, wholeLine.out);
    EXPECT_EQ(r.err, "quenbol-count: " + cut + ": read as UTF-8 with 2 ill-formed sequences replaced\n");

    r = RunCounter({"--jsonl", cut});
    EXPECT_EQ(r.err, "");
    auto row = testing::JsonReader::Read(r.out);
    ASSERT_TRUE(row) << r.out;
    EXPECT_EQ(row->Find("encoding")->text, "utf-8");
    ASSERT_TRUE(row->Find("encoding_errors"));
    EXPECT_EQ(row->Find("encoding_errors")->number, 2);
    row = testing::JsonReader::Read(RunCounter({"--json", cut, whole}).out);
    ASSERT_TRUE(row && row->Find("encoding_errors"));
    EXPECT_EQ(row->Find("encoding_errors")->number, 2);

    // A stray Latin-1 byte (é) after the first line: the occurrences are
    // still placed on the file's own bytes of each word.
    const std::size_t lineEnd = sample.find('\n') + 1;
    const std::string strayBytes = sample.substr(0, lineEnd) + "\xE9" + sample.substr(lineEnd);
    const std::string stray = WriteTemp("stray.txt", strayBytes);
    r = RunCounter({"--matches", stray});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "quenbol-count: " + stray + ": read as UTF-8 with 1 ill-formed sequence replaced\n");
    std::size_t lines = 0, placed = 0;
    for (std::size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
        const auto match = testing::JsonReader::Read(r.out.substr(start, end - start));
        ASSERT_TRUE(match);
        const auto& spans = match->Find("spans")->items;
        if (spans.size() != 1) continue;
        const auto from = std::size_t(spans[0].items[0].number), to = std::size_t(spans[0].items[1].number);
        EXPECT_EQ(strayBytes.substr(from, to - from), match->Find("word")->text) << from;
        placed += from > lineEnd;
    }
    EXPECT_GT(placed, 10u);
    const std::string clean = RunCounter({"--matches", QUENBOL_SAMPLE}).out;
    EXPECT_EQ(lines, std::size_t(std::count(clean.begin(), clean.end(), '\n')));
}

TEST(QuenbolCount, NoFileMeansStandardInput) {
    const std::string text = WriteTemp("stdin.txt", Name(7) + Name(7) + Name(7));
    MemberCounts counts{};
    counts[7] = 3;
    EXPECT_EQ(RunCounter({"--line"}, text).out, FormatResultsLine(counts));
    EXPECT_EQ(RunCounter({"--line"}).out, FormatResultsLine(MemberCounts{}));  // empty input
}

TEST(QuenbolCount, LongTextsAreReadWholeFromFilesAndPipes) {
    // Names at the very start, across the reader's first 64 KiB and at the end.
    std::string text = Name(4) + std::string(65530, 'x') + Name(4) + std::string(200000, 'y');
    text += Name(4);
    const std::string path = WriteTemp("long.txt", text);
    MemberCounts counts{};
    counts[4] = 3;
    EXPECT_EQ(RunCounter({"--line", path}).out, FormatResultsLine(counts));
    EXPECT_EQ(RunCounter({"--line"}, path, true).out, FormatResultsLine(counts));
    EXPECT_EQ(RunCounter({"--line", "--encoding", "utf-8"}, WriteTemp("long.utf8", Cp932ToUtf8(text)), true).out,
              FormatResultsLine(counts));
}

}  // namespace
}  // namespace quenbol::cli
