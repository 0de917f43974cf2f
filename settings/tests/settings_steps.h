// Test helpers for the settings dialog and its file prompts: finding the
// innermost dialog, answering or cancelling a real file dialog, a scripted
// stand-in for the file prompt, and acting on the settings dialog's controls
// the way a user's input arrives.
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "settings/file_prompt.h"
#include "settings/file_system.h"

namespace quenbol::test {

// The enabled, visible dialog window of this thread: the innermost modal one.
HWND InnermostDialog();

// If a file dialog is up: records its title, owner and the name it proposes,
// types `path` into its file-name field, presses OK and returns true.
// Otherwise returns false.
bool AnswerFileDialog(const std::wstring& path, std::wstring* title = nullptr, HWND* owner = nullptr,
                      std::wstring* proposed = nullptr);

// Sets a control's text as typing would leave it.
void TypeInto(HWND dialog, int id, const std::wstring& text);
std::wstring TextOf(HWND dialog, int id);
// Posts a button click to the dialog.
void PostClick(HWND dialog, int id);
// A user's pick in a combo box: the selection, then CBN_SELCHANGE.
void Pick(HWND dialog, int listId, int index);
// The list's items, in order.
std::vector<std::wstring> ListItems(HWND dialog, int listId);
int ListSelection(HWND dialog, int listId);

// Stands in for the file dialog while it lives: answers each prompt with the
// next queued path (nothing: cancelled) and records the prompts.
class ScriptedFilePrompt {
public:
    explicit ScriptedFilePrompt(std::deque<std::optional<std::wstring>> answers = {});
    ~ScriptedFilePrompt();
    ScriptedFilePrompt(const ScriptedFilePrompt&) = delete;
    ScriptedFilePrompt& operator=(const ScriptedFilePrompt&) = delete;

    std::deque<std::optional<std::wstring>> answers;
    std::vector<FilePrompt> asked;

private:
    FileNameAsker previous_;
};

// Puts a file system in for the keyword file operations while it lives.
class UseFileSystem {
public:
    explicit UseFileSystem(FileSystem& files);
    ~UseFileSystem();
    UseFileSystem(const UseFileSystem&) = delete;
    UseFileSystem& operator=(const UseFileSystem&) = delete;

private:
    FileSystem* previous_;
};

}  // namespace quenbol::test
