// The byte limit's harder inputs: a clipboard another thread holds, a block
// without its NUL and Ctrl+Backspace's 0x7F at the limit.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "framework/clipboard_reader.h"
#include "framework/edit_filter.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"
#include "testing/busy_clipboard.h"
#include "testing/clipboard_contents.h"
#include "testing/message_box_catcher.h"
#include "testing/modal_script.h"

using quenbol::testing::BusyClipboard;
using quenbol::testing::RunInsideDialog;
using quenbol::testing::PutClipboardText;
using quenbol::testing::WindowText;

namespace {

TEST(ClipboardBlock, IsReadUpToItsNulAndNeverPastItsSize) {
    const wchar_t units[] = {L'a', L'b', L'c', L'd', L'\0', L'e'};
    EXPECT_EQ(ClipboardBlockText(units, 8), L"abcd");   // no NUL within the block
    EXPECT_EQ(ClipboardBlockText(units, 7), L"abc");    // half a unit at the end
    EXPECT_EQ(ClipboardBlockText(units, 12), L"abcd");  // the NUL ends it
    EXPECT_EQ(ClipboardBlockText(units, 0), L"");
}

TEST(EditByteLimit, PasteWaitsForABusyClipboardAndIsRefusedIfItStaysBusy) {
    CExchangeDlg dlg;  // its pane holds at most 30 bytes
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND pane = dlg.GetDlgItem(IDC_PANE);
        SetWindowTextW(pane, L"");
        PutClipboardText(dlg.m_hWnd, L"あいう");
        {
            BusyClipboard busy(100);  // released while the paste waits
            ASSERT_TRUE(busy.Holding());
            SendMessageW(pane, WM_PASTE, 0, 0);
        }
        EXPECT_EQ(WindowText(pane), L"あいう");
        PutClipboardText(dlg.m_hWnd, std::wstring(13, L'か'));  // 6 + 26 bytes: too long
        {
            BusyClipboard busy(100);
            SendMessageW(pane, WM_PASTE, 0, 0);
        }
        EXPECT_EQ(WindowText(pane), L"あいう");
        PutClipboardText(dlg.m_hWnd, L"x");
        {
            BusyClipboard busy(1500);  // longer than the paste waits: refused
            SendMessageW(pane, WM_PASTE, 0, 0);
            EXPECT_EQ(WindowText(pane), L"あいう");
        }
    }));
}

// Windows' classic edit inserts 0x7F for Ctrl+Backspace (Wine's ignores it):
// an edit that does so, below the limit.
LRESULT CALLBACK InsertsDelete(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CHAR && wParam == 0x7F) {
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\x7F"));
        return 0;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

TEST(EditByteLimit, CtrlBackspaceCharacterCountsLikeAnyOther) {
    CExchangeDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 100, 40,
                                    dlg.m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(SetWindowSubclass(edit, InsertsDelete, 1, 0));
        LimitEditBytes(edit, 5);
        SetWindowTextW(edit, L"あa");  // 3 bytes
        SendMessageW(edit, EM_SETSEL, 3, 3);
        SendMessageW(edit, WM_CHAR, 0x7F, 1);
        SendMessageW(edit, WM_CHAR, 0x7F, 1);  // 5 bytes: the limit
        EXPECT_EQ(WindowText(edit), L"あa\x7F\x7F");
        SendMessageW(edit, WM_CHAR, 0x7F, 1);  // one past: refused
        EXPECT_EQ(WindowText(edit), L"あa\x7F\x7F");
        DestroyWindow(edit);
    }));
}

// An edit whose own paste waits for a busy clipboard (Windows' may get it a
// moment after the check gave up): the check must not let the paste through.
LRESULT CALLBACK PastesPatiently(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message != WM_PASTE) return DefSubclassProc(edit, message, wParam, lParam);
    for (int attempt = 0; attempt < 300 && !OpenClipboard(edit); ++attempt) Sleep(10);
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

TEST(EditByteLimit, AClipboardTooBusyToCheckRefusesThePaste) {
    CExchangeDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 100, 40,
                                    dlg.m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(SetWindowSubclass(edit, PastesPatiently, 1, 0));
        LimitEditBytes(edit, 5);
        PutClipboardText(dlg.m_hWnd, L"あいう");  // 6 bytes
        {
            BusyClipboard busy(800);
            SendMessageW(edit, WM_PASTE, 0, 0);
        }
        EXPECT_EQ(WindowText(edit), L"");
        DestroyWindow(edit);
    }));
}

// Another program changes the clipboard at the edit's door, after the check:
// a single-line field still gets the text checked, and only its first line,
// as the edit's own paste would take (so a later line is not checked either).
LRESULT CALLBACK ChangesClipboardFirst(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_PASTE) PutClipboardText(GetParent(edit), L"\U0001F600");  // no code page 932 form
    return DefSubclassProc(edit, message, wParam, lParam);
}

TEST(EditRules, ASingleLinePasteInsertsTheFirstLineAsChecked) {
    CExchangeDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND edit = CreateWindowExW(0, L"EDIT", L"ab", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, dlg.m_hWnd,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(SetWindowSubclass(edit, ChangesClipboardFirst, 1, 0));
        RefuseTextWithoutCp932Form(edit);
        PutClipboardText(dlg.m_hWnd, L"名前\r\n\U0001F600");
        SendMessageW(edit, EM_SETSEL, 1, 1);
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(WindowText(edit), L"a名前b");
        SendMessageW(edit, WM_UNDO, 0, 0);
        EXPECT_EQ(WindowText(edit), L"ab");
        DestroyWindow(edit);
    }));
}

}  // namespace
