// CFileDialog: the platform's common Open and Save As dialogs, in the
// framework's manner. Paths are UTF-16 throughout, so folder and file names
// in any script work whatever the system's code page.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

namespace quenbol {

class CFileDialog {
public:
    // `filter` lists description|pattern pairs, each ended by a bar, as in
    // "Text|*.txt|All|*.*|". `parent` null: the active window of this thread
    // owns the dialog, so that it is modal over whatever dialog is running.
    CFileDialog(bool openFileDialog, const wchar_t* defaultExtension = nullptr,
                const wchar_t* fileName = nullptr, DWORD flags = 0,
                const wchar_t* filter = nullptr, HWND parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Runs the dialog. IDOK when the user chose a file, IDCANCEL otherwise
    // (a failure of the dialog itself counts as a cancel).
    INT_PTR DoModal();

    // The full path chosen; valid after DoModal returned IDOK.
    std::wstring GetPathName() const { return fileName_.c_str(); }

    // The platform's parameter block, for what the constructor does not set
    // (the title, lpstrTitle, above all).
    OPENFILENAMEW m_ofn{};

private:
    bool open_;
    std::wstring fileName_;  // the file-name buffer the dialog fills in
    std::wstring filter_;    // bars replaced by the NULs the platform wants
    std::wstring defaultExtension_;
};

}  // namespace quenbol
