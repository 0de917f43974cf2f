// The application object and process-wide helpers.
#include "framework/app.h"

#include "framework/wnd.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (m_pMainWnd && m_pMainWnd->PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return ExitInstance();
}

BOOL CWinApp::Enable3dControls() { return TRUE; }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

const std::wstring& AfxGetAppName() {
    static const std::wstring name = [] {
        std::wstring path(32768, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        path.resize(length);
        const std::size_t slash = path.find_last_of(L"\\/");
        std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
        const std::size_t dot = file.rfind(L'.');
        if (dot != std::wstring::npos) file.resize(dot);
        return file;
    }();
    return name;
}

HINSTANCE AfxGetResourceHandle() {
    if (g_app && g_app->m_hInstance) return g_app->m_hInstance;
    return GetModuleHandleW(nullptr);
}

void AfxEnableControlContainer() {}

HWND AfxGetSafeOwner(CWnd* parent) {
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        owner = main ? main->m_hWnd : nullptr;
        if (!owner) owner = GetActiveWindow();
    }
    // A popup cannot be owned by a child window.
    while (owner && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    if (!parent && owner) owner = GetLastActivePopup(owner);
    return owner;
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) DestroyWindow(app->m_pMainWnd->m_hWnd);
        return app->ExitInstance();
    }
    return app->Run();
}
