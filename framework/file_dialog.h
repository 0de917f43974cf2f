// CFileDialog: the system's open and save dialogs (GetOpenFileNameW /
// GetSaveFileNameW), set up in the application's manner.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>

class CWnd;

class CFileDialog {
public:
    // Narrow strings are code page 932 bytes. `defaultExtension` ("ini", no
    // dot) is appended to a name typed without one; `fileName` is the initial
    // name; `filter` is description|pattern| pairs ("Text|*.txt|All|*.*|").
    // With no parent, the dialog is owned as a modal dialog is (AfxGetSafeOwner).
    CFileDialog(BOOL openFileDialog, std::string_view defaultExtension, std::string_view fileName, DWORD flags,
                std::string_view filter, CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // The caption (the system's "Open" / "Save As" when not set).
    void SetTitle(std::string_view cp932Title);

    // IDOK when the user chose a file, IDCANCEL otherwise (or if it could not show).
    INT_PTR DoModal();

    // The full path of the chosen file.
    std::wstring GetPathName() const { return m_ofn.lpstrFile; }

    OPENFILENAMEW m_ofn{};  // the structure handed to the system

private:
    BOOL m_open;
    CWnd* m_parent;
    std::wstring m_defaultExtension, m_filter, m_title, m_file;
};
