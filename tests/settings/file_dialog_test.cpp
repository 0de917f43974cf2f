// The keyword file prompts through the platform's real common dialogs.
#include <gtest/gtest.h>

#include "settings/keyword_file_ops.h"
#include "tests/settings/dialog_driver.h"
#include <dlgs.h>

#include "tests/settings/test_files.h"

namespace quenbol {
namespace {

using test::DialogDriver;

TEST(KeywordFilePrompt, SaveDialogProposesTheNameAndAppendsTheExtension) {
    test::ScratchFolder dir(L"保存先フォルダ");
    std::wstring title, proposed;
    std::optional<std::wstring> chosen;
    DialogDriver driver;
    driver
        .Then("read the proposal",
              [&] {
                  HWND dialog = test::InnermostDialog();
                  if (!test::IsFileDialog(dialog)) return false;
                  proposed = test::ControlText(edt1);
                  if (proposed.empty()) proposed = test::ControlText(cmb13);
                  return true;
              })
        .Then("answer", DialogDriver::AnswerFileDialog(dir / L"新しい設定", &title));
    driver.Run([&] { chosen = AskForFileName(kSaveKeywordFilePrompt); });
    EXPECT_EQ(title, L"設定ファイルを保存");
    EXPECT_EQ(proposed, L"zavo-keyword-file");
    EXPECT_EQ(chosen, dir / L"新しい設定.ini");
}

TEST(KeywordFilePrompt, OpenDialogReturnsTheChosenFileAndCancelReturnsNothing) {
    test::ScratchFolder dir(L"読込フォルダ");
    ASSERT_TRUE(test::WriteBytes(dir / L"キーワード.ini", "x"));
    std::wstring title, cancelledTitle;
    std::optional<std::wstring> chosen, cancelled = L"unset";
    DialogDriver answer;
    answer.Then("answer", DialogDriver::AnswerFileDialog(dir / L"キーワード.ini", &title));
    answer.Run([&] { chosen = AskForFileName(kOpenKeywordFilePrompt); });
    DialogDriver cancel;
    cancel.Then("cancel", DialogDriver::CancelFileDialog(&cancelledTitle));
    cancel.Run([&] { cancelled = AskForFileName(kSaveKeywordFilePrompt); });
    EXPECT_EQ(title, L"設定ファイルを開く");
    EXPECT_EQ(chosen, dir / L"キーワード.ini");
    EXPECT_EQ(cancelledTitle, L"設定ファイルを保存");
    EXPECT_EQ(cancelled, std::nullopt);
}

}  // namespace
}  // namespace quenbol
