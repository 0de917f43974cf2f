// CComboBox: a combo-box control driven by its window messages. Bind it to
// its control with DDX_Control in DoDataExchange.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/text.h"
#include "framework/wnd.h"

class CComboBox : public CWnd {
public:
    void ResetContent() { SendMessageW(m_hWnd, CB_RESETCONTENT, 0, 0); }
    // Appends an item of code page 932 bytes (at the end unless the list is
    // sorted); returns its index, or CB_ERR / CB_ERRSPACE.
    int AddString(std::string_view cp932) {
        const std::wstring item = quenbol::ToWide(cp932);
        return static_cast<int>(SendMessageW(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
    }
    int SetCurSel(int index) {  // without notifying; -1 clears the selection
        return static_cast<int>(SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
    // The selected item's index, or CB_ERR when none.
    int GetCurSel() const { return static_cast<int>(SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0)); }
};
