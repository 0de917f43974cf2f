// Subclassing a control by putting a procedure of ours in front of its own,
// with a state of ours beside the procedure it replaced.
//
// comctl32's SetWindowSubclass finds its chain in a window property on every
// message, and under Wine each property lookup is a round trip to the server:
// a hundred of them for one press of 全検索, as the exchange reads and writes
// the subclassed edits. Here the procedure finds its state through
// GWLP_USERDATA, which a control leaves to its owner; code outside the
// procedure finds it through a window property, once per call.
#pragma once

#include <windows.h>

template <class State>
struct Subclassed {
    WNDPROC previous = nullptr;
    State state;
};

// The state behind `window` under `name`, or null if it has none.
template <class State>
Subclassed<State>* FindSubclass(HWND window, const wchar_t* name) {
    return window ? static_cast<Subclassed<State>*>(GetPropW(window, name)) : nullptr;
}

// The state behind `window`, given to it with `procedure` in front if it has
// none yet. Null when that fails, or when the window's GWLP_USERDATA is
// already in use.
template <class State>
Subclassed<State>* AttachSubclass(HWND window, const wchar_t* name, WNDPROC procedure) {
    if (!window) return nullptr;
    if (auto* found = FindSubclass<State>(window, name)) return found;
    if (GetWindowLongPtrW(window, GWLP_USERDATA) != 0) return nullptr;
    auto* subclass = new Subclassed<State>;
    if (!SetPropW(window, name, subclass)) {
        delete subclass;
        return nullptr;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(subclass));
    subclass->previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (!subclass->previous) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        RemovePropW(window, name);
        delete subclass;
        return nullptr;
    }
    return subclass;
}

// Inside the procedure given to AttachSubclass: its state.
template <class State>
Subclassed<State>& SubclassOf(HWND window) {
    return *reinterpret_cast<Subclassed<State>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Inside that procedure: the control's own handling of the message; after
// WM_NCDESTROY, the last message a window gets, the state is let go.
template <class State>
LRESULT CallPrevious(HWND window, const wchar_t* name, UINT message, WPARAM wParam, LPARAM lParam) {
    Subclassed<State>& subclass = SubclassOf<State>(window);
    const LRESULT result = CallWindowProcW(subclass.previous, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemovePropW(window, name);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete &subclass;
    }
    return result;
}
