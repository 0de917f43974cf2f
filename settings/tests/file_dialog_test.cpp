// What the keyword file operations hand to the system's file dialogs: the
// calls are caught on their way to the system and answered as a cancel, so
// the set-up is read exactly as the program passes it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "testing/import_hook.h"
#include "testing/message_box_catcher.h"
#include "settings/keyword_file_ops.h"

namespace quenbol {
namespace {

struct DialogCall {
    bool open;
    std::wstring title, file, extension;
    std::vector<std::wstring> filter;  // the NUL-separated list, item by item
    DWORD filterIndex, flags;
};

std::vector<DialogCall> g_calls;

std::wstring Text(const wchar_t* s) { return s ? s : L"<none>"; }

BOOL Record(bool open, OPENFILENAMEW* ofn) {
    DialogCall call{open, Text(ofn->lpstrTitle), Text(ofn->lpstrFile), Text(ofn->lpstrDefExt),
                    {}, ofn->nFilterIndex, ofn->Flags};
    for (const wchar_t* item = ofn->lpstrFilter; item && *item; item += wcslen(item) + 1) {
        call.filter.push_back(item);
    }
    g_calls.push_back(call);
    return FALSE;  // as if cancelled
}
BOOL WINAPI RecordOpen(OPENFILENAMEW* ofn) { return Record(true, ofn); }
BOOL WINAPI RecordSave(OPENFILENAMEW* ofn) { return Record(false, ofn); }

// OFN_EXPLORER (0x80000) is added by the framework for every dialog, as the
// usual framework does; the program's own flags are 0 and 0x201004.
constexpr DWORD kExplorer = 0x80000;

TEST(KeywordFileDialogs, SetUpAsThePromptsSay) {
    testing::ImportHook open("comdlg32.dll", "GetOpenFileNameW", reinterpret_cast<void*>(RecordOpen));
    testing::ImportHook save("comdlg32.dll", "GetSaveFileNameW", reinterpret_cast<void*>(RecordSave));
    testing::MessageBoxCatcher boxes;
    g_calls.clear();
    SaveKeywordFile();
    EXPECT_FALSE(LoadKeywordFile());
    ASSERT_EQ(g_calls.size(), 2u);

    const DialogCall& s = g_calls[0];
    EXPECT_FALSE(s.open);
    EXPECT_EQ(s.title, L"設定ファイルを保存");
    EXPECT_EQ(s.file, L"zavo-keyword-file");
    EXPECT_EQ(s.extension, L"ini");
    EXPECT_EQ(s.filter, (std::vector<std::wstring>{L"zavo設定ファイル", L"*.ini"}));
    EXPECT_EQ(s.filterIndex, 1u);
    EXPECT_EQ(s.flags, kExplorer);  // the program's own: 0, so no overwrite prompt

    const DialogCall& o = g_calls[1];
    EXPECT_TRUE(o.open);
    EXPECT_EQ(o.title, L"設定ファイルを開く");
    EXPECT_EQ(o.file, L"");
    EXPECT_EQ(o.extension, L"ini");
    EXPECT_EQ(o.filter, (std::vector<std::wstring>{L"zavo設定ファイル", L"*.ini", L"All Files(*.*)", L"*.*"}));
    EXPECT_EQ(o.filterIndex, 1u);
    EXPECT_EQ(o.flags, 0x201004u | kExplorer);  // hide read-only, file must exist, long names

    EXPECT_TRUE(boxes.boxes.empty()) << "a cancel is silent";
}

}  // namespace
}  // namespace quenbol
