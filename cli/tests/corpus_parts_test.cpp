// The parts of corpus counting that need no running program: the walk over
// inputs, reading files, the ordered parallel runner, the row writers, the
// progress line and the buffer the report's texts wait in.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "cli/pipeline.h"
#include "cli/read/input_walk.h"
#include "cli/count/ordered_runner.h"
#include "cli/emit/progress_meter.h"
#include "cli/emit/row_writers.h"
#include "cli/emit/spill_buffer.h"
#include "cli/system_io.h"
#include "cli/tests/json_reader.h"
#include "core/text/cp932.h"
#include "core/roster.h"

namespace quenbol::cli {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

class Walk : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = (fs::path(::testing::TempDir()) / ("walk_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                     "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                    .string();
        fs::remove_all(root_);
        for (const char* f : {"b.txt", "a.txt", "a b.txt", "a/x.txt", "a/deep/deeper/z.txt", "empty/.keep"}) {
            fs::create_directories((fs::path(root_) / f).parent_path());
            std::ofstream(fs::path(root_) / f) << "text";
        }
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string P(const std::string& rel) const {
        std::string p = root_ + kSep + rel;
        for (char& c : p) if (c == '/') c = kSep;
        return p;
    }
    std::vector<std::string> Paths(const InputList& list) const {
        std::vector<std::string> paths;
        for (const InputFile& f : list.files) paths.push_back(f.path);
        return paths;
    }
    std::string root_;
};

TEST_F(Walk, EveryRegularFileBelowADirectoryInByteOrderOfThePaths) {
    const InputList list = ExpandInputs({"first", root_, "-"}, true);
    EXPECT_EQ(list.usageError, "");
    // ' ' < '.' < '/' : "a b.txt", "a.txt", then the files in "a/".
    EXPECT_EQ(Paths(list), (std::vector<std::string>{"first", P("a b.txt"), P("a.txt"), P("a/deep/deeper/z.txt"),
                                                     P("a/x.txt"), P("b.txt"), P("empty/.keep"), "-"}));
}

TEST_F(Walk, ADirectoryWithoutRecursionIsAUsageErrorNamingIt) {
    const InputList list = ExpandInputs({P("a.txt"), P("a")}, false);
    EXPECT_NE(list.usageError.find("'" + P("a") + "' is a directory"), std::string::npos) << list.usageError;
}

#ifndef _WIN32
TEST_F(Walk, LinksToDirectoriesAreNotFollowedLinksToFilesAreAndDanglingOnesAreKept) {
    fs::create_directory_symlink("..", P("a/loop"));
    fs::create_symlink(P("b.txt"), P("link.txt"));
    fs::create_symlink(P("nowhere"), P("gone.txt"));
    const std::vector<std::string> paths = Paths(ExpandInputs({root_}, true));
    EXPECT_EQ(paths, (std::vector<std::string>{P("a b.txt"), P("a.txt"), P("a/deep/deeper/z.txt"), P("a/x.txt"),
                                               P("b.txt"), P("empty/.keep"), P("gone.txt"), P("link.txt")}));
}
#endif

#ifdef _WIN32
TEST_F(Walk, WildcardsExpandAsWindowsProgramsDo) {
    EXPECT_EQ(Paths(ExpandInputs({P("*.TXT"), P("a\\?.txt"), P("none*.txt")}, false)),
              (std::vector<std::string>{P("a b.txt"), P("a.txt"), P("b.txt"), P("a\\x.txt"), P("none*.txt")}));
}
#endif

TEST(FileList, OnePathALineLfOrCrLfWithoutEmptyLinesOrMark) {
    EXPECT_EQ(ParseFileList("\xEF\xBB\xBF" "a.txt\r\nb c.txt\n\r\n\nd\xE3\x81\x82.txt").paths,
              (std::vector<std::string>{"a.txt", "b c.txt", "d\xE3\x81\x82.txt"}));
    EXPECT_TRUE(ParseFileList("").paths.empty());
}

// find's -print0 output read as lines: the first NUL is in line 3 (empty lines counted).
TEST(FileList, ALineHoldingANulIsRefusedByItsNumber) {
    const FileList list = ParseFileList(std::string_view("a.txt\r\n\nb.txt\0c.txt\0\nd.txt\n", 21));
    EXPECT_EQ(list.usageError.rfind("line 3 holds a NUL byte", 0), 0u) << list.usageError;
}

TEST(FileList, DashIsStandardInputUnlessStandardInputHoldsTheList) {
    const FileList fromFile = ParseFileList("a.txt\n-\n");
    EXPECT_EQ(fromFile.usageError, "");
    EXPECT_EQ(fromFile.paths, (std::vector<std::string>{"a.txt", "-"}));
    EXPECT_EQ(ParseFileList("a.txt\r\n-\r\n", "the list").usageError,
              "line 2: '-' names standard input, which holds the list");
}

// One row per text taken from the pipeline, as `row` writes it.
using RowOf = std::function<std::string(const TextJob&, const RunTotals&)>;
std::vector<std::string> RowsOf(const PipelineSettings& settings, const std::vector<InputFile>& inputs, RowOf row) {
    struct Rows : Emitter {
        RowOf row;
        std::vector<std::string> rows;
        bool Take(const TextJob& text, const RunTotals& totals) override { return rows.push_back(row(text, totals)), true; }
    } rows;
    rows.row = std::move(row);
    RunPipeline(settings, inputs, rows);
    return rows.rows;
}

// Files changed between the moment their size is taken and their reading, as
// another program may change a file while it is counted.
class Reading : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) / ("reading_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        SetBeforeReadingForTests(nullptr);
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Over 1 MiB (once mapped, and read into memory of its own now), with a
    // member named at its start and at its end.
    static std::string BigText() { return Name(2) + std::string(3 << 19, 'x') + Name(2); }
    static std::string Name(MemberIndex m) { return DisplayName(m); }

    fs::path dir_;
};

TEST_F(Reading, AFileCutBeforeItIsReadCountsWhatWasReadAndTheOthersAllTheirs) {
    const std::vector<InputFile> inputs{{Write("a.txt", Name(1)), {}},
                                        {Write("big.txt", BigText()), {}},
                                        {Write("c.txt", Name(3) + Name(3)), {}}};
    SetBeforeReadingForTests([](const std::string& path) {
        if (path.ends_with("big.txt")) fs::resize_file(path, 1000);
    });
    Keywords table;
    LoadDefaultKeywords(table);
    PipelineSettings settings;
    settings.table = &table;
    settings.manualWords = InitialManualWords();
    settings.encoding = Encoding::Cp932;
    settings.jobs = 2;
    const auto rows = RowsOf(settings, inputs, [](const TextJob& text, const RunTotals& totals) {
        const MemberCounts& n = totals.state.current;
        return std::to_string(text.bytes) + " " + text.failure + "|" + std::to_string(n[1]) + std::to_string(n[2]) +
               std::to_string(n[3]);
    });
    EXPECT_EQ(rows, (std::vector<std::string>{std::to_string(Name(1).size()) + " |100", "1000 |010",
                                              std::to_string(2 * Name(3).size()) + " |002"}));
}

TEST_F(Reading, AFileExtendedBeforeItIsReadIsReadToItsNewEnd) {
    const std::string text = BigText();
    const std::string path = Write("grows.txt", text);
    SetBeforeReadingForTests([](const std::string& changed) {
        std::ofstream(changed, std::ios::binary | std::ios::app) << std::string(3 << 20, 'y') << "end";
    });
    const std::string grown = text + std::string(3 << 20, 'y') + "end";
    TextFile file;
    std::string reason;
    ASSERT_EQ(file.Open(path, reason), ReadStatus::Ok) << reason;
    EXPECT_EQ(file.bytes().size(), grown.size());
    EXPECT_TRUE(file.bytes() == grown);
    std::string whole;  // the keyword file's and the list's way, grown once more
    ASSERT_EQ(ReadWholeFile(path, whole, reason), ReadStatus::Ok) << reason;
    EXPECT_EQ(whole.size(), grown.size() + (3 << 20) + 3);
}

#ifdef __linux__
// A /proc file says its size is 0 and gives about a page per read.
TEST_F(Reading, AProcFileIsReadToItsEnd) {
    std::ifstream in("/proc/crypto", std::ios::binary);
    std::ostringstream whole;
    whole << in.rdbuf();
    ASSERT_GT(whole.str().size(), 8192u) << "a /proc file of several pages is needed";
    TextFile file;
    std::string reason;
    ASSERT_EQ(file.Open("/proc/crypto", reason), ReadStatus::Ok) << reason;
    EXPECT_EQ(file.bytes().size(), whole.str().size());
    EXPECT_TRUE(file.bytes() == whole.str());
}
#endif

// Post by post, in both builds (a 32-bit size once refused every text): a
// post naming two members keeps the start of its body for the report, one
// naming a single member keeps none.
TEST_F(Reading, APostNamingTwoMembersKeepsAnExcerptWhenAsked) {
    Keywords table;
    LoadDefaultKeywords(table);
    const std::string dat = "a<><>2024/06/01 10:00:00 ID:x<> " + Name(0) + " <>T<>\n" +
                            "a<><>2024/06/01 10:01:00 ID:y<> " + Name(1) + "\x81\x41" + Name(2) + " <>\n";
    PipelineSettings settings;
    settings.table = &table;
    settings.manualWords = InitialManualWords();
    settings.jobs = 1;
    settings.posts = true;
    settings.excerpts = true;
    const auto excerpts = [](const TextJob& text, const RunTotals&) {
        std::string row = text.failure;
        for (const PostCount& post : text.posts) row += "[" + post.excerpt + "]";
        return row;
    };
    const std::vector<std::string> rows = RowsOf(settings, {{Write("t.dat", dat), {}}}, excerpts);
    EXPECT_EQ(rows, std::vector<std::string>{"[][" + Name(1) + "\x81\x41" + Name(2) + "]"});
}

TEST(WildcardMatches, StarsQuestionMarksAndCaseAsWindowsHasThem) {
    EXPECT_TRUE(WildcardMatches("*.txt", "Notes.TXT"));
    EXPECT_TRUE(WildcardMatches("a*b*c", "aXXbYYc"));
    EXPECT_TRUE(WildcardMatches("?.txt", "あ.txt"));
    EXPECT_FALSE(WildcardMatches("?.txt", "ab.txt"));
    EXPECT_FALSE(WildcardMatches("*.txt", "a.txt.bak"));
}

TEST(RunInOrder, DeliversInInputOrderWhateverTheTimingWithBoundedWorkInFlight) {
    for (int jobs : {1, 2, 5}) {
        std::vector<std::size_t> delivered;
        std::atomic<std::size_t> started{0};
        std::size_t mostAhead = 0;
        std::vector<std::atomic<bool>> busy(static_cast<std::size_t>(jobs));  // per worker
        RunInOrder<std::size_t>(
            300, jobs,
            [&](std::size_t i, std::size_t worker) {
                ++started;
                // A worker's own state is never used by two threads at once.
                EXPECT_FALSE(busy.at(worker).exchange(true)) << "worker " << worker;
                struct Free {
                    std::atomic<bool>& flag;
                    ~Free() { flag = false; }
                } free{busy.at(worker)};
                // The first item very slow, every seventh slow: later ones finish first.
                if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(i ? 3 : 40));
                return i * i;
            },
            [&](std::size_t i, std::size_t& r) {
                EXPECT_EQ(r, i * i);
                delivered.push_back(i);
                mostAhead = std::max(mostAhead, started.load() - delivered.size());
                return true;
            });
        ASSERT_EQ(delivered.size(), 300u);
        for (std::size_t i = 0; i < delivered.size(); ++i) ASSERT_EQ(delivered[i], i);
        EXPECT_LE(mostAhead, 10u * jobs) << jobs;
    }
}

