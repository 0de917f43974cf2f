// CWnd: controls, caption, data exchange and message-map dispatch.
#include "framework/wnd.h"

#include "framework/data_exchange.h"
#include "framework/text.h"

HWND CWnd::GetDlgItem(int id) const { return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr; }

void CWnd::SetWindowText(std::string_view cp932) { SetWindowText(quenbol::ToWide(cp932)); }

void CWnd::SetWindowText(std::wstring_view text) {
    if (m_hWnd) ::SetWindowTextW(m_hWnd, std::wstring(text).c_str());
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

void CWnd::DoDataExchange(CDataExchange&) {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

MessageMap CWnd::GetMessageMap() const { return {}; }

void CWnd::Default() {
    if (m_defaultWanted) *m_defaultWanted = true;
}

namespace {

bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
    if (entry.message != message) return false;
    if (message == WM_COMMAND) {
        return entry.id == LOWORD(wParam) && entry.notification == HIWORD(wParam);
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && entry.id == static_cast<int>(header->idFrom) && entry.notification == header->code;
    }
    return true;
}

}  // namespace

bool CWnd::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (!Matches(entry, message, wParam, lParam)) continue;
        bool defaultWanted = false;
        bool* const outer = m_defaultWanted;  // handlers nest through modal loops
        m_defaultWanted = &defaultWanted;
        try {
            if (entry.plain) {
                (this->*entry.plain)();
                result = 0;
            } else {
                result = (this->*entry.withParams)(wParam, lParam);
            }
        } catch (...) {
            m_defaultWanted = outer;
            throw;
        }
        m_defaultWanted = outer;
        return !defaultWanted;
    }
    return false;
}
