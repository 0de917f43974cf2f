// The framework's services: text conversion, the combo box, the clipboard
// hand-over with its failure paths, and text files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/clipboard.h"
#include "framework/stdio_file.h"
#include "testing/faulty_clipboard.h"
#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"

using quenbol::testing::ClipboardTextBytes;
using quenbol::testing::FaultyClipboard;
using quenbol::testing::ModalScript;
using quenbol::testing::PutClipboardMarker;

namespace {

TEST(Text, ConvertsBetweenControlsAndCodePage932) {
    EXPECT_EQ(quenbol::ToCp932(L"ピポラ abc ｱ"), "ピポラ abc ｱ");
    EXPECT_EQ(quenbol::ToWide("〜ソ表"), L"\xFF5Eソ表");  // 81 60 is the full-width tilde in Microsoft's table
    EXPECT_EQ(quenbol::ToCp932(L"x\U0001F600y"), std::string("x\0y", 3));
    EXPECT_EQ(quenbol::ToWide(std::string("x\0y", 3)), L"x\xFFFDy");
    EXPECT_EQ(quenbol::ToCp932(L"x\xFFFDy"), std::string("x\0y", 3));
}

TEST(ComboBox, FillsSelectsAndReadsItsList) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        CComboBox& list = dlg.m_comboList;
        list.ResetContent();
        EXPECT_EQ(list.AddString("一番"), 0);
        EXPECT_EQ(list.AddString(L"二番"), 1);
        EXPECT_EQ(list.GetCount(), 2);
        EXPECT_EQ(list.GetCurSel(), CB_ERR);
        EXPECT_EQ(list.SetCurSel(1), 1);
        EXPECT_EQ(list.GetCurSel(), 1);
        EXPECT_EQ(list.GetLBText(0), "一番");
        list.ResetContent();
        EXPECT_EQ(list.GetCount(), 0);
        dlg.EndDialog(IDOK);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

TEST(Clipboard, PlacesTheTextAsCfText) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        FaultyClipboard::Reset(false, false, false);
        WindowsClipboard clipboard(dlg.m_hWnd, FaultyClipboard::Api());
        EXPECT_TRUE(clipboard.PlaceText("  1   0 漢字\n"));
        EXPECT_EQ(ClipboardTextBytes(dlg.m_hWnd), "  1   0 漢字\n");
        EXPECT_EQ(FaultyClipboard::allocated, 1);
        EXPECT_EQ(FaultyClipboard::handedOver, 1);
        EXPECT_EQ(FaultyClipboard::freed, 0);  // the clipboard owns it now
        EXPECT_EQ(FaultyClipboard::closed, 1);
        dlg.EndDialog(IDOK);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

TEST(Clipboard, FailuresPlaceNothingAndLeakNothing) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        struct Case {
            bool open, alloc, set;
            bool emptied;  // whether the clipboard was emptied before the failure
        };
        // Only a failing hand-over comes after the clipboard has been emptied.
        for (const Case& c : {Case{true, false, false, false}, Case{false, true, false, false},
                              Case{false, false, true, true}}) {
            PutClipboardMarker(dlg.m_hWnd);
            FaultyClipboard::Reset(c.open, c.alloc, c.set);
            WindowsClipboard clipboard(dlg.m_hWnd, FaultyClipboard::Api());
            EXPECT_FALSE(clipboard.PlaceText("text\n"));
            EXPECT_EQ(ClipboardTextBytes(dlg.m_hWnd), c.emptied ? "<none>" : "marker");
            EXPECT_EQ(FaultyClipboard::allocated, FaultyClipboard::freed);  // every block made was freed
            EXPECT_EQ(FaultyClipboard::handedOver, 0);
            EXPECT_EQ(FaultyClipboard::opened, FaultyClipboard::closed);  // closed whenever opened
        }
        dlg.EndDialog(IDOK);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TEST(StdioFile, WritesAndReadsLinesInTextMode) {
    const std::wstring path = TempPath(L"quenbol-stdio-test.txt");
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite));
        // Not shared while open.
        CStdioFile second;
        EXPECT_FALSE(second.Open(path, CStdioFile::modeRead));
        EXPECT_TRUE(file.WriteString("一行目\n"));
        EXPECT_TRUE(file.WriteString("\n"));
        EXPECT_TRUE(file.WriteString(" sp \rcr\n"));
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(FileBytes(path), "一行目\r\n\r\n sp \rcr\r\n");

    WriteBytes(path, "a\r\nb\nc\r\r\nlast");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path, CStdioFile::modeRead));
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadString(line)) lines.push_back(line);
    EXPECT_FALSE(file.ReadFailed());
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c\r", "last"}));
    file.Close();

    // A long file crosses the read buffer's chunks without losing a byte.
    std::string big;
    for (int i = 0; i < 20000; ++i) big += std::to_string(i) + "\r\n";
    WriteBytes(path, big);
    ASSERT_TRUE(file.Open(path, CStdioFile::modeRead));
    int expected = 0;
    bool allMatch = true;
    while (file.ReadString(line)) allMatch = allMatch && line == std::to_string(expected++);
    EXPECT_TRUE(allMatch);
    EXPECT_EQ(expected, 20000);
    file.Close();

    // Creating empties an existing file.
    ASSERT_TRUE(file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite));
    file.Close();
    EXPECT_EQ(FileBytes(path), "");
    DeleteFileW(path.c_str());
    EXPECT_FALSE(file.Open(path, CStdioFile::modeRead));
}

}  // namespace
