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
    // `defaultExtension` is appended to a name typed without one ("ini", no dot);
    // `fileName` is the initial name; `filter` is pairs of description and
    // pattern separated and ended by '|' ("Text|*.txt|All Files(*.*)|*.*|").
    // Narrow strings are code page 932 bytes. With no parent, the dialog is
    // owned as a modal dialog is (AfxGetSafeOwner).
    CFileDialog(BOOL openFileDialog, std::string_view defaultExtension = {}, std::string_view fileName = {},
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, std::string_view filter = {},
                CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // The dialog's caption (default: the system's "Open" / "Save As").
    void SetTitle(std::string_view cp932Title);

    // Shows the dialog; IDOK when the user chose a file, IDCANCEL otherwise
    // (also when the dialog could not be shown).
    INT_PTR DoModal();

    // The full path of the chosen file.
    std::wstring GetPathName() const;

    // The structure handed to the system; adjust before DoModal if needed.
    OPENFILENAMEW m_ofn{};

private:
    BOOL m_open;
    CWnd* m_parent;
    std::wstring m_defaultExtension, m_filter, m_title;
    std::wstring m_file;
};
