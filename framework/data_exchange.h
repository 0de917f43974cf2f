// Data exchange between a window's fields and its edits: the DDX_ / DDV_
// functions called from DoDataExchange, in exchange order. Reading
// (UpdateData(TRUE)) stops at the first field that fails: the user is warned
// in a message box, that edit gets the focus with its whole text selected, and
// it and every later field keep their values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* window, bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(window) {}

    const bool m_bSaveAndValidate;  // true: controls to fields
    CWnd* const m_pDlgWnd;

    // The control with this identifier; it becomes the one a failure points
    // at. A missing control stops the exchange (a program error, not the user's).
    HWND PrepareCtrl(int id, bool isEdit);
    // The last prepared control if it is an edit, else null.
    HWND LastEditCtrl() const { return m_lastIsEdit ? m_lastControl : nullptr; }

    // Warns with `message`, focuses the last edit with its text selected and
    // stops the exchange by throwing Stop, which UpdateData catches.
    [[noreturn]] void Fail(std::wstring_view message);
    struct Stop {};

private:
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

// A string field and an edit, in code page 932 bytes. Writing leaves the edit
// alone when the field still holds the bytes last exchanged with it and the
// edit still shows their text, so a large unchanged text keeps its caret and
// scroll place. Reading an edit that still shows the text last exchanged
// gives back the bytes that went with it, so bytes without a Unicode form
// survive a trip through an edit the user has not changed.
void DDX_Text(CDataExchange& dx, int id, std::string& value);

// An integer field and an edit: written as a signed decimal; reading fails
// with a warning unless the text is a decimal integer within 32 bits.
void DDX_Text(CDataExchange& dx, int id, std::int32_t& value);

// The byte length rule of the string just exchanged: reading fails with a
// warning when it is longer; writing limits the edit to that many bytes.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxBytes);

// Binds a control object (a CComboBox, say) to its control, once.
void DDX_Control(CDataExchange& dx, int id, CWnd& control);

// The integer a text stands for: optional surrounding blanks, an optional
// sign and decimal digits, within the signed 32-bit range.
std::optional<std::int32_t> ParseDecimalInt32(std::wstring_view text);