TEST(RunInOrder, StopsWhenDeliveryRefusesAndRethrowsAFailureInItsTurn) {
    std::atomic<int> started{0};
    int delivered = 0;
    RunInOrder<int>(1000, 2, [&](std::size_t i, std::size_t) { return ++started, static_cast<int>(i); },
                    [&](std::size_t i, int&) { return ++delivered, i < 4; });
    EXPECT_EQ(delivered, 5);
    EXPECT_LT(started.load(), 100);

    std::vector<std::size_t> before;
    EXPECT_THROW(RunInOrder<int>(
                     50, 3,
                     [](std::size_t i, std::size_t) -> int {
                         if (i == 20) throw std::runtime_error("item 20");
                         return 0;
                     },
                     [&](std::size_t i, int&) { return before.push_back(i), true; }),
                 std::runtime_error);
    EXPECT_EQ(before.size(), 20u);
}

// Many small texts, code page 932 and UTF-8 mixed, on two workers that each
// keep their read and decoding buffers from text to text: every text counts
// as it does on one worker (the 32-bit Windows build once corrupted its heap
// here, with those buffers in thread-local storage).
TEST(RunPipeline, TwoWorkersCountEveryTextAsOneDoes) {
    const fs::path dir = fs::path(::testing::TempDir()) / "corpus_two_workers";
    fs::remove_all(dir);
    fs::create_directories(dir);
    Keywords table;
    LoadDefaultKeywords(table);
    std::vector<InputFile> inputs;
    for (int i = 0; i < 120; ++i) {
        std::string text;
        for (int r = 0; r < 1 + i % 9 * 40; ++r) text += table[(i * 7 + r) % 21 * 7] + "\x82\xCC\x98\x62\r\n";  // "の話"
        const std::string path = (dir / ("t" + std::to_string(i) + ".txt")).string();
        std::ofstream(path, std::ios::binary) << (i % 3 ? text : Cp932ToUtf8(text));
        inputs.push_back({path, {}});
    }
    const auto run = [&](int jobs) {
        PipelineSettings settings;
        settings.table = &table;
        settings.manualWords = InitialManualWords();
        settings.jobs = jobs;
        return RowsOf(settings, inputs, [](const TextJob& text, const RunTotals& totals) {
            std::string row = std::string(EncodingName(text.encoding)) + " " + text.failure;
            for (std::int32_t n : totals.state.current) row += " " + std::to_string(n);
            return row;
        });
    };
    const std::vector<std::string> one = run(1);
    ASSERT_EQ(one.size(), inputs.size());
    EXPECT_EQ(one[0].substr(0, 6), "utf-8 ");
    EXPECT_EQ(one[1].substr(0, 6), "cp932 ");
    for (std::size_t i = 0; i < one.size(); ++i) {  // each line names one member once
        std::istringstream numbers(one[i].substr(6));
        std::int64_t sum = 0;
        for (std::int64_t n = 0; numbers >> n;) sum += n;
        EXPECT_EQ(sum, 1 + static_cast<std::int64_t>(i) % 9 * 40) << one[i];
    }
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_EQ(run(2), one);
    fs::remove_all(dir);
}

