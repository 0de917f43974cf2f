// How a save treats the file it writes, on a real disk under Wine: an
// existing target is replaced (ReplaceFileW, its attributes kept) and a new
// one moved into place; a folder that takes no new file gets the content in
// place; short temporary names; another program's brief hold waited out; no
// file left behind on any path; a save in pieces written as it goes; and
// nothing written that the file cannot hold.
#include <gtest/gtest.h>

#include <thread>

#include "settings/keyword_format.h"
#include "settings/keyword_file_disk.h"
#include "settings/tests/faulty_files.h"
#include "settings/tests/test_files.h"
#include "settings/whole_file.h"
#include "testing/cp932_text.h"

namespace quenbol {
namespace {

using test::FaultyFiles;
using test::Numbered;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;
using testing::Cp932;

using Names = std::vector<std::wstring>;

// Holds `path` open, shared with no one, from now for `ms` milliseconds, as a
// virus scanner or a sync tool does with a file just written.
class BriefHold {
public:
    BriefHold(const std::wstring& path, DWORD ms)
        : m_file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)),
          m_thread([this, ms] {
              Sleep(ms);
              CloseHandle(m_file);
          }) {}
    ~BriefHold() { m_thread.join(); }
    bool Holding() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
    std::thread m_thread;
};

TEST(SaveSafety, AnExistingTargetIsReplacedAndANewOneMovedIntoPlace) {
    ScratchFolder dir;
    FaultyFiles files;
    ASSERT_TRUE(WriteBytes(dir / L"old.ini", "old"));
    ASSERT_EQ(WriteKeywordFile(dir / L"old.ini", Numbered(), files), SaveResult::Saved);
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(files.moves, 0);
    ASSERT_EQ(WriteKeywordFile(dir / L"new.ini", Numbered(), files), SaveResult::Saved);
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(files.moves, 1);
    EXPECT_EQ(ReadBytes(dir / L"old.ini"), FormatKeywordFile(Numbered()));
    EXPECT_EQ(ReadBytes(dir / L"new.ini"), FormatKeywordFile(Numbered()));
    EXPECT_EQ(dir.Names(), (Names{L"new.ini", L"old.ini"}));  // no temporary or backup file left

    // A file system that cannot replace gets the move, the attributes kept.
    files.cannotReplace = true;
    ASSERT_TRUE(SetFileAttributesW((dir / L"old.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(WriteKeywordFile(dir / L"old.ini", Keywords{}, files), SaveResult::Saved);
    EXPECT_EQ(files.moves, 2);
    EXPECT_EQ(ReadBytes(dir / L"old.ini"), FormatKeywordFile(Keywords{}));
    EXPECT_TRUE(GetFileAttributesW((dir / L"old.ini").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(dir.Names(), (Names{L"new.ini", L"old.ini"}));
}

// The bytes a file holds, read from its folder entry: a file being written
// is open to its writer alone.
std::uint64_t SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return UINT64_MAX;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

TEST(SaveSafety, AWriterInPiecesWritesTheNewFileAsItGoesAndReplacesOnlyAtTheEnd) {
    ScratchFolder dir;
    FaultyFiles files;
    ASSERT_TRUE(WriteBytes(dir / L"report.html", "old"));
    {
        WholeFileWriter writer(files);
        ASSERT_TRUE(writer.Begin(dir / L"report.html"));
        ASSERT_TRUE(writer.Write("first piece, "));
        ASSERT_EQ(dir.Names().size(), 2u);
        const std::wstring beside = dir / (dir.Names()[0] == L"report.html" ? dir.Names()[1] : dir.Names()[0]);
        EXPECT_EQ(SizeOf(beside), 13u);  // on disk already, not held until the end
        ASSERT_TRUE(writer.Write("second"));
        EXPECT_EQ(SizeOf(beside), 19u);
        EXPECT_EQ(ReadBytes(dir / L"report.html"), "old");
        EXPECT_EQ(writer.Finish(), ReplaceResult::Replaced);
    }
    EXPECT_EQ(files.replaces, 1);
    EXPECT_EQ(ReadBytes(dir / L"report.html"), "first piece, second");
    EXPECT_EQ(dir.Names(), (Names{L"report.html"}));

    // Dropped before the end: the target as it was, nothing left beside it.
    {
        WholeFileWriter writer(files);
        ASSERT_TRUE(writer.Begin(dir / L"report.html"));
        ASSERT_TRUE(writer.Write("never finished"));
    }
    EXPECT_EQ(ReadBytes(dir / L"report.html"), "first piece, second");
    EXPECT_EQ(dir.Names(), (Names{L"report.html"}));
}

TEST(SaveSafety, AHiddenSystemFileStaysHiddenAndSystem) {
    ScratchFolder dir;
    Win32FileSystem files;
    const std::wstring path = dir / L"hidden.ini";
    ASSERT_TRUE(WriteBytes(path, "old"));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_EQ(WriteKeywordFile(path, Numbered(), files), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(path), FormatKeywordFile(Numbered()));
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

TEST(SaveSafety, AReplaceThatFailsPartWayPutsTheOldFileBack) {
    ScratchFolder dir;
    FaultyFiles files;
    files.replaceLeavesBackup = true;
    ASSERT_TRUE(WriteBytes(dir / L"keep.ini", "precious"));
    EXPECT_EQ(WriteKeywordFile(dir / L"keep.ini", Numbered(), files), SaveResult::CannotOpen);
    EXPECT_EQ(ReadBytes(dir / L"keep.ini"), "precious");
    EXPECT_EQ(dir.Names(), Names{L"keep.ini"});
}

TEST(SaveSafety, AFolderThatTakesNoNewFileGetsTheContentInPlace) {
    ScratchFolder dir;
    const std::wstring path = dir / L"inplace.ini";
    const std::string old = FormatKeywordFile(Numbered()) + std::string(5000, 'x');  // longer than the new content
    {
        FaultyFiles files;
        files.noNewFiles = true;
        ASSERT_TRUE(WriteBytes(path, old));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_EQ(WriteKeywordFile(path, Keywords{}, files), SaveResult::Saved);
        EXPECT_EQ(ReadBytes(path), FormatKeywordFile(Keywords{}));
        EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
        EXPECT_EQ(files.moves + files.replaces, 0);
        EXPECT_EQ(files.opens, files.closes);
        EXPECT_EQ(WriteKeywordFile(dir / L"new.ini", Keywords{}, files), SaveResult::CannotOpen);
        EXPECT_EQ(dir.Names(), Names{L"inplace.ini"});
    }
    // A write that fails part-way puts the old bytes back; when even that
    // fails, the user is told the file may be damaged.
    for (const bool restoreFails : {false, true}) {
        SCOPED_TRACE(restoreFails ? "the old bytes cannot be written back" : "the old bytes written back");
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(WriteBytes(path, old));
        FaultyFiles files;
        files.noNewFiles = true;
        files.writeAtMost = 100;
        (restoreFails ? files.failWritesFrom : files.failWrite) = 3;
        EXPECT_EQ(WriteKeywordFile(path, Numbered(), files),
                  restoreFails ? SaveResult::MayBeDamaged : SaveResult::WriteFailed);
        if (!restoreFails) {
            EXPECT_EQ(ReadBytes(path), old);
        }
        EXPECT_EQ(files.opens, files.closes);
    }
    EXPECT_EQ(MessageFor(SaveResult::MayBeDamaged),
              Cp932("ファイルの書き込み中にエラーが発生し、元の内容に戻せませんでした。ファイルが壊れているおそれがあります。"));
}

TEST(SaveSafety, ATargetWithANameNearTheLengthLimitIsSaved) {
    // 251 characters, within the 255 a name may have; the temporary and the
    // backup file beside it need names of their own within that limit too.
    ScratchFolder dir;
    Win32FileSystem files;
    const std::wstring name = std::wstring(247, L'n') + L".ini";
    ASSERT_EQ(WriteKeywordFile(dir / name, Numbered(), files), SaveResult::Saved);
    ASSERT_EQ(WriteKeywordFile(dir / name, Keywords{}, files), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(dir / name), FormatKeywordFile(Keywords{}));
    EXPECT_EQ(dir.Names(), Names{name});
}

TEST(SaveSafety, AFileHeldForAMomentIsWaitedForButAReadOnlyOneRefusedAtOnce) {
    ScratchFolder dir;
    const std::wstring path = dir / L"busy.ini";
    ASSERT_TRUE(WriteBytes(path, FormatKeywordFile(Keywords{})));
    {
        FaultyFiles files;
        BriefHold hold(path, 150);
        ASSERT_TRUE(hold.Holding());
        EXPECT_EQ(WriteKeywordFile(path, Numbered(), files), SaveResult::Saved);
        EXPECT_GT(files.pauses, 0);
    }
    {
        FaultyFiles files;
        BriefHold hold(path, 150);
        ASSERT_TRUE(hold.Holding());
        Keywords t;
        EXPECT_EQ(ReadKeywordFile(path, t, files), LoadResult::Loaded);
        EXPECT_EQ(t, Numbered());
        EXPECT_GT(files.pauses, 0);
    }
    FaultyFiles files;
    ASSERT_TRUE(test::SetReadOnly(path, true));
    EXPECT_EQ(WriteKeywordFile(path, Keywords{}, files), SaveResult::CannotOpen);
    EXPECT_EQ(files.pauses, 0);
    EXPECT_EQ(MessageFor(SaveResult::CannotOpen), Cp932("ファイルを書き込み用にオープンできませんでした。"));
    EXPECT_EQ(ReadBytes(path), FormatKeywordFile(Numbered()));
}

TEST(SaveSafety, RunningOutOfMemoryWhileWritingLeavesNoFileOpenAndNoneBehind) {
    ScratchFolder dir;
    FaultyFiles files;
    files.throwOnWrite = true;
    ASSERT_TRUE(WriteBytes(dir / L"old.ini", "old"));
    EXPECT_THROW(WriteKeywordFile(dir / L"old.ini", Numbered(), files), std::bad_alloc);
    EXPECT_THROW(WriteKeywordFile(dir / L"new.ini", Numbered(), files), std::bad_alloc);
    EXPECT_EQ(files.opens, files.closes);
    EXPECT_EQ(ReadBytes(dir / L"old.ini"), "old");
    EXPECT_EQ(dir.Names(), Names{L"old.ini"});
}

TEST(SaveSafety, AKeywordTheFileCannotHoldIsNeverWritten) {
    ScratchFolder dir;
    FaultyFiles files;
    ASSERT_TRUE(WriteBytes(dir / L"k.ini", "old"));
    for (const std::string& keyword : {Cp932("吉") + '\0', std::string("a\x1A"), std::string("a\nb")}) {
        Keywords t = Numbered();
        t[100] = keyword;
        EXPECT_EQ(WriteKeywordFile(dir / L"k.ini", t, files), SaveResult::UnwritableKeyword);
    }
    EXPECT_EQ(files.opens, 0);
    EXPECT_EQ(ReadBytes(dir / L"k.ini"), "old");
    EXPECT_EQ(MessageFor(SaveResult::UnwritableKeyword), Cp932("ファイルに書けない文字を含むキーワードがあるため、保存しませんでした。"));
}

}  // namespace
}  // namespace quenbol
