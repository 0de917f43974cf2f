// The settings dialog opened from the main window's button 1078: modal over
// the main window, which shows nothing new until the next search, and that
// search counts with the edited table, long and odd keywords included.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "testing/modal_script.h"
#include "settings/keyword_format.h"
#include "testing/reference_counter.h"
#include "settings/tests/settings_steps.h"
#include "settings/tests/test_files.h"
#include "ui/tests/main_window.h"

namespace quenbol {
namespace {

using testing::MainWindow;
using testing::ModalScript;
using testing::Number;

bool IsSettingsDialog(HWND dialog) { return dialog && GetDlgItem(dialog, IDC_MEMBER_LIST); }

// Adds the steps that open the settings dialog from the main window, run
// `inside` on it and close it with "戻る".
void AddSettingsVisit(ModalScript& script, MainWindow& w, std::function<void(HWND)> inside) {
    auto settings = std::make_shared<HWND>();
    script.Then([&w] {
        PostMessageW(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_KEYWORD_SETTINGS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(w.Item(IDC_KEYWORD_SETTINGS)));
    });
    script.WaitFor([settings] { return IsSettingsDialog(*settings = test::InnermostDialog()); }, "the settings dialog");
    script.Then([settings, inside] { inside(*settings); });
    script.Then([settings] { test::PostClick(*settings, IDOK); });
    script.WaitFor([&w] { return test::InnermostDialog() == w.Hwnd(); }, "the main window again");
}

// `member` shows `count` as its current count, every other member 0.
void ExpectOnlyCounted(const MainWindow& w, MemberIndex member, const wchar_t* count) {
    for (MemberIndex m = 0; m < kMemberCount; ++m) EXPECT_EQ(w.Current(m), m == member ? count : L"0") << m;
}

TEST(SettingsFromMainWindow, TheNextSearchUsesTheEditedTable) {
    MainWindow w;
    const MemberIndex member = 5;
    bool mainDisabled = false;
    ModalScript script;
    script.Then([&] {
        w.SetText(IDC_TEXT, L"ずんだ餅とずんだ餅");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(member), L"0");
        w.SetText(kMemberRows[member].current, L"7");  // typed, not yet pulled
    });
    AddSettingsVisit(script, w, [&](HWND settings) {
        mainDisabled = !IsWindowEnabled(w.Hwnd());
        EXPECT_EQ(GetWindow(settings, GW_OWNER), w.Hwnd());
        test::Pick(settings, IDC_MEMBER_LIST, member);
        test::TypeInto(settings, IDC_KEYWORD_SLOT0 + 6, L"ずんだ餅");
    });
    script.Then([&] {
        EXPECT_EQ(w.Current(member), L"7");  // nothing refreshed
        EXPECT_EQ(w.Text(IDC_TEXT), L"ずんだ餅とずんだ餅");
        w.Click(IDC_SEARCH_ALL);
        ExpectOnlyCounted(w, member, L"2");
    });
    ASSERT_TRUE(w.Run(script));
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(KeywordTable[EntryIndex(member, 6)], ToCp932(L"ずんだ餅"));
    LoadDefaultKeywords();
}

// A keyword of 10,000 characters typed in the settings, and a pane of
// characters without a code page 932 form (emoji, U+20BB7, the em dash)
// around it: the pane stays exactly as it was through the visits, and the
// keyword is stored whole and counted next to those characters.
TEST(SettingsFromMainWindow, ALongKeywordIsStoredAndCountedAndThePaneKeptExactly) {
    std::wstring keyword;
    for (int i = 0; i < 3333; ++i) keyword += L"ずんだ";
    keyword += L"餅";
    ASSERT_EQ(keyword.size(), 10000u);
    const std::wstring pane = L"\U0001F600" + keyword + L"\U00020BB7\u2014\r\n" + keyword + L"\U0001F431";
    const MemberIndex member = 5;
    MainWindow w;
    ModalScript script;
    script.Then([&] {
        w.SetText(IDC_TEXT, pane);
        w.Click(IDC_SEARCH_ALL);
    });
    AddSettingsVisit(script, w, [&](HWND settings) {
        test::Pick(settings, IDC_MEMBER_LIST, member);
        test::TypeInto(settings, IDC_KEYWORD_SLOT0 + 6, keyword);
    });
    script.Then([&] {
        EXPECT_EQ(w.Text(IDC_TEXT), pane);
        EXPECT_EQ(KeywordTable[EntryIndex(member, 6)], ToCp932(keyword));
        EXPECT_EQ(KeywordTable[EntryIndex(member, 6)].size(), 20000u);
        w.Click(IDC_SEARCH_ALL);
        ExpectOnlyCounted(w, member, L"2");
        EXPECT_EQ(w.Text(IDC_TEXT), pane);
    });
    AddSettingsVisit(script, w, [&](HWND settings) {  // shown and stored again unchanged
        test::Pick(settings, IDC_MEMBER_LIST, member);
        EXPECT_EQ(test::TextOf(settings, IDC_KEYWORD_SLOT0 + 6), keyword);
    });
    script.Then([&] {
        EXPECT_EQ(KeywordTable[EntryIndex(member, 6)], ToCp932(keyword));
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        w.Click(IDC_RESET_TOTALS);
        EXPECT_EQ(w.Text(IDC_TEXT), pane);
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(member), L"2");
    });
    ASSERT_TRUE(w.Run(script, 60000));
    LoadDefaultKeywords();
}

// A keyword file may hold any bytes: a keyword that is one lead byte, or an
// undefined pair, is loaded, survives the settings dialog being closed while
// it is on show, and counts exactly as the character walk says.
TEST(SettingsFromMainWindow, AKeywordOfOneLeadByteCountsByTheCharacterWalk) {
    Keywords file;
    LoadDefaultKeywords(file);
    file[EntryIndex(0, 5)] = "\x82";      // the lead byte of hiragana and full-width letters
    file[EntryIndex(0, 6)] = "\x85\x40";  // a pair with no character
    file[EntryIndex(3, 6)] = "\xA0";      // left behind by the lead byte's deletions
    test::ScratchFolder dir;
    ASSERT_TRUE(test::WriteBytes(dir / L"odd.ini", FormatKeywordFile(file)));
    test::ScriptedFilePrompt prompt({dir / L"odd.ini"});
    const std::wstring pane = L"椎葉澄香と、みのり。あ\U0001F600い ＡＢ ナルナル！鞍馬透子\r\n澄ちゃん 高篠七緒ナオピー";
    MainWindow w;
    ModalScript script;
    script.Then([&] { w.SetText(IDC_TEXT, pane); });
    AddSettingsVisit(script, w, [](HWND settings) { test::PostClick(settings, IDC_LOAD_KEYWORD_FILE); });
    script.Then([&] {
        EXPECT_EQ(KeywordTable, file);
        w.Click(IDC_SEARCH_ALL);
        const reference::SearchResult expected =
            reference::SearchAll(ToCp932(pane), file, InitialManualWords());
        EXPECT_GT(expected.members[0], 3);
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            EXPECT_EQ(w.Current(m), Number(expected.members[m])) << "member " << m;
        }
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), Number(expected.manual));
        EXPECT_EQ(w.Text(IDC_TEXT), pane);
    });
    ASSERT_TRUE(w.Run(script));
    EXPECT_EQ(prompt.asked.size(), 1u);
    LoadDefaultKeywords();
}

}  // namespace
}  // namespace quenbol
