// The text pane's limit and exchange: the byte count the limit keeps between
// inputs, checked against a plain count of the whole text over a long run of
// random edits, and the exchange that skips an unchanged pane or takes a
// pasted text as it came in.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "framework/dialog.h"
#include "framework/text.h"
#include "res/resource.h"
#include "testing/clipboard_contents.h"
#include "testing/message_box_catcher.h"
#include "testing/modal_script.h"
#include "ui/text_pane.h"

using quenbol::testing::ModalScript;
using quenbol::testing::RunInsideDialog;
using quenbol::testing::PutClipboardText;
using quenbol::testing::WindowText;

namespace {

// The main window's template with only its text pane exchanged, under a
// small limit.
class CPaneDlg : public CDialog {
public:
    CPaneDlg() : CDialog(IDD_QUENBOL_DIALOG, nullptr) {}

    static constexpr int kPaneBytes = 30;
    std::string m_strPane;

    void DoDataExchange(CDataExchange& dx) override { DDX_TextPane(dx, IDC_TEXT, m_strPane, kPaneBytes); }
};

std::size_t Bytes(HWND edit) { return quenbol::ToCp932(WindowText(edit)).size(); }

// Puts `text` on the clipboard and pastes it over characters [start, end) of the pane.
void PasteOver(HWND pane, std::wstring_view text, int start, int end) {
    PutClipboardText(GetParent(pane), text);
    SendMessageW(pane, EM_SETSEL, start, end);
    SendMessageW(pane, WM_PASTE, 0, 0);
}

// Deletions the limit does not see as such (Backspace, Delete, cut, undo) are
// still counted: right after one, a character that now fits goes in.
TEST(TextPaneLimit, RoomMadeByAnyDeletionIsUsable) {
    CPaneDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND pane = dlg.GetDlgItem(IDC_TEXT);
        const std::wstring full(15, L'あ');  // 30 bytes
        auto typeAfter = [&](auto makeRoom) {
            SetWindowTextW(pane, full.c_str());
            SendMessageW(pane, EM_SETSEL, 15, 15);
            SendMessageW(pane, WM_CHAR, L'a', 1);  // refused: the count is known now
            makeRoom();
            SendMessageW(pane, WM_CHAR, L'い', 1);
            return WindowText(pane);
        };
        EXPECT_EQ(typeAfter([&] { SendMessageW(pane, WM_CHAR, VK_BACK, 1); }), std::wstring(14, L'あ') + L"い");
        EXPECT_EQ(typeAfter([&] {
                      SendMessageW(pane, EM_SETSEL, 0, 0);
                      SendMessageW(pane, WM_KEYDOWN, VK_DELETE, 1);
                  }),
                  L"い" + std::wstring(14, L'あ'));
        EXPECT_EQ(typeAfter([&] {
                      SendMessageW(pane, EM_SETSEL, 0, 1);
                      SendMessageW(pane, WM_CUT, 0, 0);
                  }),
                  L"い" + std::wstring(14, L'あ'));
    }));
}

// A paste over the whole text is counted alone, and the count it leaves is
// the one the next key is checked against.
TEST(TextPaneLimit, PasteOverTheWholeTextCountsOnlyThePaste) {
    CPaneDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND pane = dlg.GetDlgItem(IDC_TEXT);
        SetWindowTextW(pane, L"abcdefghij");
        auto pasteOverAll = [&](const std::wstring& text) {
            PasteOver(pane, text, 0, -1);
            return WindowText(pane);
        };
        EXPECT_EQ(pasteOverAll(std::wstring(16, L'あ')), L"abcdefghij");  // 32 bytes: refused whole
        const std::wstring full(15, L'あ');                                // 30 bytes: fits
        EXPECT_EQ(pasteOverAll(full), full);
        SendMessageW(pane, WM_CHAR, L'a', 1);  // the caret is after the paste; no room left
        EXPECT_EQ(WindowText(pane), full);
    }));
}

