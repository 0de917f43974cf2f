// A window's message map: a plain table from (message, control id,
// notification) to a member function of the window class, built with
// CommandEntry / MessageEntry, which accept member functions of the derived
// class: `static const MessageMapEntry entries[] = {MessageEntry(WM_PAINT,
// &CMyDlg::OnPaint), CommandEntry(IDC_GO, BN_CLICKED, &CMyDlg::OnGo)};`
#pragma once

#include <windows.h>

#include <span>

class CWnd;

// Handlers without parameters (commands, WM_PAINT, ...), and with the
// message's parameters and a result.
using PlainHandler = void (CWnd::*)();
using ParamHandler = LRESULT (CWnd::*)(WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;       // WM_COMMAND or any other message
    int id;             // the control for WM_COMMAND, else 0
    UINT notification;  // BN_CLICKED, CBN_SELCHANGE, ... for WM_COMMAND, else 0
    PlainHandler plain; // exactly one of the two handlers is set
    ParamHandler withParams;
};

using MessageMap = std::span<const MessageMapEntry>;

// WM_COMMAND from control `id` with notification `code` (BN_CLICKED for buttons).
template <class T>
MessageMapEntry CommandEntry(int id, UINT code, void (T::*handler)()) {
    return {WM_COMMAND, id, code, static_cast<PlainHandler>(handler), nullptr};
}

// Any other message.
template <class T>
MessageMapEntry MessageEntry(UINT message, void (T::*handler)()) {
    return {message, 0, 0, static_cast<PlainHandler>(handler), nullptr};
}

template <class T>
MessageMapEntry MessageEntry(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {message, 0, 0, nullptr, static_cast<ParamHandler>(handler)};
}
