// A window's message map: a plain table from (message, control id,
// notification) to a member function of the window class. Build entries with
// CommandEntry / MessageEntry, which accept member functions of the derived
// class:
//
//   MessageMap CMyDlg::GetMessageMap() const {
//       static const MessageMapEntry entries[] = {
//           MessageEntry(WM_PAINT, &CMyDlg::OnPaint),
//           CommandEntry(IDC_GO, BN_CLICKED, &CMyDlg::OnGo),
//       };
//       return entries;
//   }
#pragma once

#include <windows.h>

#include <span>
#include <type_traits>

class CWnd;

// A handler without parameters (commands, WM_PAINT, ...).
using PlainHandler = void (CWnd::*)();
// A handler that sees the message's parameters and gives its result.
using ParamHandler = LRESULT (CWnd::*)(WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;       // WM_COMMAND, WM_NOTIFY or any other message
    int id;             // the control for WM_COMMAND / WM_NOTIFY, else 0
    UINT notification;  // BN_CLICKED, CBN_SELCHANGE, ... for WM_COMMAND / WM_NOTIFY, else 0
    PlainHandler plain; // exactly one of the two handlers is set
    ParamHandler withParams;
};

using MessageMap = std::span<const MessageMapEntry>;

// WM_COMMAND from control `id` with notification `code` (BN_CLICKED for buttons).
template <class T>
MessageMapEntry CommandEntry(int id, UINT code, void (T::*handler)()) {
    static_assert(std::is_base_of_v<CWnd, T>);
    return {WM_COMMAND, id, code, static_cast<PlainHandler>(handler), nullptr};
}

// WM_NOTIFY from control `id` with notification `code`; the handler gets the NMHDR* as lParam.
template <class T>
MessageMapEntry NotifyEntry(int id, UINT code, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    static_assert(std::is_base_of_v<CWnd, T>);
    return {WM_NOTIFY, id, code, nullptr, static_cast<ParamHandler>(handler)};
}

// Any other message.
template <class T>
MessageMapEntry MessageEntry(UINT message, void (T::*handler)()) {
    static_assert(std::is_base_of_v<CWnd, T>);
    return {message, 0, 0, static_cast<PlainHandler>(handler), nullptr};
}

template <class T>
MessageMapEntry MessageEntry(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    static_assert(std::is_base_of_v<CWnd, T>);
    return {message, 0, 0, nullptr, static_cast<ParamHandler>(handler)};
}
