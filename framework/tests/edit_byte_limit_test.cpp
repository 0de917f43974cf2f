// The byte limit of an edit: typing and pasting that would pass it are
// refused whole; within it they go through.
#include <gtest/gtest.h>

#include "framework/edit_filter.h"
#include "testing/clipboard_contents.h"
#include "testing/message_box_catcher.h"
#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"

using quenbol::testing::ModalScript;
using quenbol::testing::RunInsideDialog;
using quenbol::testing::PutClipboardText;
using quenbol::testing::WindowText;

namespace {

void CaretToEnd(HWND edit) { SendMessageW(edit, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF); }

TEST(EditByteLimit, TypingAndPastingStopAtTheLimitInBytes) {
    CExchangeDlg dlg;  // its pane holds at most 30 bytes
    const std::wstring full(15, L'あ');  // 30 bytes in 15 units
    ModalScript script;
    HWND pane = nullptr;
    script.Then([&] {
              pane = dlg.GetDlgItem(IDC_PANE);
              SetWindowTextW(pane, full.c_str());
              CaretToEnd(pane);
              PostMessageW(pane, WM_CHAR, L'a', 1);  // one byte more: refused
          })
        .Then([&] {
            EXPECT_EQ(WindowText(pane), full);
            SendMessageW(pane, EM_SETSEL, 14, 15);  // replace the last あ (2 bytes) ...
            PostMessageW(pane, WM_CHAR, L'b', 1);   // ... by one byte: fits
        })
        .Then([&] {
            EXPECT_EQ(WindowText(pane), std::wstring(14, L'あ') + L"b");
            PutClipboardText(dlg.m_hWnd, L"いい");  // 29 + 4 bytes: refused whole
            CaretToEnd(pane);
            SendMessageW(pane, WM_PASTE, 0, 0);
            EXPECT_EQ(WindowText(pane), std::wstring(14, L'あ') + L"b");
            // Shift+Insert pastes too.
            BYTE keys[256];
            GetKeyboardState(keys);
            const BYTE shift = keys[VK_SHIFT];
            keys[VK_SHIFT] = 0x80;
            SetKeyboardState(keys);
            SendMessageW(pane, WM_KEYDOWN, VK_INSERT, 1);
            keys[VK_SHIFT] = shift;
            SetKeyboardState(keys);
            EXPECT_EQ(WindowText(pane), std::wstring(14, L'あ') + L"b");
            PutClipboardText(dlg.m_hWnd, L"c");  // exactly 30 bytes: fits
            SendMessageW(pane, WM_PASTE, 0, 0);
            EXPECT_EQ(WindowText(pane), std::wstring(14, L'あ') + L"bc");
            // Enter in the multi-line pane would add CR LF: refused at the limit.
            PostMessageW(pane, WM_KEYDOWN, VK_RETURN, 1);
        })
        .Then([&] {
            EXPECT_EQ(WindowText(pane), std::wstring(14, L'あ') + L"bc");
            // Editing keys still work at the limit.
            PostMessageW(pane, WM_CHAR, VK_BACK, 1);
        })
        .Then([&] {
            EXPECT_EQ(WindowText(pane), std::wstring(14, L'あ') + L"b");
            dlg.EndDialog(IDCANCEL);
        });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

TEST(EditByteLimit, InsertionCountsBytesAndTheReplacedSelection) {
    CExchangeDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND pane = dlg.GetDlgItem(IDC_PANE);
        const auto paste = [&](std::size_t maxBytes, DWORD start, DWORD end, const wchar_t* text) {
            LimitEditBytes(pane, maxBytes);
            SetWindowTextW(pane, L"abcあ");  // 5 bytes
            SendMessageW(pane, EM_SETSEL, start, end);
            PutClipboardText(dlg.m_hWnd, text);
            SendMessageW(pane, WM_PASTE, 0, 0);
            return WindowText(pane);
        };
        EXPECT_EQ(paste(5, 0, 3, L"xyz"), L"xyzあ");
        EXPECT_EQ(paste(5, 0, 3, L"xyzw"), L"abcあ");
        EXPECT_EQ(paste(4, 0, 3, L"う"), L"うあ");
        EXPECT_EQ(paste(4, 0, 3, L"うa"), L"abcあ");
        // A character with no code page 932 form takes one byte (it becomes NUL).
        EXPECT_EQ(paste(6, 4, 4, L"\U0001F600"), L"abcあ\U0001F600");
    }));
}

}  // namespace