// The totals after a text: member 0 leads with 5 (15 in total), member 20
// has 1 (2), the manual words `manual` (three times as many in total).
RunTotals TotalsWith(std::int32_t first, std::int32_t manual) {
    RunTotals t(Keywords{}, ManualWordList{});
    t.state.current[0] = first;
    t.state.total[0] = first + 10;
    t.state.current[20] = 1;
    t.state.total[20] = 2;
    t.state.manualCurrent = manual;
    t.state.manualTotal = manual * 3;
    t.top = 0;
    return t;
}

const RunTotals kNone(Keywords{}, ManualWordList{});

TEST(RowWriters, AJsonLineReadsBackAsTheRecordWithRunningTotals) {
    const std::string line =
        JsonlRecord({.path = "dir/\"q\"\x01.txt", .encoding = Encoding::EucJp, .bytes = 1234}, TotalsWith(5, 2));
    ASSERT_EQ(line.find('\n'), line.size() - 1);
    const auto v = testing::JsonReader::Read(line);
    ASSERT_TRUE(v);
    std::vector<std::string> keys;
    for (const auto& [k, _] : v->fields) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"file", "encoding", "bytes", "members", "manual", "top", "caption"}));
    EXPECT_EQ(v->Find("file")->text, "dir/\"q\"\x01.txt");
    EXPECT_EQ(v->Find("encoding")->text, "euc-jp");
    EXPECT_EQ(v->Find("bytes")->number, 1234);
    const auto& members = v->Find("members")->items;
    ASSERT_EQ(members.size(), 21u);
    EXPECT_EQ(members[0].Find("name")->text, Cp932ToUtf8(DisplayName(0)));
    EXPECT_EQ(members[0].Find("current")->number, 5);
    EXPECT_EQ(members[0].Find("total")->number, 15);
    EXPECT_EQ(members[20].Find("total")->number, 2);
    EXPECT_EQ(v->Find("manual")->Find("current")->number, 2);
    EXPECT_EQ(v->Find("manual")->Find("total")->number, 6);
    EXPECT_EQ(v->Find("top")->number, 0);
    EXPECT_EQ(v->Find("caption")->text, Cp932ToUtf8(TopMessages[0]));

    const auto failed = testing::JsonReader::Read(JsonlRecord({.path = "x\xFF", .failure = "cannot open: gone"}, kNone));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->Find("file")->text, "x\xEF\xBF\xBD");
    EXPECT_EQ(failed->Find("encoding")->kind, testing::JsonValue::Kind::Null);
    EXPECT_EQ(failed->Find("bytes")->kind, testing::JsonValue::Kind::Null);
    EXPECT_EQ(failed->Find("error")->text, "cannot open: gone");

    // A text read as UTF-8 with ill-formed sequences says how many after "bytes"; the CSV row stays as it is.
    const TextJob utf8{.path = "t.txt", .encoding = Encoding::Utf8, .bytes = 19857};
    const TextJob repairedUtf8{.path = "t.txt", .encoding = Encoding::Utf8, .bytes = 19857, .illFormed = 2};
    const auto repaired = testing::JsonReader::Read(JsonlRecord(repairedUtf8, kNone));
    ASSERT_TRUE(repaired);
    EXPECT_EQ(repaired->fields[3].first, "encoding_errors");
    EXPECT_EQ(repaired->Find("encoding_errors")->number, 2);
    EXPECT_EQ(CsvRow(repairedUtf8, kNone), CsvRow(utf8, kNone));
}

