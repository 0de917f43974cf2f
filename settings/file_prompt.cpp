// The file prompt: the common dialog unless a test put something else in.
#include "settings/file_prompt.h"

#include <utility>

#include "framework/file_dialog.h"

namespace quenbol {
namespace {

FileNameAsker& CurrentAsker() {
    static FileNameAsker asker;
    return asker;
}

std::wstring CurrentFolder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

std::optional<std::wstring> AskWithCommonDialog(const FilePrompt& prompt) {
    // No parent: the dialog is owned by the active window, the settings dialog.
    CFileDialog dialog(prompt.open, prompt.defaultExtension, prompt.fileName, prompt.flags,
                       prompt.filter);
    dialog.SetTitle(prompt.title);
    // The dialog leaves the current folder at the chosen one, which keeps
    // that folder in use (it could not be renamed or its drive ejected):
    // put it back, with the flags as they are.
    const std::wstring folder = CurrentFolder();
    const bool chosen = dialog.DoModal() == IDOK;
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    if (!chosen) return std::nullopt;
    return dialog.GetPathName();
}

}  // namespace

std::optional<std::wstring> AskForFileName(const FilePrompt& prompt) {
    const FileNameAsker& asker = CurrentAsker();
    return asker ? asker(prompt) : AskWithCommonDialog(prompt);
}

FileNameAsker SetFileNameAsker(FileNameAsker asker) {
    return std::exchange(CurrentAsker(), std::move(asker));
}

}  // namespace quenbol
