// quenbol-count over corpora: --jsonl and --csv rows, -r, --files-from,
// --jobs and the progress line, the program run as a user runs it. Texts in
// other encodings, the CSV reading and the terminal come from Python
// (corpus_helper.py), independent of the counter.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/tests/counter_process.h"
#include "cli/tests/json_reader.h"
#include "core/text/cp932.h"
#include "core/roster.h"

namespace quenbol::cli {
namespace {

namespace fs = std::filesystem;
using testing::JsonReader;
using testing::JsonValue;

using test::ReadBytes;
using test::RunOutput;
using test::ShellQuoted;

int Shell(const std::vector<std::string>& argv, const std::string& redirections) {
    return test::Shell(argv, redirections, 120);
}

std::string Name(MemberIndex m) { return DisplayName(m); }  // code page 932

// A fresh folder per test, and the counter run in it.
class Corpus : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "quenbol_corpus_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& rel) const { return dir_ + "/" + rel; }
    std::string Write(const std::string& rel, const std::string& bytes) const {
        fs::create_directories(fs::path(Path(rel)).parent_path());
        std::ofstream(Path(rel), std::ios::binary) << bytes;
        return Path(rel);
    }
    RunOutput Run(std::vector<std::string> args, const std::string& input = "/dev/null") const {
        args.insert(args.begin(), QUENBOL_COUNT_EXE);
        const std::string out = Path(".stdout"), err = Path(".stderr");
        const int status = Shell(args, "<" + ShellQuoted(input) + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err));
        return {status, ReadBytes(out), ReadBytes(err)};
    }
    // The records of --jsonl output, each read back strictly.
    static std::vector<JsonValue> Records(const std::string& jsonl) {
        std::vector<JsonValue> records;
        std::istringstream lines(jsonl);
        for (std::string line; std::getline(lines, line);) {
            auto v = JsonReader::Read(line);
            EXPECT_TRUE(v) << line;
            if (v) records.push_back(std::move(*v));
        }
        return records;
    }
    static std::vector<int> Currents(const JsonValue& record) {
        std::vector<int> counts;
        for (const JsonValue& m : record.Find("members")->items) counts.push_back(static_cast<int>(m.Find("current")->number));
        counts.push_back(static_cast<int>(record.Find("manual")->Find("current")->number));
        return counts;
    }
    static int Total(const JsonValue& record, MemberIndex m) {
        return static_cast<int>(record.Find("members")->items[m].Find("total")->number);
    }

    std::string dir_;
};

// Texts of the sample thread, cut at different places, some in UTF-8 and some
// in code page 932, so that members lead and totals differ from text to text.
std::vector<std::string> SampleCuts(int count, std::size_t size) {
    const std::string sample = ReadBytes(QUENBOL_SAMPLE);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string text;
        while (text.size() < size) text += sample.substr((i * 7919) % (sample.size() / 2));
        text = Cp932ToUtf8(Utf8ToCp932(text.substr(0, size)));  // whole characters only
        texts.push_back(i % 2 ? Utf8ToCp932(text) : text);
    }
    return texts;
}

// --jsonl --by-keyword: each member's "keywords" are what --json --by-keyword
// gives for that text alone (slot, word, current) and, in the last record, for
// all the texts together (total); counted on two threads.
TEST_F(Corpus, KeywordCountsInRecordsMatchTheJsonOfSeparateAndWholeRuns) {
    std::vector<std::string> files;
    const std::vector<std::string> texts = SampleCuts(3, 4000);
    for (std::size_t i = 0; i < texts.size(); ++i) files.push_back(Write("k" + std::to_string(i) + ".txt", texts[i]));
    const auto args = [&](std::vector<std::string> a) { a.insert(a.end(), files.begin(), files.end()); return a; };
    const RunOutput rows = Run(args({"--jsonl", "--by-keyword", "--jobs", "2"}));
    ASSERT_EQ(rows.status, 0) << rows.err;
    const std::vector<JsonValue> records = Records(rows.out);
    ASSERT_EQ(records.size(), files.size());
    const auto whole = JsonReader::Read(Run(args({"--json", "--by-keyword"})).out);
    ASSERT_TRUE(whole);
    int counted = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto alone = JsonReader::Read(Run({"--json", "--by-keyword", files[i]}).out);
        ASSERT_TRUE(alone);
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            const auto& got = records[i].Find("members")->items[m].Find("keywords")->items;
            const auto& want = alone->Find("members")->items[m].Find("keywords")->items;
            ASSERT_EQ(got.size(), 7u);
            for (int s = 0; s < 7; ++s) {
                EXPECT_EQ(got[s].Find("slot")->number, s);
                EXPECT_EQ(got[s].Find("word")->text, want[s].Find("word")->text);
                EXPECT_EQ(got[s].Find("current")->number, want[s].Find("current")->number) << i << " " << m << " " << s;
                counted += static_cast<int>(got[s].Find("current")->number);
                if (i + 1 == files.size()) {
                    EXPECT_EQ(got[s].Find("total")->number,
                              whole->Find("members")->items[m].Find("keywords")->items[s].Find("total")->number);
                }
            }
        }
    }
    EXPECT_GT(counted, 0);
    EXPECT_EQ(Run(args({"--csv", "--by-keyword"})).status, 2);
}

