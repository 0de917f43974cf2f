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
#include "settings/keyword_file_commands.h"

namespace quenbol {
namespace {

struct DialogCall {
    bool open;
    std::wstring title, file, extension;
    std::vector<std::wstring> filter;  // the NUL-separated list, item by item
    DWORD filterIndex, flags;
};
std::vector<DialogCall> g_calls;

BOOL Record(bool open, OPENFILENAMEW* o) {
    auto text = [](const wchar_t* s) { return std::wstring(s ? s : L"<none>"); };
    g_calls.push_back({open, text(o->lpstrTitle), text(o->lpstrFile), text(o->lpstrDefExt), {}, o->nFilterIndex,
                       o->Flags});
    for (const wchar_t* f = o->lpstrFilter; f && *f; f += wcslen(f) + 1) g_calls.back().filter.push_back(f);
    return FALSE;  // as if cancelled
}
BOOL WINAPI RecordOpen(OPENFILENAMEW* o) { return Record(true, o); }
BOOL WINAPI RecordSave(OPENFILENAMEW* o) { return Record(false, o); }

TEST(KeywordFileDialogs, SetUpAsThePromptsSay) {
    testing::ImportHook open("comdlg32.dll", "GetOpenFileNameW", reinterpret_cast<void*>(RecordOpen));
    testing::ImportHook save("comdlg32.dll", "GetSaveFileNameW", reinterpret_cast<void*>(RecordSave));
    testing::MessageBoxCatcher boxes;
    SaveKeywordFile();
    EXPECT_FALSE(LoadKeywordFile());
    EXPECT_TRUE(boxes.boxes.empty()) << "a cancel is silent";
    ASSERT_EQ(g_calls.size(), 2u);
    // The framework adds OFN_EXPLORER (0x80000) to every dialog, as the usual
    // framework does; the program's own flags are 0 and 0x201004 (hide
    // read-only, file must exist, long names): no overwrite prompt on saving.
    const DialogCall& s = g_calls[0];
    EXPECT_FALSE(s.open);
    EXPECT_EQ(s.title, L"設定ファイルを保存");
    EXPECT_EQ(s.file, L"zavo-keyword-file");
    EXPECT_EQ(s.extension, L"ini");
    EXPECT_EQ(s.filter, (std::vector<std::wstring>{L"zavo設定ファイル", L"*.ini"}));
    EXPECT_EQ(s.filterIndex, 1u);
    EXPECT_EQ(s.flags, 0x80000u);
    const DialogCall& o = g_calls[1];
    EXPECT_TRUE(o.open);
    EXPECT_EQ(o.title, L"設定ファイルを開く");
    EXPECT_EQ(o.file, L"");
    EXPECT_EQ(o.extension, L"ini");
    EXPECT_EQ(o.filter, (std::vector<std::wstring>{L"zavo設定ファイル", L"*.ini", L"All Files(*.*)", L"*.*"}));
    EXPECT_EQ(o.filterIndex, 1u);
    EXPECT_EQ(o.flags, 0x201004u | 0x80000u);
}

}  // namespace
}  // namespace quenbol
