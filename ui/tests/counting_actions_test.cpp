// The four counting actions as the user sees them: what the count fields,
// the caption and the pane show afterwards, typed numbers taken over, a pull
// that stops at a count field holding no signed 32-bit number, and totals held
// at the largest count.
#include <gtest/gtest.h>

#include <functional>

#include "core/top_member.h"
#include "testing/clipboard_contents.h"
#include "testing/cp932_text.h"
#include "testing/message_box_catcher.h"
#include "testing/reference_counter.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

// Member 0 five times (three full names, then the family name twice alone),
// member 9 four times, member 3 once; the manual words three times.
const std::string kText = Cp932(
    "椎葉澄香と椎葉澄香、椎葉。\r\n椎葉澄香！椎葉\r\n鞍馬透子と透子と透子\r\n"
    "高篠七緒 高篠七緒 七緒 ナオピー\r\nみのり\r\n");

std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// The counts a search over `text` must give, from the reference counter.
reference::SearchResult Expected(const std::string& text) {
    Keywords defaults;
    LoadDefaultKeywords(defaults);
    return reference::SearchAll(text, defaults, InitialManualWords());
}

TEST(CountingActions, SearchAllShowsCountsAndTotalsAndLeavesThePaneUntouched) {
    MainWindow w;
    const reference::SearchResult expected = Expected(kText);
    ASSERT_EQ(expected.members[0], 5);
    ASSERT_EQ(expected.members[9], 4);
    ASSERT_EQ(expected.members[3], 1);
    ASSERT_EQ(expected.manual, 3);
    ASSERT_TRUE(w.Run([&] {
        w.SetBytes(IDC_TEXT, kText);
        const std::wstring shown = w.Text(IDC_TEXT);
        SendMessageW(w.Item(IDC_TEXT), EM_SETSEL, 3, 7);
        w.Click(IDC_SEARCH_ALL);
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            EXPECT_EQ(w.Current(m), Number(expected.members[m])) << "member " << m;
            EXPECT_EQ(w.Total(m), Number(expected.members[m])) << "member " << m;
        }
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"3");
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"3");
        EXPECT_EQ(w.Caption(), ToWide(TopMessages[0]));
        EXPECT_EQ(w.Text(IDC_TEXT), shown);
        EXPECT_EQ(Selection(w.Item(IDC_TEXT)), (std::pair<DWORD, DWORD>{3, 7}));  // not set again

        w.Click(IDC_SEARCH_ALL);  // totals grow, current counts stay
        EXPECT_EQ(w.Current(0), L"5");
        EXPECT_EQ(w.Total(0), L"10");
        EXPECT_EQ(w.Total(9), L"8");
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"3");
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"6");

        w.Click(IDC_RESET_TOTALS);
        EXPECT_EQ(w.Current(0), L"5");
        EXPECT_EQ(w.Total(0), L"0");
        EXPECT_EQ(w.Total(9), L"0");
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"3");
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"0");
        EXPECT_EQ(w.Caption(), ToWide(TopMessages[0]));  // untouched
        EXPECT_EQ(w.Text(IDC_TEXT), shown);

        w.Click(IDC_CLEAR_TEXT);
        EXPECT_EQ(w.Text(IDC_TEXT), L"");
        EXPECT_EQ(w.Current(0), L"5");

        w.Click(IDC_SEARCH_ALL);  // an empty text: current counts 0, totals stay
        EXPECT_EQ(w.Current(0), L"0");
        EXPECT_EQ(w.Total(0), L"0");
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"0");
        EXPECT_EQ(w.Caption(), ToWide(DefaultCaption));
    }));
}

TEST(CountingActions, ManualOnlyCountsTheManualWordsAndNothingElse) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.SetBytes(IDC_TEXT, kText + Cp932("とーこりん"));
        w.SetText(IDC_MANUAL_WORD6, L"椎葉");  // a member's keyword counts in full for the manual group
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"9");  // 鞍馬透子, 透子 x2, とーこりん, 椎葉 x5
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"9");
        for (MemberIndex m = 0; m < kMemberCount; ++m) EXPECT_EQ(w.Current(m), L"0") << "member " << m;
        EXPECT_EQ(w.Caption(), ToWide(InitialCaption));
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"18");
    }));
}

