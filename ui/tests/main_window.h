// Test support for the main window: reads and writes its controls the way a
// user sees them, and runs it modally with a script of steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/roster.h"
#include "testing/modal_script.h"
#include "framework/text.h"
#include "res/resource.h"
#include "ui/counter_dlg.h"
#include "ui/member_rows.h"

namespace quenbol::testing {

class MainWindow {
public:
    CCounterDlg dlg;

    HWND Hwnd() const { return dlg.m_hWnd; }
    HWND Item(int id) const { return GetDlgItem(dlg.m_hWnd, id); }
    std::wstring Text(int id) const { return GetWindowTextWide(Item(id)); }
    // The control's text as code page 932 bytes, as the core would see it.
    std::string Bytes(int id) const { return ToCp932(Text(id)); }
    std::wstring Caption() const { return GetWindowTextWide(dlg.m_hWnd); }
    void SetText(int id, std::wstring_view text) const { SetDlgItemTextW(dlg.m_hWnd, id, std::wstring(text).c_str()); }
    void SetBytes(int id, std::string_view cp932) const { SetText(id, ToWide(cp932)); }
    // Presses a button; its handler runs before this returns.
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }

    std::wstring Current(MemberIndex m) const { return Text(kMemberRows[m].current); }
    std::wstring Total(MemberIndex m) const { return Text(kMemberRows[m].total); }

    // The frame of the window tests: runs the window modally with the steps of
    // `script` (or the one step `steps`), then closes it as its close box does.
    bool Run(ModalScript& script, DWORD timeoutMs = 30000) {
        script.Then([this] { Close(); });
        return script.Run([this] { dlg.DoModal(); }, timeoutMs);
    }
    bool Run(std::function<void()> steps, DWORD timeoutMs = 30000) {
        ModalScript script;
        script.Then(std::move(steps));
        return Run(script, timeoutMs);
    }
    // Closes the window as its close box does.
    void Close() const { PostMessageW(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }
};

inline std::wstring Number(long long n) { return std::to_wstring(n); }

}  // namespace quenbol::testing
