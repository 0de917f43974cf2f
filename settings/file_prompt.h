// Asking the user for a file name: the common file dialog, replaceable by
// tests so that most of them need not drive the platform's dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace quenbol {

// What the file dialog is set up with; texts in code page 932.
struct FilePrompt {
    bool open;                         // an Open dialog; otherwise Save As
    const char* title;
    const char* fileName;              // proposed at first; may be empty
    const char* defaultExtension;      // appended to a name typed without one
    const char* filter;                // description|pattern| pairs
    DWORD flags;
};

// The full path the user chose, or nothing when the dialog was cancelled.
// Paths stay UTF-16, so folder and file names in any script work whatever
// the system's code page.
std::optional<std::wstring> AskForFileName(const FilePrompt& prompt);

using FileNameAsker = std::function<std::optional<std::wstring>(const FilePrompt&)>;

// Replaces how AskForFileName asks (an empty function: the common dialog
// again) and returns the one it replaced.
FileNameAsker SetFileNameAsker(FileNameAsker asker);

}  // namespace quenbol
