// The keyword settings dialog, run from its real template and driven from
// inside its modal loop: which actions store the fields, what the list and
// the fields show, the keys it ignores, and the file operations' messages.
#include <gtest/gtest.h>

#include <functional>

#include "core/roster.h"
#include "framework/app.h"
#include "testing/display_names.h"
#include "testing/message_box_catcher.h"
#include "testing/modal_script.h"
#include "framework/text.h"
#include "res/resource.h"
#include "settings/keyword_dlg.h"
#include "settings/keyword_format.h"
#include "settings/tests/faulty_files.h"
#include "settings/tests/settings_steps.h"
#include "settings/tests/test_files.h"

namespace quenbol {
namespace {

using testing::MessageBoxCatcher;
using testing::ModalScript;

std::wstring W(std::string_view cp932) { return ToWide(cp932); }

// A table whose every entry names its member and slot, unlike any default.
Keywords Marked(const std::string& tag) {
    Keywords t;
    for (int m = 0; m < kMemberCount; ++m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            t[EntryIndex(m, s)] = tag + std::to_string(m) + "-" + std::to_string(s);
        }
    }
    return t;
}

Keywords Defaults() {
    Keywords t;
    LoadDefaultKeywords(t);
    return t;
}

class KeywordDlgTest : public ::testing::Test {
protected:
    void SetUp() override { LoadDefaultKeywords(); }
    void TearDown() override { LoadDefaultKeywords(); }

    // Runs the dialog with the script (or the step `steps` and then the step
    // `then`), which must end it; returns how it ended.
    INT_PTR Run(ModalScript& script) {
        INT_PTR result = -2;
        EXPECT_TRUE(script.Run([&] { result = dlg.DoModal(); }));
        return result;
    }
    INT_PTR Run(std::function<void()> steps, std::function<void()> then = nullptr) {
        ModalScript script;
        script.Then(std::move(steps));
        if (then) script.Then(std::move(then));
        return Run(script);
    }
    // Every message box so far was owned by the settings dialog.
    void ExpectBoxesOwnedByTheDialog() {
        for (const auto& box : boxes.boxes) EXPECT_EQ(box.owner, shown) << "owner of a message box";
    }
    HWND H() const { return dlg.m_hWnd; }
    std::wstring Field(int slot) const { return test::TextOf(H(), IDC_KEYWORD_SLOT0 + slot); }
    void Type(int slot, const std::wstring& text) { test::TypeInto(H(), IDC_KEYWORD_SLOT0 + slot, text); }
    void PickMember(int m) { test::Pick(H(), IDC_MEMBER_LIST, m); }
    int Selected() const { return test::ListSelection(H(), IDC_MEMBER_LIST); }
    // The seven fields as a member's entries would hold them.
    void ExpectFieldsShow(const Keywords& table, int m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            EXPECT_EQ(Field(s), W(table[EntryIndex(m, s)])) << "member " << m << " slot " << s;
        }
    }
    std::string Entry(int m, int s) const { return KeywordTable[EntryIndex(m, s)]; }

    CKeywordDlg dlg;
    MessageBoxCatcher boxes;
    HWND shown = nullptr;  // the dialog's window while it ran
};

TEST_F(KeywordDlgTest, OpensWithTheNamesInRosterOrderAndMemberZeroOnShow) {
    EXPECT_EQ(Run([&] {
        EXPECT_EQ(test::ListItems(H(), IDC_MEMBER_LIST), testing::kDisplayNames);
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(dlg.m_nCurMember, 0);
        ExpectFieldsShow(KeywordTable, 0);  // slots 5 and 6 empty
        EXPECT_EQ(GetFocus(), GetDlgItem(H(), IDOK));
        test::PostClick(H(), IDOK);
    }), IDOK);
    EXPECT_EQ(KeywordTable, Defaults());
}

