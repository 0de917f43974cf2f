// CWnd: what a window object has that is not dialog-specific: its handle and
// controls, its caption, data exchange and message-map dispatch.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

#include "framework/message_map.h"

class CDataExchange;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;  // null until the window exists and after it is gone

    // The child control with this identifier, or null. Found once and then
    // kept, while it is still this window's child with that identifier: under
    // Wine each ::GetDlgItem asks the server for the list of children.
    HWND GetDlgItem(int id) const;
    // Sets the caption from code page 932 bytes.
    void SetWindowText(std::string_view cp932);

    // Through DoDataExchange: TRUE reads the controls into the fields and
    // validates, FALSE writes the fields into the controls. FALSE when the
    // exchange stopped at a field that failed (see data_exchange.h).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // ---- override these
    // Binds fields to controls with DDX_ / DDV_ calls, in exchange order.
    virtual void DoDataExchange(CDataExchange&) {}
    // Sees each message of the window's modal loop first; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }
    virtual MessageMap GetMessageMap() const { return {}; }

    struct ExchangedText {  // what DDX_Text remembers of each control
        bool known = false;
        std::wstring wide;  // the control's text when it was last read or written
        std::string bytes;  // the field's bytes that go with it
    };
    ExchangedText& RememberedText(int id) { return m_exchangedText[id]; }

protected:
    // From inside a handler: asks for the system's default processing of the
    // message being handled, once the handler returns.
    void Default() {
        if (m_defaultWanted) *m_defaultWanted = true;
    }

    // Runs the first map entry that matches; false when none did, or when its
    // handler asked for default processing. `result` is the handler's result.
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    std::map<int, ExchangedText> m_exchangedText;
    mutable std::map<int, HWND> m_items;  // controls found by GetDlgItem
    bool* m_defaultWanted = nullptr;  // of the message being handled, if any
};