TEST(CountingActions, TheCaptionNamesALeaderWithThreeOrMoreAndNoTie) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.SetText(IDC_TEXT, L"みのり みのり みのり");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Caption(), ToWide(TopMessages[3]));
        w.SetText(IDC_TEXT, L"みのり みのり みのり ナルナル ナルナル ナルナル");  // 3 : 3
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Caption(), ToWide(DefaultCaption));
        w.SetText(IDC_TEXT, L"みのり みのり みのり みのり ナルナル ナルナル ナルナル");  // 4 : 3
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Caption(), ToWide(TopMessages[3]));
        w.SetText(IDC_TEXT, L"みのり みのり");  // two is not enough
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Caption(), ToWide(DefaultCaption));
        // Many manual words never make a caption, and the manual search leaves it.
        w.SetText(IDC_TEXT, L"透子透子透子透子 ナルナル ナルナル ナルナル");
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Caption(), ToWide(DefaultCaption));
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Caption(), ToWide(TopMessages[5]));
    }));
}

TEST(CountingActions, NumbersTypedIntoCountFieldsAreTakenOverByTheNextAction) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.SetBytes(IDC_TEXT, kText);
        w.SetText(kMemberRows[0].total, L"100");
        w.SetText(IDC_MANUAL_TOTAL, L"40");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Total(0), L"105");
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"43");
        // A typed current count stands until the next search-all sets it.
        w.SetText(kMemberRows[4].current, L"7");
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Current(4), L"7");
        EXPECT_EQ(w.dlg.State().current[4], 7);
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(4), L"0");
    }));
}

TEST(CountingActions, AnEmptiedCountFieldWarnsOnceStopsThePullAndTheActionStillRuns) {
    MessageBoxCatcher boxes;
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.SetBytes(IDC_TEXT, kText);
        w.SetText(kMemberRows[3].current, L"");  // member 3: after manual words 1-3, before 4-7
        w.SetText(IDC_MANUAL_WORD4, L"椎葉");    // edited just before: not taken over
        w.SetText(IDC_MANUAL_WORD7, L"七緒");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(GetFocus(), w.Item(kMemberRows[3].current));
        // The search ran on the text that was read ...
        EXPECT_EQ(w.Current(0), L"5");
        EXPECT_EQ(w.Current(3), L"1");  // ... and the emptied field shows its value again
        EXPECT_EQ(w.Caption(), ToWide(TopMessages[0]));
        // ... with the manual words as they were before the edit.
        EXPECT_EQ(w.Bytes(IDC_MANUAL_WORD4), InitialManualWords()[3]);
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD7), L"");
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"3");
    }));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"整数を入力してください。");
    EXPECT_EQ(boxes.boxes[0].caption, L"ui_tests");
    EXPECT_TRUE(boxes.boxes[0].hasIcon);
}