TEST_F(KeywordDlgTest, PickingAnotherMemberStoresTheFieldsOfTheOneOnShow) {
    EXPECT_EQ(Run([&] {
        PickMember(3);
        EXPECT_EQ(dlg.m_nCurMember, 3);
        ExpectFieldsShow(KeywordTable, 3);
        Type(2, L"新しい呼び名");
        PickMember(7);
        EXPECT_EQ(Entry(3, 2), ToCp932(L"新しい呼び名"));
        ExpectFieldsShow(KeywordTable, 7);
        PickMember(3);
        EXPECT_EQ(Field(2), L"新しい呼び名");
        // A notification for the member already on show stores and shows it again.
        Type(0, L" 前後に空白 ");
        PickMember(3);
        EXPECT_EQ(Entry(3, 0), ToCp932(L" 前後に空白 "));
        EXPECT_EQ(Field(0), L" 前後に空白 ");
        EXPECT_EQ(Selected(), 3);
        // A notification with no selection keeps the member on show.
        Type(1, L"x");
        SendDlgItemMessageW(H(), IDC_MEMBER_LIST, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SendMessageW(H(), WM_COMMAND, MAKEWPARAM(IDC_MEMBER_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(H(), IDC_MEMBER_LIST)));
        EXPECT_EQ(dlg.m_nCurMember, 3);
        EXPECT_EQ(Selected(), 3);
        EXPECT_EQ(Entry(3, 1), "x");
        test::PostClick(H(), IDOK);
    }), IDOK);
    Keywords expected = Defaults();
    expected[EntryIndex(3, 0)] = ToCp932(L" 前後に空白 ");
    expected[EntryIndex(3, 1)] = "x";
    expected[EntryIndex(3, 2)] = ToCp932(L"新しい呼び名");
    EXPECT_EQ(KeywordTable, expected);
}

TEST_F(KeywordDlgTest, ResetDiscardsTheTypingAndShowsMemberZero) {
    KeywordTable = Marked("old");
    EXPECT_EQ(Run([&] {
        PickMember(5);
        Type(0, L"消える");
        test::PostClick(H(), IDC_RESET_DEFAULTS);
    }, [&] {
        EXPECT_EQ(KeywordTable, Defaults());
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(dlg.m_nCurMember, 0);
        ExpectFieldsShow(KeywordTable, 0);
        test::PostClick(H(), IDOK);
    }), IDOK);
    EXPECT_EQ(KeywordTable, Defaults());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(KeywordDlgTest, SaveStoresTheFieldsEvenWhenItsDialogIsCancelled) {
    test::ScriptedFilePrompt prompt({std::nullopt});
    EXPECT_EQ(Run([&] {
        PickMember(4);
        Type(6, L"保存前");
        test::PostClick(H(), IDC_SAVE_KEYWORD_FILE);
    }, [&] {
        ASSERT_EQ(prompt.asked.size(), 1u);
        EXPECT_FALSE(prompt.asked[0].open);
        EXPECT_EQ(Entry(4, 6), ToCp932(L"保存前"));
        EXPECT_EQ(Selected(), 4);
        EXPECT_EQ(Field(6), L"保存前");
        // IDCANCEL closes without storing what was typed since.
        Type(6, L"捨てる");
        test::PostClick(H(), IDCANCEL);
    }), IDCANCEL);
    EXPECT_EQ(Entry(4, 6), ToCp932(L"保存前"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(KeywordDlgTest, LoadReplacesTheTableAndShowsMemberZeroFromTheFile) {
    test::ScratchFolder dir;
    const Keywords file = Marked("file");
    ASSERT_TRUE(test::WriteBytes(dir / L"k.ini", FormatKeywordFile(file)));
    test::ScriptedFilePrompt prompt({dir / L"k.ini"});
    EXPECT_EQ(Run([&] {
        PickMember(4);
        Type(0, L"消える入力");
        test::PostClick(H(), IDC_LOAD_KEYWORD_FILE);
    }, [&] {
        EXPECT_EQ(KeywordTable, file);
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(dlg.m_nCurMember, 0);
        ExpectFieldsShow(file, 0);
        test::PostClick(H(), IDOK);
    }), IDOK);
    EXPECT_EQ(KeywordTable, file);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_TRUE(prompt.asked[0].open);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(KeywordDlgTest, RefusedOrCancelledLoadsKeepTheTypingOnShow) {
    test::ScratchFolder dir;
    ASSERT_TRUE(test::WriteBytes(dir / L"foreign.ini", "[zavo]\r\nkey=value\r\n"));
    ASSERT_TRUE(test::WriteBytes(dir / L"empty.ini", ""));
    test::ScriptedFilePrompt prompt(
        {dir / L"foreign.ini", dir / L"empty.ini", dir / L"missing.ini", std::nullopt});
    ModalScript script;
    script.Then([&] {
        shown = H();
        PickMember(4);
        Type(3, L"残る入力");
    });
    for (int i = 0; i < 4; ++i) {  // one load after the other, as a user clicks
        script.Then([&] { test::PostClick(H(), IDC_LOAD_KEYWORD_FILE); });
        script.WaitFor([&] { return test::InnermostDialog() == H(); }, "the load to end");
    }
    script.Then([&] {
        EXPECT_EQ(prompt.asked.size(), 4u);
        EXPECT_EQ(KeywordTable, Defaults());
        EXPECT_EQ(Selected(), 4);
        EXPECT_EQ(Field(3), L"残る入力");
        test::PostClick(H(), IDOK);
    });
    EXPECT_EQ(Run(script), IDOK);
    Keywords expected = Defaults();
    expected[EntryIndex(4, 3)] = ToCp932(L"残る入力");
    EXPECT_EQ(KeywordTable, expected);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, L"設定ファイルがzavo2.exeのフォーマットではありません。");
    EXPECT_EQ(boxes.boxes[1].text, L"設定ファイルがzavo2.exeのフォーマットではありません。");
    EXPECT_EQ(boxes.boxes[2].text, L"ファイルをオープンできませんでした。");
    for (const auto& box : boxes.boxes) {
        EXPECT_EQ(box.caption, L"settings_tests");
        EXPECT_TRUE(box.hasIcon);
    }
    ExpectBoxesOwnedByTheDialog();
}

TEST_F(KeywordDlgTest, EnterAndEscapeDoNothingWhereverTheFocusIs) {
    EXPECT_EQ(Run([&] {
        Type(0, L"未確定");
        for (int id : {IDC_KEYWORD_SLOT0, IDC_KEYWORD_SLOT0 + 6, IDC_MEMBER_LIST, IDOK, IDC_RESET_DEFAULTS}) {
            HWND control = GetDlgItem(H(), id);
            SetFocus(control);
            for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
                PostMessageW(control, WM_KEYDOWN, key, 1);
                PostMessageW(control, WM_KEYUP, key, 0xC0000001);
            }
        }
        PostMessageW(H(), WM_KEYDOWN, VK_ESCAPE, 1);
    }, [&] {  // the keys have been handled; the dialog is still open
        EXPECT_TRUE(IsWindow(H()));
        EXPECT_EQ(Entry(0, 0), DefaultKeyword(0));
        EXPECT_EQ(Field(0), L"未確定");
        test::PostClick(H(), IDOK);
    }), IDOK);
    EXPECT_EQ(Entry(0, 0), ToCp932(L"未確定"));
}

TEST_F(KeywordDlgTest, TheListKeepsTheDisplayNamesAfterEditsAndLoads) {
    test::ScratchFolder dir;
    ASSERT_TRUE(test::WriteBytes(dir / L"k.ini", FormatKeywordFile(Marked("other"))));
    test::ScriptedFilePrompt prompt({dir / L"k.ini"});
    EXPECT_EQ(Run([&] {
        PickMember(2);
        Type(0, L"別の名前");
        PickMember(0);
        EXPECT_EQ(Entry(2, 0), ToCp932(L"別の名前"));
        EXPECT_EQ(test::ListItems(H(), IDC_MEMBER_LIST), testing::kDisplayNames);
        test::PostClick(H(), IDC_LOAD_KEYWORD_FILE);
    }, [&] {
        EXPECT_EQ(KeywordTable, Marked("other"));
        EXPECT_EQ(test::ListItems(H(), IDC_MEMBER_LIST), testing::kDisplayNames);
        test::PostClick(H(), IDOK);
    }), IDOK);
}

TEST_F(KeywordDlgTest, SevenEmptiedFieldsGiveSevenEmptySlots) {
    EXPECT_EQ(Run([&] {
        PickMember(1);
        for (int s = 0; s < kSlotsPerMember; ++s) Type(s, L"");
        test::PostClick(H(), IDOK);
    }), IDOK);
    Keywords expected = Defaults();
    for (int s = 0; s < kSlotsPerMember; ++s) expected[EntryIndex(1, s)].clear();
    EXPECT_EQ(KeywordTable, expected);
}

// ---- The file operations' failures, as the user meets them.

TEST_F(KeywordDlgTest, SaveOverAReadOnlyFileIsRefusedAndTheFileUntouched) {
    test::ScratchFolder dir;
    const std::wstring path = dir / L"読み取り専用.ini";
    ASSERT_TRUE(test::WriteBytes(path, "keep me"));
    ASSERT_TRUE(test::SetReadOnly(path, true));
    test::ScriptedFilePrompt prompt({path});
    EXPECT_EQ(Run([&] {
        shown = H();
        test::PostClick(H(), IDC_SAVE_KEYWORD_FILE);
    }, [&] {
        EXPECT_EQ(boxes.boxes.size(), 1u);
        test::PostClick(H(), IDOK);  // still usable
    }), IDOK);
    EXPECT_EQ(test::ReadBytes(path), "keep me");
    EXPECT_TRUE(test::IsReadOnly(path));
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"読み取り専用.ini"});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"ファイルを書き込み用にオープンできませんでした。");
    EXPECT_EQ(boxes.boxes[0].caption, AfxGetAppName());
    EXPECT_TRUE(boxes.boxes[0].hasIcon);
    ExpectBoxesOwnedByTheDialog();
}

TEST_F(KeywordDlgTest, AWriteFailingPartWayKeepsTheOldFileAndSaysSo) {
    test::ScratchFolder dir;
    const std::wstring path = dir / L"k.ini";
    const std::string old = FormatKeywordFile(Marked("before"));
    ASSERT_TRUE(test::WriteBytes(path, old));
    test::FaultyFiles files;
    files.writeAtMost = 100;
    files.failWrite = 4;
    test::UseFileSystem use(files);
    test::ScriptedFilePrompt prompt({path, path});
    EXPECT_EQ(Run([&] { test::PostClick(H(), IDC_SAVE_KEYWORD_FILE); }, [&] {
        EXPECT_EQ(test::ReadBytes(path), old);
        EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"k.ini"});
        files.failWrite = 0;  // the disk has room again: the next save goes through
        test::PostClick(H(), IDC_SAVE_KEYWORD_FILE);
        test::PostClick(H(), IDOK);  // handled after the save
    }), IDOK);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"ファイルの書き込み中にエラーが発生しました。元のファイルは変更されていません。");
    EXPECT_EQ(test::ReadBytes(path), FormatKeywordFile(Defaults()));
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"k.ini"});
}

