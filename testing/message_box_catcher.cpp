// Test support: the message-box catcher.
#include "testing/message_box_catcher.h"

#include "framework/app.h"
#include "framework/text.h"

namespace quenbol::testing {
namespace {
MessageBoxCatcher* g_catcher = nullptr;
constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
}  // namespace

std::wstring WindowText(HWND hwnd) { return GetWindowTextWide(hwnd); }

MessageBoxCatcher::MessageBoxCatcher(int answer) : m_answer(answer) {
    m_outer = g_catcher;
    g_catcher = this;
    m_hook = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    g_catcher = m_outer;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxCatcher* self = g_catcher;
    if (code == HCBT_ACTIVATE && self) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t cls[16] = {};
        GetClassNameW(box, cls, 16);
        HWND textControl = GetDlgItem(box, kMessageTextId);
        const std::wstring caption = WindowText(box);
        if (lstrcmpW(cls, L"#32770") == 0 && textControl && caption == AfxGetAppName() &&
            !GetPropW(box, L"quenbol.caught")) {
            SetPropW(box, L"quenbol.caught", reinterpret_cast<HANDLE>(1));
            ShownBox shown;
            shown.caption = caption;
            shown.text = WindowText(textControl);
            // The icon static of a message box has no text and the SS_ICON style.
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) shown.hasIcon = true;
            }
            shown.owner = GetWindow(box, GW_OWNER);
            self->boxes.push_back(shown);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(self->m_answer, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace quenbol::testing
