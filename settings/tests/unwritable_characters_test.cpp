// Characters without a code page 932 form never reach a keyword file: the
// keyword fields and the manual words refuse them with a beep (a paste that
// holds one is refused whole), the text pane keeps them, and a table that
// holds a NUL anyway (set by another program, loaded from a file) is not
// saved, with a message that says why.
#include <gtest/gtest.h>

#include "framework/text.h"
#include "settings/keyword_dlg.h"
#include "settings/keyword_format.h"
#include "settings/tests/settings_steps.h"
#include "settings/tests/test_files.h"
#include "testing/clipboard_contents.h"
#include "testing/cp932_text.h"
#include "testing/message_box_catcher.h"
#include "ui/tests/main_window.h"

namespace quenbol {
namespace {

using testing::MainWindow;
using testing::MessageBoxCatcher;
using testing::ModalScript;
using testing::PutClipboardText;

void Type(HWND edit, std::wstring_view text) {
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

void Paste(HWND edit, std::wstring_view text) {
    PutClipboardText(GetParent(edit), text);
    SendMessageW(edit, WM_PASTE, 0, 0);
}

void CaretToEnd(HWND edit) { SendMessageW(edit, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF); }

TEST(UnwritableCharacters, KeywordFieldsRefuseThemAndASaveNeverWritesANul) {
    LoadDefaultKeywords();
    test::ScratchFolder dir;
    test::ScriptedFilePrompt prompt({dir / L"typed.ini", dir / L"set.ini"});
    MessageBoxCatcher boxes;
    CKeywordDlg dlg;
    ModalScript script;
    script.Then([&] {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            HWND field = GetDlgItem(dlg.m_hWnd, IDC_KEYWORD_SLOT0 + s);
            SetWindowTextW(field, L"");
            Type(field, L"\u2014");  // the em dash has none
            EXPECT_EQ(GetWindowTextWide(field), L"") << "slot " << s;
        }
        HWND field = GetDlgItem(dlg.m_hWnd, IDC_KEYWORD_SLOT0);
        Type(field, L"吉\U00020BB7");  // U+20BB7 comes as two units, each refused
        Paste(field, L"野\U00020BB7家");
        EXPECT_EQ(GetWindowTextWide(field), L"吉");
        Paste(field, L"野家");
        CaretToEnd(field);
        Type(field, L"ー");
        EXPECT_EQ(GetWindowTextWide(field), L"吉野家ー");
        test::PostClick(dlg.m_hWnd, IDC_SAVE_KEYWORD_FILE);
    });
    script.Then([&] {
        // Past the checks, as another program could set it: the save refuses.
        SetDlgItemTextW(dlg.m_hWnd, IDC_KEYWORD_SLOT0 + 1, L"吉\U00020BB7");
        test::PostClick(dlg.m_hWnd, IDC_SAVE_KEYWORD_FILE);
    });
    script.Then([&] { test::PostClick(dlg.m_hWnd, IDOK); });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));

    Keywords expected;
    LoadDefaultKeywords(expected);
    for (int s = 0; s < kSlotsPerMember; ++s) expected[EntryIndex(0, s)] = "";  // emptied above
    expected[EntryIndex(0, 0)] = testing::Cp932("吉野家ー");
    const std::optional<std::string> bytes = test::ReadBytes(dir / L"typed.ini");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->find('\0'), std::string::npos);
    EXPECT_EQ(*bytes, FormatKeywordFile(expected));
    EXPECT_FALSE(test::ReadBytes(dir / L"set.ini"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"ファイルに書けない文字を含むキーワードがあるため、保存しませんでした。");
    EXPECT_EQ(KeywordTable[EntryIndex(0, 1)], testing::Cp932("吉") + '\0');  // stored as any text is; only the save refused it
    LoadDefaultKeywords();
}

TEST(UnwritableCharacters, ManualWordsRefuseThemAndThePaneKeepsThem) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        for (int id : {IDC_MANUAL_WORD1, IDC_MANUAL_WORD2, IDC_MANUAL_WORD3, IDC_MANUAL_WORD4, IDC_MANUAL_WORD5,
                       IDC_MANUAL_WORD6, IDC_MANUAL_WORD7}) {
            w.SetText(id, L"");
            Type(w.Item(id), L"\u2014");
            EXPECT_EQ(w.Text(id), L"") << "manual word " << id;
        }
        HWND word = w.Item(IDC_MANUAL_WORD6);
        Type(word, L"鞍\U0001F600");
        Paste(word, L"馬\U0001F600");
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD6), L"鞍");
        Paste(word, L"馬");
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD6), L"鞍馬");
        w.SetText(IDC_TEXT, L"");
        Paste(w.Item(IDC_TEXT), L"\U0001F600鞍馬\u2014");
        EXPECT_EQ(w.Text(IDC_TEXT), L"\U0001F600鞍馬\u2014");
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"1");
    }));
}

}  // namespace
}  // namespace quenbol