TEST_F(Corpus, EachRecordIsWhatASeparateRunGivesWithTotalsRunningOn) {
    std::vector<std::string> files;
    const std::vector<std::string> texts = SampleCuts(4, 3000);
    for (std::size_t i = 0; i < texts.size(); ++i) files.push_back(Write("t" + std::to_string(i) + ".txt", texts[i]));
    files.push_back(Write("names.txt", Name(4) + Name(4) + Name(4) + Name(9)));

    const RunOutput all = Run([&] { auto a = files; a.insert(a.begin(), "--jsonl"); return a; }());
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.err, "");
    const std::vector<JsonValue> records = Records(all.out);
    ASSERT_EQ(records.size(), files.size());
    std::vector<int> running(kMemberCount, 0);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        const RunOutput alone = Run({"--json", files[i]});
        const auto single = JsonReader::Read(alone.out);
        ASSERT_TRUE(single) << alone.err;
        EXPECT_EQ(Currents(records[i]), Currents(*single));
        EXPECT_EQ(records[i].Find("top")->number, single->Find("top")->number);
        EXPECT_EQ(records[i].Find("caption")->text, single->Find("caption")->text);
        EXPECT_EQ(records[i].Find("file")->text, files[i]);
        EXPECT_EQ(records[i].Find("bytes")->number, static_cast<double>(fs::file_size(files[i])));
        EXPECT_EQ(records[i].Find("encoding")->text, i < 4 && i % 2 == 0 ? "utf-8" : "cp932");
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            running[m] += Currents(*single)[m];
            EXPECT_EQ(Total(records[i], m), running[m]) << m;
        }
    }
    EXPECT_EQ(records.back().Find("top")->number, 4);
}

TEST_F(Corpus, OneJobOrSeveralGiveTheSameBytesOnBigAndSmallTextsMixed) {
    std::vector<std::string> args{"-r", dir_ + "/c"};
    const std::vector<std::string> big = SampleCuts(2, 3'000'000), small = SampleCuts(8, 500);
    for (int i = 0; i < 10; ++i) {
        const bool isBig = i == 0 || i == 5;
        Write("c/" + std::to_string(i) + ".txt", isBig ? big[i / 5] : small[i % 8]);
    }
    for (const char* form : {"--jsonl", "--csv"}) {
        const RunOutput one = Run({form, "--jobs", "1", "-r", Path("c")});
        ASSERT_EQ(one.status, 0) << one.err;
        for (const char* jobs : {"2", "3"}) {
            const RunOutput several = Run({form, "--jobs", jobs, "-r", Path("c")});
            EXPECT_EQ(several.status, 0);
            EXPECT_TRUE(several.out == one.out) << form << " --jobs " << jobs;
        }
    }
}

