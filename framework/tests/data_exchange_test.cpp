// Data exchange: the order, the stop at a failing field with its warning,
// numbers, and strings that keep the control's own text when unchanged.
#include <gtest/gtest.h>

#include <functional>

#include "framework/data_exchange.h"
#include "testing/cp932_text.h"
#include "testing/message_box_catcher.h"
#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"

using quenbol::testing::Cp932;
using quenbol::testing::MessageBoxCatcher;
using quenbol::testing::ModalScript;
using quenbol::testing::WindowText;

namespace {

std::wstring ItemText(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id)); }

// Runs the exchange dialog with `steps` in its loop, then ends it.
bool RunWith(CExchangeDlg& dlg, std::function<void()> steps) {
    ModalScript script;
    script.Then(std::move(steps)).Then([&] { dlg.EndDialog(IDCANCEL); });
    return script.Run([&] { dlg.DoModal(); });
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

TEST(ParseDecimalInt32, AcceptsSignedDecimalsWithinTheRangeOnly) {
    const std::pair<const wchar_t*, int> good[] = {
        {L"0", 0}, {L" 123 ", 123}, {L"-5", -5}, {L"+5", 5}, {L"007", 7},
        {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1}};
    for (const auto& [text, value] : good) EXPECT_EQ(ParseDecimalInt32(text), value) << quenbol::ToCp932(text);
    for (const wchar_t* bad : {L"", L" ", L"-", L"1 2", L"12a", L"a", L"1,000", L"１２", L"0x10", L"1.5",
                               L"2147483648", L"-2147483649", L"99999999999999999999"}) {
        EXPECT_EQ(ParseDecimalInt32(bad), std::nullopt) << "text: " << quenbol::ToCp932(bad);
    }
}

TEST(DataExchange, WritesFieldsAndReadsThemBack) {
    CExchangeDlg dlg;
    dlg.m_strName = Cp932("山田");
    dlg.m_nNumber1 = -2147483647 - 1;
    dlg.m_strPane = Cp932("一行目\r\n二行目");
    ASSERT_TRUE(RunWith(dlg, [&] {
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_NAME), L"山田");
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_NUMBER1), L"-2147483648");
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_NUMBER2), L"8");
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_PANE), L"一行目\r\n二行目");
        EXPECT_EQ(dlg.m_comboList.m_hWnd, dlg.GetDlgItem(IDC_LIST));
        SetDlgItemTextW(dlg.m_hWnd, IDC_WORD, L"ｶﾀｶﾅ");
        SetDlgItemTextW(dlg.m_hWnd, IDC_NUMBER2, L"2147483647");
        SendMessageW(dlg.GetDlgItem(IDC_PULL), BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(dlg.pullResults, std::vector<BOOL>{TRUE});
    EXPECT_EQ(dlg.m_strWord, Cp932("ｶﾀｶﾅ"));
    EXPECT_EQ(dlg.m_nNumber2, 2147483647);
}

