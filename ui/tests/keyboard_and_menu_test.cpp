// Keys through the main window's own loop (Enter, Escape, Space, Tab), its
// system menu with the About item, and the About box.
#include <gtest/gtest.h>

#include "testing/message_box_catcher.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

// A key pressed on the focused control: posted, so that it passes through
// the modal loop and PreTranslateMessage like a real key.
void PressKey(WPARAM key) {
    HWND focus = GetFocus();
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), 0 /* MAPVK_VK_TO_VSC */);
    PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
}

constexpr wchar_t kAboutCaption[] = L"quenbolのﾊﾞｰｼﾞｮﾝ情報";

TEST(Keyboard, EnterMakesALineBreakInThePaneOnlyAndEscapeDoesNothing) {
    MainWindow w;
    ModalScript script;
    script.Then([&] {
              w.SetText(IDC_TEXT, L"ab");
              SetFocus(w.Item(IDC_TEXT));
              SendMessageW(w.Item(IDC_TEXT), EM_SETSEL, 1, 1);
              PressKey(VK_RETURN);
          })
        .Then([&] {
            EXPECT_EQ(w.Text(IDC_TEXT), L"a\r\nb");
            PressKey(VK_ESCAPE);  // in the pane: would close a dialog
        })
        .Then([&] {
            EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
            EXPECT_EQ(w.Text(IDC_TEXT), L"a\r\nb");
            SetFocus(w.Item(IDC_MANUAL_WORD2));
            PressKey(VK_RETURN);
            PressKey(VK_ESCAPE);
        })
        .Then([&] {
            EXPECT_EQ(w.Bytes(IDC_MANUAL_WORD2), InitialManualWords()[1]);
            SetFocus(w.Item(kMemberRows[2].total));
            PressKey(VK_RETURN);
        })
        .Then([&] {
            EXPECT_EQ(w.Total(2), L"0");
            SetFocus(w.Item(IDC_SEARCH_ALL));
            PressKey(VK_RETURN);  // on a focused button: not pressed
            PressKey(VK_ESCAPE);
        })
        .Then([&] {
            EXPECT_EQ(w.Caption(), ToWide(InitialCaption));  // no search ran
            EXPECT_TRUE(IsWindowVisible(w.Hwnd()));
            w.SetText(IDC_TEXT, L"みのり みのり みのり");
            SetFocus(w.Item(IDC_SEARCH_ALL));
            PressKey(VK_SPACE);  // the Space bar still presses it
        })
        .Then([&] {
            EXPECT_EQ(w.Current(3), L"3");
            EXPECT_EQ(w.Caption(), ToWide(TopMessages[3]));
        });
    ASSERT_TRUE(w.Run(script));
}

TEST(Keyboard, TabFollowsTheTemplateOrder) {
    MainWindow w;
    ModalScript script;
    script.Then([&] {
              SetFocus(w.Item(IDC_KEYWORD_SETTINGS));
              PressKey(VK_TAB);
          })
        .Then([&] {
            EXPECT_EQ(GetFocus(), w.Item(IDC_MANUAL_WORD1));
            SetFocus(w.Item(IDC_TEXT));
            PressKey(VK_TAB);
        })
        .Then([&] {
            EXPECT_EQ(GetFocus(), w.Item(kMemberRows[20].current));
        });
    ASSERT_TRUE(w.Run(script));
}

TEST(SystemMenu, EndsWithASeparatorAndTheAboutItem) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        HMENU menu = GetSystemMenu(w.Hwnd(), FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 3);
        MENUITEMINFOW separator = {};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, count - 2, TRUE, &separator);
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        wchar_t text[128] = {};
        GetMenuStringW(menu, count - 1, text, 128, MF_BYPOSITION);
        EXPECT_STREQ(text, L"quenbol のﾊﾞｰｼﾞｮﾝ情報(&A)...");
        EXPECT_EQ(GetMenuItemID(menu, count - 1), 0x0010u);
        // The system's own items are still there, Close among them.
        EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    }));
}

// A wait condition: some window other than `main` is active; it is kept in `found`.
std::function<bool()> ActiveWindowOtherThan(HWND main, HWND& found) {
    return [main, &found] {
        HWND active = GetActiveWindow();
        if (!active || active == main) return false;
        found = active;
        return true;
    };
}