// A search right after a paste over the whole text takes the pasted bytes,
// leaves the pane alone (its undo still brings back the text pasted over),
// and a later pull gives the same bytes again.
TEST(TextPaneExchange, PullAfterAPasteOverTheWholeTextTakesItsBytes) {
    CPaneDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND pane = dlg.GetDlgItem(IDC_TEXT);
        SetWindowTextW(pane, L"abc");
        PasteOver(pane, L"名前\r\nｱ", 0, -1);
        const std::string pasted = "\x96\xBC\x91\x4F\r\n\xB1";
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_strPane, pasted);
        dlg.m_strPane = "x";
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_strPane, pasted);
        dlg.UpdateData(FALSE);
        SendMessageW(pane, WM_UNDO, 0, 0);
        EXPECT_EQ(WindowText(pane), L"abc");
    }));
}

// Another program may change the clipboard between the limit's check and the
// edit's own reading of it: a procedure under the limit does so at the edit's
// door. What goes in is the text checked, as the edit's own paste puts it
// (caret after it, undo, EN_CHANGE to the parent), never the other, which
// would pass the limit; by Ctrl+V and by Shift+Insert.
class CClipboardChangingPaneDlg : public CPaneDlg {
public:
    int changes = 0;
    void OnTextChanged() { ++changes; }
    MessageMap GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            CommandEntry(IDC_TEXT, EN_CHANGE, &CClipboardChangingPaneDlg::OnTextChanged)};
        return entries;
    }
    BOOL OnInitDialog() override {
        HWND pane = GetDlgItem(IDC_TEXT);
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChangeClipboardFirst)));
        return CPaneDlg::OnInitDialog();  // the limit goes in front of it
    }

private:
    static inline WNDPROC editProc_ = nullptr;
    static LRESULT CALLBACK ChangeClipboardFirst(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PASTE || (message == WM_KEYDOWN && wParam == VK_INSERT)) {
            PutClipboardText(GetParent(pane), std::wstring(20, L'ア'));  // 40 bytes
        }
        return CallWindowProcW(editProc_, pane, message, wParam, lParam);
    }
};

TEST(TextPaneLimit, APasteInsertsTheTextItCheckedEvenIfTheClipboardChangesMeanwhile) {
    CClipboardChangingPaneDlg dlg;
    ASSERT_TRUE(RunInsideDialog(dlg, [&] {
        HWND pane = dlg.GetDlgItem(IDC_TEXT);
        SetWindowTextW(pane, L"abc");
        dlg.changes = 0;
        PasteOver(pane, L"名前\r\nｱ", 1, 2);
        EXPECT_EQ(WindowText(pane), L"a名前\r\nｱc");
        DWORD start = 0, end = 0;
        SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 6u);
        EXPECT_EQ(end, 6u);
        EXPECT_EQ(dlg.changes, 1);
        SendMessageW(pane, WM_UNDO, 0, 0);
        EXPECT_EQ(WindowText(pane), L"abc");

        PutClipboardText(dlg.m_hWnd, L"い");
        SendMessageW(pane, EM_SETSEL, 3, 3);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(pane, WM_KEYDOWN, VK_INSERT, 1);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(WindowText(pane), L"abcい");
    }));
}

