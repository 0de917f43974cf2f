// CComboBox: a combo-box control driven by its window messages. Bind it to
// its control with DDX_Control in DoDataExchange.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/wnd.h"

class CComboBox : public CWnd {
public:
    // Empties the list (CB_RESETCONTENT).
    void ResetContent();
    // Appends an item (CB_ADDSTRING; at the end unless the list is sorted);
    // returns its index, or CB_ERR / CB_ERRSPACE.
    int AddString(std::string_view cp932);
    int AddString(std::wstring_view text);
    // Selects an item without notifying (CB_SETCURSEL); -1 clears the selection.
    int SetCurSel(int index);
    // The selected item's index (CB_GETCURSEL), or CB_ERR when none.
    int GetCurSel() const;
    int GetCount() const;
    // The text of an item (CB_GETLBTEXT), in code page 932 bytes.
    std::string GetLBText(int index) const;
};
