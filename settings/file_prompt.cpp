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

std::optional<std::wstring> AskWithCommonDialog(const FilePrompt& prompt) {
    // No parent: the dialog is owned by the active window, the settings dialog.
    CFileDialog dialog(prompt.open, prompt.defaultExtension, prompt.fileName, prompt.flags,
                       prompt.filter);
    dialog.SetTitle(prompt.title);
    if (dialog.DoModal() != IDOK) return std::nullopt;
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
