// Saving and loading keyword files on a real disk under Wine: the bytes,
// refusals that leave the target alone, failures part-way that lose nothing.
#include <gtest/gtest.h>

#include "settings/keyword_format.h"
#include "settings/keyword_file_disk.h"
#include "settings/tests/faulty_files.h"
#include "settings/tests/test_files.h"
#include "testing/cp932_text.h"

namespace quenbol {
namespace {

using test::FaultyFiles;
using test::Numbered;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

// 147 entries of 1000 bytes: a file of several write chunks.
Keywords Large() {
    Keywords t;
    for (int n = 0; n < kKeywordEntries; ++n) t[n] = std::string(1000, static_cast<char>('a' + n % 26));
    return t;
}

std::string Header() { return std::string(KeywordFileHeader) + "\r\n"; }

// A fresh scratch folder for each test, and the real file system.
class KeywordFileOnDisk : public ::testing::Test {
protected:
    ScratchFolder dir;
    Win32FileSystem files;
};
using KeywordFileSave = KeywordFileOnDisk;
using KeywordFileLoad = KeywordFileOnDisk;

TEST_F(KeywordFileSave, WritesTheExactBytesAndLeavesNothingElse) {
    const std::wstring path = dir / L"empty.ini";
    ASSERT_EQ(WriteKeywordFile(path, Keywords{}, files), SaveResult::Saved);
    const auto bytes = ReadBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 354u);
    EXPECT_EQ(*bytes, FormatKeywordFile(Keywords{}));
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"empty.ini"});
}

TEST_F(KeywordFileSave, RoundTripKeepsEveryEntry) {
    Keywords t = Numbered();
    t[0] = "  leading and trailing  ";
    t[1] = "";
    t[2] = "\t";
    t[73] = testing::Cp932("ピポラ　全角スペース ");
    t[74] = "a\rlone CR\r";
    t[146] = std::string(300, 'x');
    const std::wstring path = dir / L"round.ini";
    ASSERT_EQ(WriteKeywordFile(path, t, files), SaveResult::Saved);
    Keywords back;
    back.fill("stale");
    ASSERT_EQ(ReadKeywordFile(path, back, files), LoadResult::Loaded);
    EXPECT_EQ(back, t);
}

TEST_F(KeywordFileSave, ReplacesAnExistingFileWithoutLeftovers) {
    const std::wstring path = dir / L"old.ini";
    ASSERT_TRUE(WriteBytes(path, std::string(100000, 'z')));
    ASSERT_EQ(WriteKeywordFile(path, Numbered(), files), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path), FormatKeywordFile(Numbered()));
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"old.ini"});
}

TEST_F(KeywordFileSave, RefusesAReadOnlyFileAndLeavesItUntouched) {
    FaultyFiles faulty;
    const std::wstring path = dir / L"locked.ini";
    ASSERT_TRUE(WriteBytes(path, "precious"));
    ASSERT_TRUE(test::SetReadOnly(path, true));
    EXPECT_EQ(WriteKeywordFile(path, Numbered(), faulty), SaveResult::CannotOpen);
    EXPECT_EQ(ReadBytes(path), "precious");
    EXPECT_TRUE(test::IsReadOnly(path));
    EXPECT_EQ(faulty.writes, 0);
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"locked.ini"});
}

TEST_F(KeywordFileSave, RefusesAFileHeldOpenByAnotherProgram) {
    const std::wstring path = dir / L"busy.ini";
    ASSERT_TRUE(WriteBytes(path, "in use"));
    HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteKeywordFile(path, Numbered(), files), SaveResult::CannotOpen);
    CloseHandle(other);
    EXPECT_EQ(ReadBytes(path), "in use");
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"busy.ini"});
}

TEST_F(KeywordFileSave, RefusesAMissingFolderOrAFolderAsTarget) {
    EXPECT_EQ(WriteKeywordFile(dir / L"no such folder\\k.ini", Numbered(), files),
              SaveResult::CannotOpen);
    ASSERT_TRUE(CreateDirectoryW((dir / L"sub.ini").c_str(), nullptr));
    EXPECT_EQ(WriteKeywordFile(dir / L"sub.ini", Numbered(), files), SaveResult::CannotOpen);
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"sub.ini"});
}

TEST_F(KeywordFileSave, AWriteFailingPartWayKeepsTheOldFile) {
    struct Case {
        const char* what;
        Keywords table;
        int failWrite;
        DWORD writeAtMost;
    };
    const Case cases[] = {
        {"second of several large chunks", Large(), 2, 0},
        {"fifth of many short writes", Numbered(), 5, 64},
        {"very first write", Numbered(), 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder fresh;
        const std::wstring path = fresh / L"keep.ini";
        const std::string old = FormatKeywordFile(Numbered()) + "tail";
        ASSERT_TRUE(WriteBytes(path, old));
        FaultyFiles faulty;
        faulty.failWrite = c.failWrite;
        faulty.writeAtMost = c.writeAtMost;
        EXPECT_EQ(WriteKeywordFile(path, c.table, faulty), SaveResult::WriteFailed);
        EXPECT_EQ(faulty.writes, c.failWrite);
        EXPECT_EQ(faulty.opens, faulty.closes);
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(fresh.Names(), std::vector<std::wstring>{L"keep.ini"});
    }
}

TEST_F(KeywordFileSave, ShortWritesStillWriteEverything) {
    FaultyFiles faulty;
    faulty.writeAtMost = 7;
    const std::wstring path = dir / L"short.ini";
    ASSERT_EQ(WriteKeywordFile(path, Numbered(), faulty), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path), FormatKeywordFile(Numbered()));
    EXPECT_GT(faulty.writes, 100);
}