// Controls are looked up once and kept: a control destroyed and made again
// under its identifier, or the next run's dialog, is found afresh.
TEST(DataExchange, ControlsAreFoundAgainWhenReplacedOrInTheNextRun) {
    CExchangeDlg dlg;
    HWND firstRun = nullptr;
    ASSERT_TRUE(RunWith(dlg, [&] {
        firstRun = dlg.GetDlgItem(IDC_NAME);
        EXPECT_EQ(firstRun, GetDlgItem(dlg.m_hWnd, IDC_NAME));
        EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
        DestroyWindow(firstRun);
        EXPECT_EQ(dlg.GetDlgItem(IDC_NAME), nullptr);
        HWND again = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, dlg.m_hWnd,
                                     reinterpret_cast<HMENU>(IDC_NAME), nullptr, nullptr);
        EXPECT_EQ(dlg.GetDlgItem(IDC_NAME), again);
        SetWindowTextW(again, L"again");
        SendMessageW(dlg.GetDlgItem(IDC_PULL), BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(dlg.m_strName, "again");
    ASSERT_TRUE(RunWith(dlg, [&] { EXPECT_EQ(dlg.GetDlgItem(IDC_NAME), GetDlgItem(dlg.m_hWnd, IDC_NAME)); }));
}

TEST(DataExchange, ReadingStopsAtTheFirstFieldThatHoldsNoInteger) {
    MessageBoxCatcher boxes;
    CExchangeDlg dlg;
    HWND number1 = nullptr, focus = nullptr;
    std::pair<DWORD, DWORD> selection;
    ASSERT_TRUE(RunWith(dlg, [&] {
        number1 = dlg.GetDlgItem(IDC_NUMBER1);
        SetDlgItemTextW(dlg.m_hWnd, IDC_NAME, L"新しい名前");
        SetDlgItemTextW(dlg.m_hWnd, IDC_NUMBER1, L"12a");
        SetDlgItemTextW(dlg.m_hWnd, IDC_WORD, L"新しい語");
        SetDlgItemTextW(dlg.m_hWnd, IDC_NUMBER2, L"99");
        SetFocus(dlg.GetDlgItem(IDC_PULL));
        SendMessageW(dlg.GetDlgItem(IDC_PULL), BM_CLICK, 0, 0);
        focus = GetFocus();
        selection = Selection(number1);
    }));
    EXPECT_EQ(dlg.pullResults, std::vector<BOOL>{FALSE});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"整数を入力してください。");
    EXPECT_EQ(boxes.boxes[0].caption, L"framework_tests");
    EXPECT_EQ(focus, number1);
    EXPECT_EQ(selection, (std::pair<DWORD, DWORD>{0, 3}));
    EXPECT_EQ(dlg.m_strName, Cp932("新しい名前"));  // read before the failing field
    EXPECT_EQ(dlg.m_nNumber1, 7);           // the failing field and those after it keep their values
    EXPECT_EQ(dlg.m_strWord, "word");
    EXPECT_EQ(dlg.m_nNumber2, 8);
}

TEST(DataExchange, AnEmptyOrOutOfRangeNumberIsNoInteger) {
    for (const wchar_t* text : {L"", L"4294967296", L"2147483648"}) {
        MessageBoxCatcher boxes;
        CExchangeDlg dlg;
        ASSERT_TRUE(RunWith(dlg, [&] {
            SetDlgItemTextW(dlg.m_hWnd, IDC_NUMBER2, text);
            SendMessageW(dlg.GetDlgItem(IDC_PULL), BM_CLICK, 0, 0);
        }));
        EXPECT_EQ(dlg.pullResults, std::vector<BOOL>{FALSE});
        EXPECT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(dlg.m_nNumber2, 8);
    }
}

TEST(DataExchange, TooLongATextFailsWithTheByteLimitWarning) {
    MessageBoxCatcher boxes;
    CExchangeDlg dlg;
    ASSERT_TRUE(RunWith(dlg, [&] {
        // 16 double-byte characters: 16 units but 32 bytes, over the limit of 30.
        SetDlgItemTextW(dlg.m_hWnd, IDC_PANE, std::wstring(16, L'あ').c_str());
        SendMessageW(dlg.GetDlgItem(IDC_PULL), BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(dlg.pullResults, std::vector<BOOL>{FALSE});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"30 バイト以下で入力してください。");
    EXPECT_EQ(dlg.m_strPane.size(), 32u);  // read, then found too long
}

TEST(DataExchange, UnchangedTextIsNotSetAgainAndKeepsCharactersWithoutABytesForm) {
    CExchangeDlg dlg;
    const std::wstring withEmoji = L"a\U0001F600b";
    std::pair<DWORD, DWORD> selectionAfterPush;
    ASSERT_TRUE(RunWith(dlg, [&] {
        SetDlgItemTextW(dlg.m_hWnd, IDC_PANE, withEmoji.c_str());
        SendMessageW(dlg.GetDlgItem(IDC_PULL), BM_CLICK, 0, 0);
        EXPECT_EQ(dlg.m_strPane, std::string("a\0b", 3));  // the emoji became NUL
        SendMessageW(dlg.GetDlgItem(IDC_PANE), EM_SETSEL, 1, 3);
        dlg.UpdateData(FALSE);
        selectionAfterPush = Selection(dlg.GetDlgItem(IDC_PANE));
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_PANE), withEmoji);
        // The user edits it; a push of the unchanged field brings back the text read.
        SetDlgItemTextW(dlg.m_hWnd, IDC_PANE, L"edited");
        dlg.UpdateData(FALSE);
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_PANE), withEmoji);
        // A changed field is written as its text.
        dlg.m_strPane = Cp932("新");
        dlg.UpdateData(FALSE);
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_PANE), L"新");
        // Bytes holding NUL show U+FFFD, which reads back as the same bytes.
        dlg.m_strName = std::string("x\0y", 3);
        dlg.UpdateData(FALSE);
        EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_NAME), L"x\xFFFDy");
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_strName, std::string("x\0y", 3));
        // Bytes with no Unicode form (a lone lead byte, an undefined pair)
        // show U+FFFD; an untouched control gives them back as they were ...
        dlg.m_strName = "k\x82";
        dlg.m_strWord = "\x85\x40z";
        dlg.UpdateData(FALSE);
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_strName, "k\x82");
        EXPECT_EQ(dlg.m_strWord, "\x85\x40z");
        // ... and an edited one gives what it shows.
        SetDlgItemTextW(dlg.m_hWnd, IDC_WORD, L"新");
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_strWord, Cp932("新"));
        EXPECT_EQ(dlg.m_strName, "k\x82");
    }));
    EXPECT_EQ(selectionAfterPush, (std::pair<DWORD, DWORD>{1, 3}));
}

}  // namespace