TEST_F(Corpus, TheSameTextInSevenEncodingsCountsAlikeAndNamesItsEncoding) {
    ASSERT_EQ(Shell({"python3", QUENBOL_CORPUS_HELPER, "encodings", Path("enc")}, ""), 0);
    const RunOutput r = Run({"--jsonl", "-r", Path("enc")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<JsonValue> records = Records(r.out);
    ASSERT_EQ(records.size(), 7u);
    const std::vector<std::string> names{"cp932", "utf-8", "utf-8", "utf-16le", "utf-16be", "euc-jp", "iso-2022-jp"};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(records[i].Find("file")->text);
        EXPECT_EQ(records[i].Find("encoding")->text, names[i]);
        EXPECT_EQ(Currents(records[i]), Currents(records[0]));
    }
    EXPECT_NE(records[0].Find("top")->number, -1);  // the text does name members
}

TEST_F(Corpus, FoldersWithNestedDirectoriesALoopAnUnreadableAndAnEmptyFile) {
    Write("t/a/b/c/deep.txt", Name(2) + Name(2) + Name(2));
    Write("t/a/x.txt", Name(5));
    Write("t/empty.txt", "");
    Write("t/z.txt", Name(2));
    fs::create_directory_symlink("..", Path("t/a/loop"));
    fs::create_symlink(Path("t/missing.txt"), Path("t/gone.txt"));  // listed, then cannot be opened

    const RunOutput r = Run({"--jsonl", "-r", Path("t")});
    EXPECT_EQ(r.status, 2);
    const std::vector<JsonValue> records = Records(r.out);
    std::vector<std::string> files;
    for (const JsonValue& v : records) files.push_back(v.Find("file")->text);
    EXPECT_EQ(files, (std::vector<std::string>{Path("t/a/b/c/deep.txt"), Path("t/a/x.txt"), Path("t/empty.txt"),
                                               Path("t/gone.txt"), Path("t/z.txt")}));
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2].Find("bytes")->number, 0);
    EXPECT_EQ(records[2].Find("error"), nullptr);
    const JsonValue& gone = records[3];
    ASSERT_NE(gone.Find("error"), nullptr);
    EXPECT_EQ(gone.Find("error")->text.rfind("cannot open: ", 0), 0u) << gone.Find("error")->text;
    EXPECT_EQ(Currents(gone), std::vector<int>(kMemberCount + 1, 0));
    EXPECT_EQ(Total(gone, 2), 3);
    EXPECT_EQ(Total(records[4], 2), 4);  // the run goes on past the failure
    EXPECT_EQ(r.err, "quenbol-count: " + Path("t/gone.txt") + ": " + gone.Find("error")->text + "\n");

    const RunOutput csv = Run({"--csv", "-r", Path("t")});
    EXPECT_EQ(csv.status, 2);
    EXPECT_NE(csv.out.find(",cannot open: "), std::string::npos);

    // The other forms stay all or nothing; a directory needs -r.
    const RunOutput table = Run({"-r", Path("t")});
    EXPECT_EQ(table.status, 2);
    EXPECT_EQ(table.out, "");
    const RunOutput noR = Run({"--jsonl", Path("t/a")});
    EXPECT_EQ(noR.status, 2);
    EXPECT_EQ(noR.out, "");
    EXPECT_NE(noR.err.find("'" + Path("t/a") + "' is a directory"), std::string::npos) << noR.err;
}

TEST_F(Corpus, FilesFromAListWithCrLfOrFromStandardInput) {
    const std::string a = Write("a.txt", Name(1)), b = Write("b b.txt", Name(3));
    const std::string list = Write("list.txt", a + "\r\n" + b + "\r\n\r\n");
    for (const RunOutput& r : {Run({"--jsonl", "--files-from", list}), Run({"--jsonl", "--files-from", "-"}, list)}) {
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<JsonValue> records = Records(r.out);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].Find("file")->text, a);
        EXPECT_EQ(records[1].Find("file")->text, b);
        EXPECT_EQ(Currents(records[1])[3], 1);
    }
}

// "-" in a list read from a file is standard input, as on the command line.
TEST_F(Corpus, FilesFromAListNamingStandardInputCountsItThere) {
    const std::string a = Write("a.txt", Name(1)), b = Write("b.txt", Name(3));
    const RunOutput r = Run({"--jsonl", "--files-from", Write("list.txt", a + "\n-\n" + b + "\n")},
                            Write("stdin.txt", Name(5) + Name(5)));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<JsonValue> records = Records(r.out);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].Find("file")->text, "-");
    EXPECT_EQ(Currents(records[1])[5], 2);
    EXPECT_EQ(Total(records[2], 3), 1);
}