TEST(RowWriters, CsvHasAMarkAHeaderOfDisplayNamesAndQuotedFieldsWithCrLf) {
    const std::string header = CsvHeader();
    EXPECT_EQ(header.rfind("\xEF\xBB\xBF" "file,encoding,bytes," + Cp932ToUtf8(DisplayName(0)) + ",", 0), 0u);
    const std::string tail = "," + Cp932ToUtf8(DisplayName(20)) + ",manual,top,error\r\n";
    EXPECT_EQ(header.substr(header.size() - tail.size()), tail);
    EXPECT_EQ(CsvRow({.path = "a,\"b\".txt", .encoding = Encoding::Utf8, .bytes = 7}, TotalsWith(5, 2)),
              "\"a,\"\"b\"\".txt\",utf-8,7,5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,2," +
                  Cp932ToUtf8(DisplayName(0)) + ",\r\n");
    EXPECT_EQ(CsvRow({.path = "gone \"x\".txt", .failure = "cannot open: no such file"}, kNone),
              "\"gone \"\"x\"\".txt\",,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,,cannot open: no such file\r\n");
}

TEST(RowWriters, CsvTextCellsThatASpreadsheetWouldRunGetAnApostrophe) {
    const auto fileCell = [](const std::string& file) {
        const std::string row = CsvRow({.path = file, .encoding = Encoding::Utf8, .bytes = 1}, kNone);
        return row.substr(0, row.find(",utf-8,"));
    };
    EXPECT_EQ(fileCell("=1+1.txt"), "'=1+1.txt");
    EXPECT_EQ(fileCell("+a"), "'+a");
    EXPECT_EQ(fileCell("-"), "'-");
    EXPECT_EQ(fileCell("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(fileCell("\tx"), "'\tx");
    EXPECT_EQ(fileCell("\rx"), "\"'\rx\"");  // still quoted for its CR
    EXPECT_EQ(fileCell("=a,b"), "\"'=a,b\"");
    EXPECT_EQ(fileCell("a=1"), "a=1");  // only the first character counts
    const std::string failed = CsvRow({.path = "t", .failure = "-x"}, kNone);
    EXPECT_EQ(failed.substr(failed.size() - 6), ",'-x\r\n");
}

// The report's texts wait in memory up to the limit, then in a temporary
// file, and come back whole and in order either way.
TEST(SpillBuffer, HoldsUpToItsLimitThenSpillsAndReadsEverythingBack) {
    const auto readBack = [](SpillBuffer& b) {
        std::string all;
        EXPECT_TRUE(b.ReadBack([&all](std::string_view piece) {
            all += piece;
            return true;
        }));
        return all;
    };
    SpillBuffer small(10);
    ASSERT_TRUE(small.Write("0123456789"));
    EXPECT_FALSE(small.spilled());
    EXPECT_EQ(readBack(small), "0123456789");

    SpillBuffer big(10);
    std::string written;
    for (int i = 0; i < 300'000; ++i) {  // over a read-back piece of a megabyte
        const std::string piece = std::to_string(i) + ",";
        ASSERT_TRUE(big.Write(piece));
        written += piece;
        ASSERT_LE(big.held(), 10u);
    }
    EXPECT_TRUE(big.spilled());
    EXPECT_EQ(readBack(big), written);
    EXPECT_FALSE(big.ReadBack([](std::string_view) { return false; }));  // a failed write stops it
}

TEST(Progress, TheLineSaysTextsMegabytesRateAndTimeLeft) {
    EXPECT_EQ(ProgressLine(250, 1000, 12'500'000, 5.0), "250/1000 texts, 12.5 MB, 2.5 MB/s, 0:15 left");
    EXPECT_EQ(ProgressLine(3, 0, 0, 0), "3 texts, 0.0 MB");
}

TEST(Progress, DrawnOnlyAfterHalfASecondRedrawnInPlaceAndClearedAtTheEnd) {
    using namespace std::chrono_literals;
    const auto t0 = ProgressMeter::Clock::time_point{} + 1h;
    std::string written;
    ProgressMeter meter(true, 4, [&](std::string_view s) { written += s; }, t0);
    meter.TextDone(1'000'000);
    meter.Tick(t0 + 400ms);
    EXPECT_EQ(written, "");
    meter.Tick(t0 + 1000ms);
    EXPECT_EQ(written, "\r1/4 texts, 1.0 MB, 1.0 MB/s, 0:03 left");
    meter.TextDone(10'000'000);
    meter.Tick(t0 + 1100ms);  // too soon to redraw
    meter.Tick(t0 + 2000ms);
    meter.Finish();
    EXPECT_EQ(written, "\r1/4 texts, 1.0 MB, 1.0 MB/s, 0:03 left\r2/4 texts, 11.0 MB, 5.5 MB/s, 0:02 left\r" +
                           std::string(39, ' ') + "\r");

    std::string none;
    ProgressMeter off(false, 4, [&](std::string_view s) { none += s; }, t0);
    off.Tick(t0 + 5s);
    off.Finish();
    EXPECT_EQ(none, "");
}

}  // namespace
}  // namespace quenbol::cli