TEST_F(KeywordDlgTest, AReadFailureLeavesTheTableAndTheFieldsAsTheyWere) {
    test::ScratchFolder dir;
    ASSERT_TRUE(test::WriteBytes(dir / L"k.ini", FormatKeywordFile(Marked("file"))));
    test::FaultyFiles files;
    files.failRead = 1;
    test::UseFileSystem use(files);
    test::ScriptedFilePrompt prompt({dir / L"k.ini"});
    EXPECT_EQ(Run([&] {
        PickMember(6);
        Type(0, L"入力中");
        test::PostClick(H(), IDC_LOAD_KEYWORD_FILE);
    }, [&] {
        EXPECT_EQ(KeywordTable, Defaults());
        EXPECT_EQ(Selected(), 6);
        EXPECT_EQ(Field(0), L"入力中");
        test::PostClick(H(), IDOK);
    }), IDOK);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"ファイルの読み込み中にエラーが発生しました。キーワードは変更されていません。");
    EXPECT_EQ(files.opens, files.closes);
}

// ---- Through the platform's real file dialogs.

TEST_F(KeywordDlgTest, SavesAndLoadsThroughTheRealFileDialogs) {
    test::ScratchFolder dir(L"キーワード設定");
    const std::wstring path = dir / L"ピポラ用.ini";
    std::wstring saveTitle, openTitle, proposed, openProposed = L"unset";
    HWND saveOwner = nullptr, openOwner = nullptr;
    bool disabledMeanwhile = false;
    ModalScript script;
    script.Then([&] {
        shown = H();
        PickMember(9);
        Type(1, L"  実ダイアログ  ");
        test::PostClick(H(), IDC_SAVE_KEYWORD_FILE);
    });
    script.WaitFor(
        [&] {
            disabledMeanwhile = !IsWindowEnabled(H());
            return test::AnswerFileDialog(dir / L"ピポラ用", &saveTitle, &saveOwner, &proposed);
        },
        "the save dialog");
    script.WaitFor([&] { return IsWindowEnabled(H()) && test::InnermostDialog() == H(); }, "the save to end");
    script.Then([&] {
        EXPECT_EQ(test::ReadBytes(path), FormatKeywordFile(KeywordTable));
        LoadDefaultKeywords();
        test::PostClick(H(), IDC_LOAD_KEYWORD_FILE);
    });
    script.WaitFor([&] { return test::AnswerFileDialog(path, &openTitle, &openOwner, &openProposed); }, "the open dialog");
    script.WaitFor([&] { return IsWindowEnabled(H()) && test::InnermostDialog() == H(); }, "the load to end");
    script.Then([&] {
        EXPECT_EQ(Selected(), 0);
        test::PostClick(H(), IDOK);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(saveTitle, L"設定ファイルを保存");
    EXPECT_EQ(openTitle, L"設定ファイルを開く");
    EXPECT_EQ(proposed, L"zavo-keyword-file");
    EXPECT_EQ(openProposed, L"");
    EXPECT_EQ(saveOwner, shown);
    EXPECT_EQ(openOwner, shown);
    EXPECT_TRUE(disabledMeanwhile);
    Keywords expected = Defaults();
    expected[EntryIndex(9, 1)] = ToCp932(L"  実ダイアログ  ");
    EXPECT_EQ(KeywordTable, expected);
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace quenbol
