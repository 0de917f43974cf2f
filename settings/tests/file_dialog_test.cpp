// The keyword file prompts through the platform's real common dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include "framework/text.h"
#include "testing/modal_script.h"
#include "settings/keyword_file_ops.h"
#include "settings/tests/settings_steps.h"
#include "settings/tests/test_files.h"

namespace quenbol {
namespace {

using testing::ModalScript;

TEST(KeywordFilePrompt, SaveDialogProposesTheNameAndAppendsTheExtension) {
    test::ScratchFolder dir(L"保存先フォルダ");
    std::wstring title, proposed;
    std::optional<std::wstring> chosen;
    ModalScript script;
    script
        .WaitFor(
            [&] {
                HWND dialog = test::InnermostDialog();
                if (!test::IsFileDialog(dialog)) return false;
                proposed = test::TextOf(dialog, edt1);
                if (proposed.empty()) proposed = test::TextOf(dialog, cmb13);
                return true;
            },
            "the save dialog")
        .WaitFor([&] { return test::AnswerFileDialog(dir / L"新しい設定", &title); }, "answer");
    ASSERT_TRUE(script.Run([&] { chosen = AskForFileName(kSaveKeywordFilePrompt); }));
    EXPECT_EQ(title, L"設定ファイルを保存");
    EXPECT_EQ(proposed, L"zavo-keyword-file");
    EXPECT_EQ(chosen, dir / L"新しい設定.ini");
}

TEST(KeywordFilePrompt, OpenDialogReturnsTheChosenFileAndCancelReturnsNothing) {
    test::ScratchFolder dir(L"読込フォルダ");
    ASSERT_TRUE(test::WriteBytes(dir / L"キーワード.ini", "x"));
    std::wstring title, cancelledTitle;
    std::optional<std::wstring> chosen, cancelled = L"unset";
    ModalScript answer;
    answer.WaitFor([&] { return test::AnswerFileDialog(dir / L"キーワード.ini", &title); }, "answer");
    ASSERT_TRUE(answer.Run([&] { chosen = AskForFileName(kOpenKeywordFilePrompt); }));
    ModalScript cancel;
    cancel.WaitFor([&] { return test::CancelFileDialog(&cancelledTitle); }, "cancel");
    ASSERT_TRUE(cancel.Run([&] { cancelled = AskForFileName(kSaveKeywordFilePrompt); }));
    EXPECT_EQ(title, L"設定ファイルを開く");
    EXPECT_EQ(chosen, dir / L"キーワード.ini");
    EXPECT_EQ(cancelledTitle, L"設定ファイルを保存");
    EXPECT_EQ(cancelled, std::nullopt);
}

}  // namespace
}  // namespace quenbol
