// CWnd: the part of a window object that is not dialog-specific: its handle,
// its controls, its caption, data exchange with the controls and message-map
// dispatch with "default processing".
#pragma once

#include <windows.h>

#include <cstdint>
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

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The child control with this identifier, or null.
    HWND GetDlgItem(int id) const;
    // Sets the caption; the narrow form takes code page 932 bytes.
    void SetWindowText(std::string_view cp932);
    void SetWindowText(std::wstring_view text);

    // Exchanges the fields with the controls through DoDataExchange: TRUE
    // reads the controls into the fields (and validates), FALSE writes the
    // fields into the controls. Returns FALSE when the exchange stopped at a
    // field that failed; the user has then been warned and that control has
    // the focus with its text selected.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // ---- override these
    // Binds fields to controls with DDX_ / DDV_ calls, in exchange order.
    virtual void DoDataExchange(CDataExchange& dx);
    // Sees every message of the window's modal loop before it is translated
    // and dispatched; TRUE when it consumed the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // The window's message map; the base has none.
    virtual MessageMap GetMessageMap() const;

    // ---- internal: what DDX_Text remembers per control (see data_exchange.h)
    struct ExchangedText {
        bool known = false;
        std::wstring wide;   // the control's text when it was last read or written
        std::string bytes;   // the field's bytes that go with it
        std::uint64_t version = 0;  // the control's EditTextVersion then (0: not followed)
    };
    ExchangedText& RememberedText(int id) { return m_exchangedText[id]; }

protected:
    // From inside a handler: asks for the system's default processing of the
    // message being handled, once the handler returns.
    void Default();

    // Runs the first map entry that matches; false when none did, or when its
    // handler asked for default processing. `result` is the handler's result.
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    std::map<int, ExchangedText> m_exchangedText;
    bool* m_defaultWanted = nullptr;  // of the message being handled, if any
};
