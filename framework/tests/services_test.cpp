// The framework's services: text conversion and the combo box.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"
#include "framework/text.h"

using quenbol::testing::ModalScript;

namespace {

// Runs `steps` inside a modal exchange dialog's loop, then ends it.
bool InExchangeDialog(const std::function<void(CExchangeDlg&)>& steps) {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([&] {
        steps(dlg);
        dlg.EndDialog(IDOK);
    });
    return script.Run([&] { dlg.DoModal(); });
}

TEST(Text, ConvertsBetweenControlsAndCodePage932) {
    EXPECT_EQ(quenbol::ToCp932(L"ピポラ abc ｱ"), "\x83\x73\x83\x7C\x83\x89 abc \xB1");
    EXPECT_EQ(quenbol::ToWide("\x81\x60\x83\x5C\x95\x5C"), L"\xFF5Eソ表");  // 81 60 is the full-width tilde in Microsoft's table
    EXPECT_EQ(quenbol::ToCp932(L"x\U0001F600y"), std::string("x\0y", 3));
    EXPECT_EQ(quenbol::ToWide(std::string("x\0y", 3)), L"x\xFFFDy");
    EXPECT_EQ(quenbol::ToCp932(L"x\xFFFDy"), std::string("x\0y", 3));
}

TEST(ComboBox, FillsAndSelectsItsList) {
    ASSERT_TRUE(InExchangeDialog([&](CExchangeDlg& dlg) {
        CComboBox& list = dlg.m_comboList;
        auto count = [&] { return SendMessageW(list.m_hWnd, CB_GETCOUNT, 0, 0); };
        list.ResetContent();
        EXPECT_EQ(list.AddString("\x88\xEA\x94\xD4"), 0);  // 一番
        EXPECT_EQ(list.AddString("\x93\xF1\x94\xD4"), 1);  // 二番
        EXPECT_EQ(count(), 2);
        wchar_t item[8] = {};
        SendMessageW(list.m_hWnd, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, L"一番");
        EXPECT_EQ(list.GetCurSel(), CB_ERR);
        EXPECT_EQ(list.SetCurSel(1), 1);
        EXPECT_EQ(list.GetCurSel(), 1);
        list.ResetContent();
        EXPECT_EQ(count(), 0);
    }));
}

}  // namespace
