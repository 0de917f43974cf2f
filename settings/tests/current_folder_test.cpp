// The keyword file dialogs leave the process's current folder where it was:
// a dialog that moves it to the chosen folder keeps that folder in use (it
// cannot be renamed, nor a USB stick ejected, while the program runs).
#include <gtest/gtest.h>

#include <windows.h>

#include "testing/modal_script.h"
#include "settings/keyword_file_commands.h"
#include "settings/tests/settings_steps.h"
#include "settings/tests/test_files.h"

namespace quenbol {
namespace {

using testing::ModalScript;

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, folder);
    return folder;
}

TEST(FileDialogs, LeaveTheCurrentFolderWhereItWas) {
    test::ScratchFolder start(L"start"), chosen(L"chosen");
    ASSERT_TRUE(test::WriteBytes(chosen / L"k.ini", "x"));
    wchar_t before[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, before);
    ASSERT_TRUE(SetCurrentDirectoryW(start.Path().c_str()));
    const std::wstring expected = CurrentFolder();
    for (const FilePrompt* prompt : {&kSaveKeywordFilePrompt, &kOpenKeywordFilePrompt}) {
        SCOPED_TRACE(prompt->title);
        std::optional<std::wstring> path;
        ModalScript script;
        script.WaitFor([&] { return test::AnswerFileDialog(chosen / L"k.ini"); }, "answer");
        ASSERT_TRUE(script.Run([&] { path = AskForFileName(*prompt); }));
        EXPECT_EQ(path, chosen / L"k.ini");
        EXPECT_EQ(CurrentFolder(), expected);
    }
    SetCurrentDirectoryW(before);  // the scratch folders can go
}

}  // namespace
}  // namespace quenbol