// Alt+Space opens the system menu and A picks the About item by its
// mnemonic, through the window's loop and the system's own menu loop.
TEST(SystemMenu, AltSpaceThenAOpensTheAboutBox) {
    MainWindow w;
    HWND about = nullptr;
    ModalScript script;
    script.Then([&] {
              // Wine adds an "About Wine" item with the same mnemonic to every
              // system menu; Windows has none. Take it out of the way.
              HMENU menu = GetSystemMenu(w.Hwnd(), FALSE);
              for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
                  wchar_t text[128] = {};
                  GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
                  const std::wstring item(text);
                  const bool mnemonicA = item.find(L"&A") != std::wstring::npos ||
                                         item.find(L"&a") != std::wstring::npos;
                  if (mnemonicA && GetMenuItemID(menu, i) != IDM_ABOUTBOX) DeleteMenu(menu, i, MF_BYPOSITION);
              }
              SetFocus(w.Item(IDC_MANUAL_WORD1));
              // Space with the Alt bit set, as the keyboard delivers it.
              const UINT space = MapVirtualKeyW(VK_SPACE, 0);
              const LPARAM alt = 1 << 29;
              PostMessageW(GetFocus(), WM_SYSKEYDOWN, VK_SPACE, 1 | space << 16 | alt);
              PostMessageW(GetFocus(), WM_SYSKEYUP, VK_SPACE, 1 | space << 16 | alt | 0xC0000000);
          })
        .WaitFor(
            [&] {
                HWND menu = FindWindowW(L"#32768", nullptr);
                return menu != nullptr && IsWindowVisible(menu);
            },
            "the system menu")
        .Then([&] {
            // The A reaches the menu loop that Alt+Space started.
            const UINT a = MapVirtualKeyW('A', 0);
            PostMessageW(GetFocus(), WM_KEYDOWN, 'A', 1 | a << 16);
            PostMessageW(GetFocus(), WM_KEYUP, 'A', 1 | a << 16 | 0xC0000000);
        })
        .WaitFor(ActiveWindowOtherThan(w.Hwnd(), about), "the About box")
        .Then([&] {
            EXPECT_EQ(GetWindowTextWide(about), kAboutCaption);
            EXPECT_EQ(GetWindow(about, GW_OWNER), w.Hwnd());
            SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        })
        .WaitFor([&] { return !IsWindow(about); }, "the About box to close");
    ASSERT_TRUE(w.Run(script));
}

// Opens the About box with `command`, checks it and closes it with `close`.
void OpenAndCloseAbout(WPARAM command, const std::function<void(HWND about)>& close) {
    MainWindow w;
    HWND about = nullptr;
    ModalScript script;
    script.Then([&] {
              w.SetText(IDC_MANUAL_WORD6, L"残る");
              SendMessageW(w.Hwnd(), WM_SYSCOMMAND, command, 0);  // returns when the box closes
          })
        .WaitFor(ActiveWindowOtherThan(w.Hwnd(), about), "the About box")
        .Then([&] {
            EXPECT_EQ(GetWindowTextWide(about), kAboutCaption);
            EXPECT_EQ(GetWindow(about, GW_OWNER), w.Hwnd());
            EXPECT_FALSE(IsWindowEnabled(w.Hwnd()));
            EXPECT_EQ(GetFocus(), GetDlgItem(about, IDOK));
            RECT box{}, main{};
            GetWindowRect(about, &box);
            GetWindowRect(w.Hwnd(), &main);
            EXPECT_NEAR((box.left + box.right) / 2, (main.left + main.right) / 2, 1);
            EXPECT_NEAR((box.top + box.bottom) / 2, (main.top + main.bottom) / 2, 1);
            // A plain dialog's system menu: no About item of its own.
            HMENU menu = GetSystemMenu(about, FALSE);
            ASSERT_NE(menu, nullptr);
            EXPECT_NE(GetMenuItemID(menu, GetMenuItemCount(menu) - 1), 0x0010u);
            close(about);
        })
        .WaitFor([&] { return !IsWindow(about); }, "the About box to close")
        .Then([&] {
            EXPECT_TRUE(IsWindowEnabled(w.Hwnd()));
            EXPECT_EQ(w.Text(IDC_MANUAL_WORD6), L"残る");
            EXPECT_EQ(w.Caption(), ToWide(InitialCaption));
        });
    ASSERT_TRUE(w.Run(script));
}

// Commands 0x10 to 0x1F open it; OK, Enter, Escape and its close box close it.
TEST(AboutBox, OpensOnItsCommandsAndClosesEveryWay) {
    OpenAndCloseAbout(0x0010, [](HWND about) { SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0); });
    OpenAndCloseAbout(0x001F, [](HWND) { PressKey(VK_RETURN); });
    OpenAndCloseAbout(0x0013, [](HWND) { PressKey(VK_ESCAPE); });
    OpenAndCloseAbout(0x0010, [](HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

TEST(AboutBox, OtherSystemCommandsKeepTheirDefaultHandling) {
    MainWindow w;
    INT_PTR result = 0;
    ModalScript script;
    script.Then([&] { SendMessageW(w.Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); })
        .WaitFor([&] { return IsIconic(w.Hwnd()) != FALSE; }, "the window to be minimised")
        .Then([&] { SendMessageW(w.Hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0); })
        .WaitFor([&] { return !IsIconic(w.Hwnd()); }, "the window to be restored")
        .Then([&] { SendMessageW(w.Hwnd(), WM_SYSCOMMAND, 0x0020, 0); })  // not ours: nothing opens
        .Then([&] {
            EXPECT_EQ(GetActiveWindow(), w.Hwnd());
            PostMessageW(w.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    ASSERT_TRUE(script.Run([&] { result = w.dlg.DoModal(); }));
    EXPECT_EQ(result, IDCANCEL);
}

}  // namespace
}  // namespace quenbol::testing