// Random typing, deleting, selecting, pasting, cutting, undoing and setting
// in the 30-byte pane. Before each input the plain count of the whole text
// says whether it fits; the pane must agree, never pass 30 bytes, and a pull
// must read what the pane shows (the exchange skips a pane whose version it
// has seen, so every change must change the version).
TEST(TextPaneLimit, KeptCountAgreesWithAPlainCountOverRandomEdits) {
    CPaneDlg dlg;
    ModalScript script;
    script.Then([&] {
        HWND pane = dlg.GetDlgItem(IDC_TEXT);
        std::mt19937 random(20261209);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        // Surrogates last: most texts hold none, so the kept count is used.
        const std::wstring pieces[] = {L"a", L"あ", L"\xFF71", L"\r\n", L"\x7F", L"漢字ab", L"\U0001F600", L"\xD83D"};
        int refused = 0, taken = 0;
        for (int step = 0; step < 1000 && !testing::Test::HasFailure(); ++step) {
            const std::wstring before = WindowText(pane);
            // Some steps look at the version and pull: looking settles what the
            // limit knows, so the others run several edits in a row unlooked.
            const bool look = step % 4 == 0;
            const std::uint64_t version = look ? TextPaneVersion(pane) : 0;
            DWORD start = 0, end = 0;
            SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            const int op = std::min(pick(14), 9);  // mostly setting: texts near the limit
            std::wstring insert;  // for the inputs the limit checks
            bool checked = false;
            if (op <= 2) {  // a typed character (a pair comes as two)
                insert = pieces[pick(7)];
                checked = true;
                if (insert == L"\r\n") {
                    SendMessageW(pane, WM_CHAR, L'\r', 1);
                } else if (insert.size() == 1) {
                    SendMessageW(pane, WM_CHAR, insert[0], 1);
                } else {
                    insert = insert.substr(0, 1);  // the high half: the low half comes next step
                    SendMessageW(pane, WM_CHAR, insert[0], 1);
                }
            } else if (op == 3) {
                insert = pieces[pick(8)] + pieces[pick(8)];
                PutClipboardText(dlg.m_hWnd, insert);
                if (pick(3) == 0) {  // over the whole text, which the pane then knows without reading
                    start = 0, end = static_cast<DWORD>(before.size());
                    SendMessageW(pane, EM_SETSEL, start, end);
                }
                checked = true;
                SendMessageW(pane, WM_PASTE, 0, 0);
            } else if (op == 4) {
                SendMessageW(pane, WM_CHAR, VK_BACK, 1);
            } else if (op == 5) {
                SendMessageW(pane, WM_KEYDOWN, VK_DELETE, 1);
            } else if (op == 6) {
                const int n = static_cast<int>(before.size()) + 1;
                SendMessageW(pane, EM_SETSEL, pick(n), pick(n));
            } else if (op == 7) {
                SendMessageW(pane, pick(2) ? WM_UNDO : WM_CUT, 0, 0);
            } else if (op == 8 && pick(4) == 0) {
                SendMessageW(pane, WM_CHAR, L'\xDE00', 1);  // a low half, joining or alone
                insert = L"\xDE00";
                checked = true;
            } else if (op >= 8) {
                // WM_SETTEXT is not limited: a text within it, often close to it.
                std::wstring text;
                const int kinds = pick(5) == 0 ? 8 : 6;
                for (int i = pick(20); i > 0; --i) {
                    const std::wstring more = text + pieces[pick(kinds)];
                    if (quenbol::ToCp932(more).size() <= CPaneDlg::kPaneBytes) text = more;
                }
                SetWindowTextW(pane, text.c_str());
                const int caret = pick(static_cast<int>(text.size()) + 1);
                SendMessageW(pane, EM_SETSEL, caret, caret);
            }
            const std::wstring after = WindowText(pane);
            if (checked && (op != 3 || !insert.empty())) {
                std::wstring wanted = before;
                const std::size_t s = std::min<std::size_t>(start, end), e = std::max<std::size_t>(start, end);
                wanted.replace(s, e - s, insert);
                const bool fits = quenbol::ToCp932(wanted).size() <= CPaneDlg::kPaneBytes &&
                                  wanted.size() <= CPaneDlg::kPaneBytes;
                if (fits) {
                    // Wine's edit ignores 0x7F; everything else goes in.
                    if (insert != L"\x7F") {
                        EXPECT_EQ(after, wanted) << "step " << step;
                    }
                    ++taken;
                } else {
                    EXPECT_EQ(after, before) << "step " << step << ": should have been refused";
                    ++refused;
                }
            }
            EXPECT_LE(Bytes(pane), static_cast<std::size_t>(CPaneDlg::kPaneBytes)) << "step " << step;
            if (look) {
                if (after != before) {
                    EXPECT_NE(TextPaneVersion(pane), version) << "step " << step;
                }
                dlg.UpdateData(TRUE);
                EXPECT_EQ(dlg.m_strPane, quenbol::ToCp932(after)) << "step " << step;
            }
        }
        EXPECT_GT(refused, 15);
        EXPECT_GT(taken, 20);
        dlg.EndDialog(IDCANCEL);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }, 120000));
}

}  // namespace
