// The framework's services: text conversion, the combo box, the clipboard
// hand-over with its failure paths.
#include <gtest/gtest.h>

#include <string>

#include "framework/clipboard.h"
#include "testing/faulty_clipboard.h"
#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"

using quenbol::testing::ClipboardTextBytes;
using quenbol::testing::FaultyClipboard;
using quenbol::testing::ModalScript;
using quenbol::testing::PutClipboardMarker;

namespace {

TEST(Text, ConvertsBetweenControlsAndCodePage932) {
    EXPECT_EQ(quenbol::ToCp932(L"ピポラ abc ｱ"), "ピポラ abc ｱ");
    EXPECT_EQ(quenbol::ToWide("〜ソ表"), L"\xFF5Eソ表");  // 81 60 is the full-width tilde in Microsoft's table
    EXPECT_EQ(quenbol::ToCp932(L"x\U0001F600y"), std::string("x\0y", 3));
    EXPECT_EQ(quenbol::ToWide(std::string("x\0y", 3)), L"x\xFFFDy");
    EXPECT_EQ(quenbol::ToCp932(L"x\xFFFDy"), std::string("x\0y", 3));
}

TEST(ComboBox, FillsAndSelectsItsList) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        CComboBox& list = dlg.m_comboList;
        auto count = [&] { return SendMessageW(list.m_hWnd, CB_GETCOUNT, 0, 0); };
        list.ResetContent();
        EXPECT_EQ(list.AddString("一番"), 0);
        EXPECT_EQ(list.AddString("二番"), 1);
        EXPECT_EQ(count(), 2);
        wchar_t item[8] = {};
        SendMessageW(list.m_hWnd, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, L"一番");
        EXPECT_EQ(list.GetCurSel(), CB_ERR);
        EXPECT_EQ(list.SetCurSel(1), 1);
        EXPECT_EQ(list.GetCurSel(), 1);
        list.ResetContent();
        EXPECT_EQ(count(), 0);
        dlg.EndDialog(IDOK);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

TEST(Clipboard, PlacesTheTextAsCfText) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        FaultyClipboard::Reset(false, false, false);
        WindowsClipboard clipboard(dlg.m_hWnd, FaultyClipboard::Api());
        EXPECT_TRUE(clipboard.PlaceText("  1   0 漢字\n"));
        EXPECT_EQ(ClipboardTextBytes(dlg.m_hWnd), "  1   0 漢字\n");
        EXPECT_EQ(FaultyClipboard::allocated, 1);
        EXPECT_EQ(FaultyClipboard::handedOver, 1);
        EXPECT_EQ(FaultyClipboard::freed, 0);  // the clipboard owns it now
        EXPECT_EQ(FaultyClipboard::closed, 1);
        dlg.EndDialog(IDOK);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

TEST(Clipboard, FailuresPlaceNothingAndLeakNothing) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        struct Case {
            bool open, alloc, set;
            bool emptied;  // whether the clipboard was emptied before the failure
        };
        // Only a failing hand-over comes after the clipboard has been emptied.
        for (const Case& c : {Case{true, false, false, false}, Case{false, true, false, false},
                              Case{false, false, true, true}}) {
            PutClipboardMarker(dlg.m_hWnd);
            FaultyClipboard::Reset(c.open, c.alloc, c.set);
            WindowsClipboard clipboard(dlg.m_hWnd, FaultyClipboard::Api());
            EXPECT_FALSE(clipboard.PlaceText("text\n"));
            EXPECT_EQ(ClipboardTextBytes(dlg.m_hWnd), c.emptied ? "<none>" : "marker");
            EXPECT_EQ(FaultyClipboard::allocated, FaultyClipboard::freed);  // every block made was freed
            EXPECT_EQ(FaultyClipboard::handedOver, 0);
            EXPECT_EQ(FaultyClipboard::opened, FaultyClipboard::closed);  // closed whenever opened
        }
        dlg.EndDialog(IDOK);
    });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
}

}  // namespace