// Each case empties one count field and types numbers into two others: the
// field exchanged before the emptied one is taken over, the one after is not.
TEST(CountingActions, ThePullStopsInTheExchangeOrderOfTheCountFields) {
    struct Case {
        int emptied;
        int before;  // exchanged before `emptied`: its typed 55 is taken over
        int after;   // exchanged after it: back to 0
    };
    const Case cases[] = {
        {kMemberRows[17].current, kMemberRows[18].current, kMemberRows[1].current},  // 18 before 17
        {kMemberRows[18].total, kMemberRows[17].total, kMemberRows[1].total},        // 17 before 18
        {kMemberRows[8].current, kMemberRows[7].current, kMemberRows[0].total},      // currents, then totals
        {IDC_MANUAL_CURRENT, IDC_MANUAL_WORD5, IDC_MANUAL_WORD6},
        {kMemberRows[20].total, IDC_MANUAL_WORD7, kMemberRows[20].current},          // member 20: total first
        {kMemberRows[0].current, IDC_MANUAL_WORD3, kMemberRows[20].total},
    };
    for (const Case& c : cases) {
        MessageBoxCatcher boxes;
        MainWindow w;
        ASSERT_TRUE(w.Run([&] {
            w.SetText(c.emptied, L"");
            w.SetText(c.before, L"55");
            w.SetText(c.after, L"55");
            w.Click(IDC_CLEAR_TEXT);
            EXPECT_EQ(GetFocus(), w.Item(c.emptied));
            EXPECT_EQ(w.Text(c.before), L"55") << "field " << c.before;
            const bool afterIsWord = c.after >= IDC_MANUAL_WORD4 && c.after <= IDC_MANUAL_WORD7;
            EXPECT_EQ(w.Text(c.after), afterIsWord ? L"" : L"0") << "field " << c.after;
            EXPECT_EQ(w.Text(c.emptied), L"0") << "field " << c.emptied;
            EXPECT_EQ(w.Text(IDC_TEXT), L"");  // the action ran
        }));
        EXPECT_EQ(boxes.boxes.size(), 1u) << "field " << c.emptied;
    }
}

// Letters (set or pasted: the digits-only style stops only typing) and
// numbers beyond the signed 32-bit range bring the integer warning; the
// action runs on, the field gets its value back and the pane stays as it was.
TEST(CountingActions, CountFieldsWithoutASigned32BitNumberAreWarnedAbout) {
    struct Case {
        const wchar_t* what;
        std::function<void(MainWindow&, HWND)> put;
    };
    const Case cases[] = {
        {L"letters set", [](MainWindow&, HWND field) { SetWindowTextW(field, L"12x4"); }},
        {L"letters pasted",
         [](MainWindow& w, HWND field) {
             PutClipboardMarker(w.Hwnd());
             SendMessageW(field, EM_SETSEL, 0, -1);
             SendMessageW(field, WM_PASTE, 0, 0);
         }},
        {L"99999999999", [](MainWindow&, HWND field) { SetWindowTextW(field, L"99999999999"); }},
        {L"2147483648", [](MainWindow&, HWND field) { SetWindowTextW(field, L"2147483648"); }},
        {L"-2147483649", [](MainWindow&, HWND field) { SetWindowTextW(field, L"-2147483649"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToCp932(c.what));
        MessageBoxCatcher boxes;
        MainWindow w;
        ASSERT_TRUE(w.Run([&] {
            w.SetBytes(IDC_TEXT, kText);
            const std::wstring pane = w.Text(IDC_TEXT);
            HWND field = w.Item(kMemberRows[12].total);
            c.put(w, field);
            EXPECT_NE(w.Text(kMemberRows[12].total), L"0");
            w.Click(IDC_SEARCH_ALL);
            EXPECT_EQ(GetFocus(), field);
            EXPECT_EQ(w.Text(kMemberRows[12].total), L"0");  // the push put the field's value back
            EXPECT_EQ(w.Current(0), L"5");                   // the search ran
            EXPECT_EQ(w.Text(IDC_TEXT), pane);
        }));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, L"整数を入力してください。");
    }
}

// The largest count is taken, and a total that would pass it stays there
// instead of wrapping to a negative number.
TEST(CountingActions, ALargestTotalIsTakenAndHeldThere) {
    MessageBoxCatcher boxes;
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.SetBytes(IDC_TEXT, kText);
        w.SetText(kMemberRows[0].total, L"2147483647");
        w.SetText(kMemberRows[9].total, L"2147483640");
        w.SetText(IDC_MANUAL_TOTAL, L"2147483646");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(0), L"5");
        EXPECT_EQ(w.Total(0), L"2147483647");
        EXPECT_EQ(w.Total(9), L"2147483644");  // 4 more
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"2147483647");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Total(9), L"2147483647");
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"2147483647");
        EXPECT_EQ(w.dlg.State().total[0], 2147483647);
    }));
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace quenbol::testing
