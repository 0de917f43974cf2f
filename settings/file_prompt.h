// Asking the user for a file name: the common file dialog, replaceable by
// tests so that most of them need not drive the platform's dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace quenbol {

// What the file dialog is set up with.
struct FilePrompt {
    bool open;                         // an Open dialog; otherwise Save As
    const wchar_t* title;
    const wchar_t* fileName;           // proposed at first; may be null
    const wchar_t* defaultExtension;   // appended to a name typed without one
    const wchar_t* filter;             // description|pattern| pairs
    DWORD flags;
};

// The full path the user chose, or nothing when the dialog was cancelled.
std::optional<std::wstring> AskForFileName(const FilePrompt& prompt);

using FileNameAsker = std::function<std::optional<std::wstring>(const FilePrompt&)>;

// Replaces how AskForFileName asks (an empty function: the common dialog
// again) and returns the one it replaced.
FileNameAsker SetFileNameAsker(FileNameAsker asker);

}  // namespace quenbol
