// Ctrl+Break (VK_CANCEL) closes neither the main window nor the settings
// dialog: the dialog manager would take it for Escape and cancel.
#include <gtest/gtest.h>

#include "settings/keyword_dlg.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

// Ctrl+Break on `target`, posted so that it passes through the modal loop.
void PressCtrlBreak(HWND target) {
    const UINT scan = MapVirtualKeyW(VK_CANCEL, 0 /* MAPVK_VK_TO_VSC */);
    PostMessageW(target, WM_KEYDOWN, VK_CANCEL, 1 | (scan << 16) | (1u << 24));
    PostMessageW(target, WM_KEYUP, VK_CANCEL, 1 | (scan << 16) | (1u << 24) | 0xC0000000);
}

TEST(CtrlBreak, DoesNotCloseTheMainWindow) {
    MainWindow w;
    ModalScript script;
    script.Then([&] {
        w.SetText(IDC_TEXT, L"本文");
        for (int id : {IDC_TEXT, IDC_MANUAL_WORD1, IDC_SEARCH_ALL}) PressCtrlBreak(w.Item(id));
        PressCtrlBreak(w.Hwnd());
    });
    script.Then([&] {
        EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
        EXPECT_EQ(w.Text(IDC_TEXT), L"本文");
    });
    ASSERT_TRUE(w.Run(script));  // which closes it by its close box
}

TEST(CtrlBreak, DoesNotCancelTheSettingsDialog) {
    CKeywordDlg dlg;
    bool open = false;
    INT_PTR result = 0;
    ModalScript script;
    script.Then([&] {
        for (int id : {IDC_KEYWORD_SLOT0, IDC_MEMBER_LIST, IDOK}) PressCtrlBreak(GetDlgItem(dlg.m_hWnd, id));
    });
    script.Then([&] {
        open = dlg.m_hWnd && IsWindowVisible(dlg.m_hWnd);
        PostMessageW(dlg.m_hWnd, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(script.Run([&] { result = dlg.DoModal(); }));
    EXPECT_TRUE(open);
    EXPECT_EQ(result, IDOK);
}

}  // namespace
}  // namespace quenbol::testing