TEST_F(KeywordFileSave, AFailedFlushOrMoveKeepsTheOldFileAndCreatesNoNewOne) {
    for (const bool flush : {true, false}) {
        SCOPED_TRACE(flush ? "flush" : "move");
        ScratchFolder fresh;
        FaultyFiles faulty;
        faulty.failFlush = flush;
        faulty.failMove = !flush;
        ASSERT_TRUE(WriteBytes(fresh / L"a.ini", "old"));
        EXPECT_EQ(WriteKeywordFile(fresh / L"a.ini", Numbered(), faulty),
                  flush ? SaveResult::WriteFailed : SaveResult::CannotOpen);
        EXPECT_EQ(WriteKeywordFile(fresh / L"b.ini", Numbered(), faulty),
                  flush ? SaveResult::WriteFailed : SaveResult::CannotOpen);
        EXPECT_EQ(ReadBytes(fresh / L"a.ini"), "old");
        EXPECT_EQ(fresh.Names(), std::vector<std::wstring>{L"a.ini"});
    }
}

TEST_F(KeywordFileSave, JapaneseFolderAndFileNames) {
    ScratchFolder japanese(L"設定フォルダ");
    const std::wstring path = japanese / L"キーワード一覧.ini";
    ASSERT_EQ(WriteKeywordFile(path, Numbered(), files), SaveResult::Saved);
    EXPECT_EQ(japanese.Names(), std::vector<std::wstring>{L"キーワード一覧.ini"});
    Keywords back;
    ASSERT_EQ(ReadKeywordFile(path, back, files), LoadResult::Loaded);
    EXPECT_EQ(back, Numbered());
}

TEST_F(KeywordFileLoad, RefusalsLeaveTheTableAsItWas) {
    ASSERT_TRUE(WriteBytes(dir / L"foreign.ini", "[section]\r\nkey=value\r\n"));
    ASSERT_TRUE(WriteBytes(dir / L"empty.ini", ""));
    ASSERT_TRUE(WriteBytes(dir / L"space.ini", std::string(KeywordFileHeader) + " \r\nx\r\n"));
    ASSERT_TRUE(WriteBytes(dir / L"crcr.ini", std::string(KeywordFileHeader) + "\r\r\nx\r\n"));
    FaultyFiles faulty;
    const Keywords before = Numbered();
    Keywords t = before;
    EXPECT_EQ(ReadKeywordFile(dir / L"missing.ini", t, faulty), LoadResult::CannotOpen);
    EXPECT_EQ(ReadKeywordFile(dir.Path(), t, faulty), LoadResult::CannotOpen);
    for (const wchar_t* name : {L"foreign.ini", L"empty.ini", L"space.ini", L"crcr.ini"}) {
        EXPECT_EQ(ReadKeywordFile(dir / name, t, faulty), LoadResult::NotKeywordFile);
    }
    EXPECT_EQ(t, before);
    EXPECT_EQ(faulty.opens, faulty.closes);
}

TEST_F(KeywordFileLoad, RefusesAFileHeldOpenByAnotherProgram) {
    const std::wstring path = dir / L"busy.ini";
    ASSERT_TRUE(WriteBytes(path, FormatKeywordFile(Keywords{})));
    HANDLE other = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    Keywords t = Numbered();
    EXPECT_EQ(ReadKeywordFile(path, t, files), LoadResult::CannotOpen);
    CloseHandle(other);
    EXPECT_EQ(t, Numbered());
}

TEST_F(KeywordFileLoad, AReadFailureLeavesTheTableAsItWas) {
    const std::wstring path = dir / L"large.ini";
    ASSERT_TRUE(WriteBytes(path, FormatKeywordFile(Large())));
    for (const int failing : {1, 2}) {
        SCOPED_TRACE(failing);
        FaultyFiles faulty;
        faulty.failRead = failing;
        Keywords t = Numbered();
        EXPECT_EQ(ReadKeywordFile(path, t, faulty), LoadResult::ReadFailed);
        EXPECT_EQ(t, Numbered());
        EXPECT_EQ(faulty.opens, faulty.closes);
    }
}

TEST_F(KeywordFileLoad, ReadsTheLinesItUsesAndNoMore) {
    // 200 keyword lines, then a megabyte that is never needed.
    std::string bytes = Header();
    for (int n = 0; n < 200; ++n) bytes += "w" + std::to_string(n) + "\n";
    bytes += std::string(1 << 20, 'q');
    const std::wstring path = dir / L"long.ini";
    ASSERT_TRUE(WriteBytes(path, bytes));
    FaultyFiles faulty;
    Keywords t;
    ASSERT_EQ(ReadKeywordFile(path, t, faulty), LoadResult::Loaded);
    EXPECT_EQ(t[0], "w0");
    EXPECT_EQ(t[146], "w146");
    EXPECT_EQ(faulty.reads, 1);
}

TEST_F(KeywordFileLoad, OddBytesLoadWithoutHarm) {
    // LF line ends, a 0x1A byte, a NUL inside a line, a last line with no end.
    std::string bytes = std::string(KeywordFileHeader) + "\nA\x1A" "B\nC";
    bytes += '\0';
    bytes += "hidden\n\nlast";
    const std::wstring path = dir / L"odd.ini";
    ASSERT_TRUE(WriteBytes(path, bytes));
    Keywords t = Numbered();
    ASSERT_EQ(ReadKeywordFile(path, t, files), LoadResult::Loaded);
    EXPECT_EQ(t[0], "A\x1A" "B");
    EXPECT_EQ(t[1], std::string("C\0hidden", 8));
    EXPECT_EQ(t[2], "");
    EXPECT_EQ(t[3], "last");
    for (int n = 4; n < kKeywordEntries; ++n) EXPECT_EQ(t[n], "") << n;
}

}  // namespace
}  // namespace quenbol
