// The settings dialog opened from the main window's button 1078: modal over
// the main window, which shows nothing new until the next search, and that
// search counts with the edited table.
#include <gtest/gtest.h>

#include "framework/testing/modal_script.h"
#include "tests/settings/settings_steps.h"
#include "ui/tests/main_window.h"

namespace quenbol {
namespace {

using testing::MainWindow;
using testing::ModalScript;

bool IsSettingsDialog(HWND dialog) { return dialog && GetDlgItem(dialog, IDC_MEMBER_LIST); }

TEST(SettingsFromMainWindow, TheNextSearchUsesTheEditedTable) {
    MainWindow w;
    const MemberIndex member = 5;
    HWND settings = nullptr;
    bool mainDisabled = false;
    ModalScript script;
    script.Then([&] {
        w.SetText(IDC_TEXT, L"ずんだ餅とずんだ餅");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(member), L"0");
        w.SetText(kMemberRows[member].current, L"7");  // typed, not yet pulled
        PostMessageW(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_KEYWORD_SETTINGS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(w.Item(IDC_KEYWORD_SETTINGS)));
    });
    script.WaitFor([&] { return IsSettingsDialog(settings = test::InnermostDialog()); }, "the settings dialog");
    script.Then([&] {
        mainDisabled = !IsWindowEnabled(w.Hwnd());
        EXPECT_EQ(GetWindow(settings, GW_OWNER), w.Hwnd());
        test::Pick(settings, IDC_MEMBER_LIST, member);
        test::TypeInto(settings, IDC_KEYWORD_SLOT0 + 6, L"ずんだ餅");
        test::PostClick(settings, IDOK);
    });
    script.WaitFor([&] { return test::InnermostDialog() == w.Hwnd(); }, "the main window again");
    script.Then([&] {
        EXPECT_EQ(w.Current(member), L"7");  // nothing refreshed
        EXPECT_EQ(w.Text(IDC_TEXT), L"ずんだ餅とずんだ餅");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(member), L"2");
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            if (m != member) {
                EXPECT_EQ(w.Current(m), L"0") << "member " << m;
            }
        }
        w.Close();
    });
    ASSERT_TRUE(w.Run(script));
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(KeywordTable[EntryIndex(member, 6)], ToCp932(L"ずんだ餅"));
    LoadDefaultKeywords();
}

}  // namespace
}  // namespace quenbol
