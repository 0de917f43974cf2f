// CWnd: caption, data exchange and message-map dispatch.
#include "framework/wnd.h"

#include <utility>

#include "framework/data_exchange.h"
#include "framework/text.h"

HWND CWnd::GetDlgItem(int id) const {
    if (!m_hWnd) return nullptr;
    HWND& kept = m_items[id];
    if (!kept || ::GetParent(kept) != m_hWnd || ::GetDlgCtrlID(kept) != id) kept = ::GetDlgItem(m_hWnd, id);
    return kept;
}

// A text that stays is not set again (as the class library does): under
// Wine, setting a window's caption goes to the server and to the X server,
// about a millisecond.
void CWnd::SetWindowText(std::string_view cp932) {
    if (!m_hWnd) return;
    const std::wstring text = quenbol::ToWide(cp932);
    if (quenbol::GetWindowTextWide(m_hWnd) != text) ::SetWindowTextW(m_hWnd, text.c_str());
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate != FALSE);
    try {
        DoDataExchange(dx);
    } catch (const CDataExchange::Stop&) {
        return FALSE;
    }
    return TRUE;
}

bool CWnd::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND && (entry.id != LOWORD(wParam) || entry.notification != HIWORD(wParam))) continue;
        bool defaultWanted = false;
        // Handlers nest through modal loops: the outer one's request is put
        // back however this one ends.
        struct Restore {
            bool*& slot;
            bool* outer;
            ~Restore() { slot = outer; }
        } restore{m_defaultWanted, std::exchange(m_defaultWanted, &defaultWanted)};
        if (entry.plain) {
            (this->*entry.plain)();
            result = 0;
        } else {
            result = (this->*entry.withParams)(wParam, lParam);
        }
        return !defaultWanted;
    }
    return false;
}
