// The application object and process-wide helpers.
#include "framework/app.h"

#include "framework/text.h"
#include "framework/wnd.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

const std::wstring& AfxGetAppName() {
    static const std::wstring name = [] {
        std::wstring path(32768, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
        std::wstring file = path.substr(path.find_last_of(L"\\/") + 1);  // npos + 1 is 0
        return file.substr(0, file.rfind(L'.'));
    }();
    return name;
}

HWND AfxGetSafeOwner(CWnd* parent) {
    if (parent && parent->m_hWnd) return parent->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    HWND owner = main && main->m_hWnd ? main->m_hWnd : GetActiveWindow();
    return owner ? GetLastActivePopup(owner) : nullptr;
}

int AfxMessageBox(std::string_view cp932Text, UINT type) { return AfxMessageBox(quenbol::ToWide(cp932Text), type); }

int AfxMessageBox(std::wstring_view text, UINT type) {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return MessageBoxW(AfxGetSafeOwner(nullptr), std::wstring(text).c_str(), AfxGetAppName().c_str(), type);
}
