// Data exchange between a window's fields and its controls: CDataExchange and
// the DDX_ / DDV_ functions called from DoDataExchange, in exchange order:
//
//   void CMyDlg::DoDataExchange(CDataExchange& dx) {
//       DDX_Text(dx, IDC_NAME, m_strName);
//       DDV_MaxChars(dx, m_strName, 40);
//       DDX_Text(dx, IDC_COUNT, m_nCount);
//       DDX_Control(dx, IDC_LIST, m_comboList);
//   }
//
// Reading (UpdateData(TRUE)) stops at the first field that fails: the user is
// warned in a message box, that control gets the focus with its whole text
// selected, and it and every later field keep their values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* window, bool saveAndValidate);

    const bool m_bSaveAndValidate;  // true: controls to fields
    CWnd* const m_pDlgWnd;

    // The control with this identifier; it becomes the one a failure points at.
    // A missing control stops the exchange (a program error, not the user's).
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // The last prepared control if it was an edit, else null.
    HWND LastEditCtrl() const { return m_lastIsEdit ? m_lastControl : nullptr; }

    // Warns with `message`, puts the focus on the last control (selecting its
    // text if it is an edit) and stops the exchange.
    [[noreturn]] void Fail(std::wstring_view message);

    // Thrown by Fail and caught by UpdateData; never leaves UpdateData.
    struct Stop {};

private:
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

// A string field and an edit: the control's text in code page 932 bytes.
// Writing leaves the control alone when the field still holds the bytes last
// exchanged with it and the control still shows the text they came from, so a
// large unchanged text is not set again and keeps its caret and scroll place.
// Reading a control that still shows the text last exchanged gives back the
// bytes that went with it, so bytes that have no Unicode form survive a trip
// through a control the user has not edited.
void DDX_Text(CDataExchange& dx, int id, std::string& value);

// An integer field and an edit: written as a signed decimal without
// separators; reading fails with a warning unless the text is a decimal
// integer within the signed 32-bit range.
void DDX_Text(CDataExchange& dx, int id, std::int32_t& value);

// The length rule of the string just exchanged, in code page 932 bytes:
// reading fails with a warning when the field is longer; writing sets the
// edit's limit so that typing or pasting cannot take it beyond that many bytes.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxBytes);

// Binds a control object (a CComboBox, say) to its control, once.
void DDX_Control(CDataExchange& dx, int id, CWnd& control);

// The integer a control's text stands for: optional surrounding blanks, an
// optional sign and decimal digits, within the signed 32-bit range.
std::optional<std::int32_t> ParseDecimalInt32(std::wstring_view text);
