// CFileDialog: the system's save and open dialogs with our title, filter,
// initial name and default extension, owned by the active dialog.
#include <gtest/gtest.h>

#include "framework/file_dialog.h"
#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"
#include "testing/cp932_text.h"

using quenbol::testing::Cp932;
using quenbol::testing::ModalScript;

namespace {

// The file dialog, once it is the active window with `title` as its caption.
HWND ActiveWindowTitled(const std::wstring& title) {
    HWND active = GetActiveWindow();
    return active && quenbol::GetWindowTextWide(active) == title ? active : nullptr;
}

// Puts `name` into the file-name field (an edit, or the edit of a combo box).
void SetFileName(HWND dialog, const std::wstring& name) {
    for (int id : {0x047C /* cmb13 */, 0x0480 /* edt1 */}) {
        if (HWND field = GetDlgItem(dialog, id)) {
            SetWindowTextW(field, name.c_str());
            return;
        }
    }
    ADD_FAILURE() << "no file-name field";
}

std::wstring TempDir() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return dir;
}

TEST(FileDialog, SaveProposesTheNameAndAppendsTheDefaultExtension) {
    CExchangeDlg host;
    const std::wstring path = TempDir() + L"quenbol-file-dialog-test";
    DeleteFileW((path + L".ini").c_str());
    CFileDialog dialog(FALSE, "ini", "zavo-keyword-file", 0, Cp932("zavo設定ファイル|*.ini|"));
    dialog.SetTitle(Cp932("設定ファイルを保存"));
    INT_PTR result = 0;
    HWND box = nullptr, hostHwnd = nullptr;
    std::wstring proposed;
    ModalScript script;
    script.Then([&] {
              hostHwnd = host.m_hWnd;
              result = dialog.DoModal();
          })
        .WaitFor([&] { return (box = ActiveWindowTitled(L"設定ファイルを保存")) != nullptr; }, "the save dialog")
        .Then([&] {
            EXPECT_EQ(GetWindow(box, GW_OWNER), hostHwnd);
            wchar_t name[MAX_PATH] = {};
            for (int id : {0x047C, 0x0480}) {
                if (HWND field = GetDlgItem(box, id)) GetWindowTextW(field, name, MAX_PATH);
            }
            proposed = name;
            SetFileName(box, path);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        })
        .WaitFor([&] { return !IsWindow(box); }, "the save dialog to close")
        .Then([&] { host.EndDialog(IDOK); });
    ASSERT_TRUE(script.Run([&] { host.DoModal(); }, 60000));
    EXPECT_EQ(proposed, L"zavo-keyword-file");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetPathName(), path + L".ini");
    EXPECT_EQ(dialog.m_ofn.Flags & OFN_OVERWRITEPROMPT, 0u);
}

TEST(FileDialog, CancellingTheOpenDialogGivesIdCancel) {
    CExchangeDlg host;
    CFileDialog dialog(TRUE, "ini", {}, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES,
                       Cp932("zavo設定ファイル|*.ini|All Files(*.*)|*.*|"));
    dialog.SetTitle(Cp932("設定ファイルを開く"));
    // The filter reaches the system as pairs of NUL-terminated strings.
    const wchar_t* filter = dialog.m_ofn.lpstrFilter;
    ASSERT_NE(filter, nullptr);
    EXPECT_STREQ(filter, L"zavo設定ファイル");
    filter += wcslen(filter) + 1;
    EXPECT_STREQ(filter, L"*.ini");
    filter += wcslen(filter) + 1;
    EXPECT_STREQ(filter, L"All Files(*.*)");
    filter += wcslen(filter) + 1;
    EXPECT_STREQ(filter, L"*.*");
    filter += wcslen(filter) + 1;
    EXPECT_EQ(*filter, L'\0');
    INT_PTR result = 0;
    HWND box = nullptr;
    ModalScript script;
    script.Then([&] { result = dialog.DoModal(); })
        .WaitFor([&] { return (box = ActiveWindowTitled(L"設定ファイルを開く")) != nullptr; }, "the open dialog")
        .Then([&] { PostMessageW(box, WM_COMMAND, IDCANCEL, 0); })
        .WaitFor([&] { return !IsWindow(box); }, "the open dialog to close")
        .Then([&] { host.EndDialog(IDOK); });
    ASSERT_TRUE(script.Run([&] { host.DoModal(); }, 60000));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), L"");
}

}  // namespace