// A list that another reader's form (find's -print0) or its own source makes
// unreadable refuses the run: status 2, nothing on standard output.
TEST_F(Corpus, FilesFromRefusesALineWithANulAndStandardInputTakenTwice) {
    const std::string a = Write("a.txt", Name(1)), b = Write("b.txt", Name(3));
    const auto expectRefused = [](const RunOutput& r, const std::string& message) {
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("quenbol-count: " + message, 0), 0u) << r.err;
    };
    expectRefused(Run({"--line", "--files-from", "-"}, Write("print0", a + '\0' + b + '\0')),
                  "standard input: line 1 holds a NUL byte");
    expectRefused(Run({"--jsonl", "--files-from", "-"}, Write("dash", a + "\n-\n")),
                  "standard input: line 2: '-' names standard input, which holds the list");
    const std::string keywords = Write("keywords.ini", Run({"--dump-keywords"}).out);
    const std::string list = Write("list.txt", b + "\r\n\r\n-\r\n");
    expectRefused(Run({"--keywords", "-", "--files-from", list}, keywords),
                  list + ": line 3: '-' names standard input, which holds the keyword file");
}

TEST_F(Corpus, CsvOpensInPythonsCsvReaderWithItsMarkAndCrLf) {
    const std::string a = Write("a, \"quoted\".txt", Name(6) + Name(6) + Name(6));
    const std::string b = Write("b.txt", Utf8ToCp932(Cp932ToUtf8(Name(0))) + "\r\nline two");
    const RunOutput r = Run({"--csv", a, b});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csvFile = Write("out.csv", r.out);
    ASSERT_EQ(Shell({"python3", QUENBOL_CORPUS_HELPER, "csv", csvFile}, ">" + ShellQuoted(Path("rows.json"))), 0);
    const auto rows = JsonReader::Read(ReadBytes(Path("rows.json")));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->items.size(), 2u);
    const JsonValue& first = rows->items[0];
    std::vector<std::string> columns;
    for (const auto& [key, _] : first.fields) columns.push_back(key);
    ASSERT_EQ(columns.size(), 3u + kMemberCount + 3u);
    EXPECT_EQ(columns[0], "file");
    EXPECT_EQ(columns[3 + 6], Cp932ToUtf8(Name(6)));
    EXPECT_EQ(columns.back(), "error");
    EXPECT_EQ(first.Find("file")->text, a);
    EXPECT_EQ(first.Find("encoding")->text, "cp932");
    EXPECT_EQ(first.Find("bytes")->text, std::to_string(fs::file_size(a)));
    EXPECT_EQ(first.Find(Cp932ToUtf8(Name(6)))->text, "3");
    EXPECT_EQ(first.Find("top")->text, Cp932ToUtf8(Name(6)));
    EXPECT_EQ(first.Find("error")->text, "");
    EXPECT_EQ(rows->items[1].Find(Cp932ToUtf8(Name(0)))->text, "1");
    EXPECT_EQ(rows->items[1].Find("top")->text, "");
}

TEST_F(Corpus, TheProgressLineIsDrawnOnATerminalClearedAndNeverOnStandardOutput) {
    const auto onTerminal = [&](const std::string& tag, std::vector<std::string> args) {
        std::vector<std::string> argv{"python3", QUENBOL_CORPUS_HELPER, "pty", Path(tag + ".out"),
                                      Path(tag + ".tty"), Path(tag + ".fifo"), "--", QUENBOL_COUNT_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.push_back(Path(tag + ".fifo"));
        EXPECT_EQ(Shell(argv, ""), 0);
        return std::pair{ReadBytes(Path(tag + ".out")), ReadBytes(Path(tag + ".tty"))};
    };
    const auto [out, tty] = onTerminal("auto", {"--jsonl"});
    EXPECT_EQ(tty.rfind("\r0/1 texts, 0.0 MB", 0), 0u) << tty;
    const std::size_t lastDraw = tty.rfind('\r', tty.size() - 2);
    ASSERT_NE(lastDraw, std::string::npos);
    EXPECT_EQ(tty.substr(lastDraw), "\r" + std::string(tty.size() - lastDraw - 2, ' ') + "\r");  // cleared
    EXPECT_EQ(Records(out).size(), 1u);
    EXPECT_EQ(out.find("texts,"), std::string::npos);

    EXPECT_EQ(onTerminal("never", {"--jsonl", "--progress", "never"}).second, "");
}

}  // namespace
}  // namespace quenbol::cli
