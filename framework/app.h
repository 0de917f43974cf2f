// The application object and the process-wide helpers, message boxes among
// them. The program defines one global object of a class derived from
// CWinApp; WinMain runs its InitInstance, and the process ends when that returns.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class CWnd;

class CWinApp {
public:
    CWinApp();  // becomes the application object (there is one per process)
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once at start-up; the process ends when it returns.
    virtual BOOL InitInstance() = 0;

    // Three-dimensional controls are the system's own look: nothing to switch on.
    BOOL Enable3dControls() { return TRUE; }

    CWnd* m_pMainWnd = nullptr;  // the main window, if any
};

// The application object, or null when the program has none (a test program).
CWinApp* AfxGetApp();
// The application's main window, or null.
CWnd* AfxGetMainWnd();
// The executable's file name without its extension: every message box's caption.
const std::wstring& AfxGetAppName();
// The module that holds the dialog templates, icons and strings.
inline HINSTANCE AfxGetResourceHandle() { return GetModuleHandleW(nullptr); }
inline void AfxEnableControlContainer() {}  // no OLE controls: nothing to do

// The owner of a modal dialog or box: `parent` if given, else the last active
// popup of the main window (or of the active window when there is none).
HWND AfxGetSafeOwner(CWnd* parent);

// Shows `text` (code page 932 bytes, or UTF-16) in a message box owned by the
// active window, captioned with the application's name, with a warning icon
// unless `type` asks for another; returns the button pressed (IDOK, ...).
int AfxMessageBox(std::string_view cp932Text, UINT type = MB_OK);
int AfxMessageBox(std::wstring_view text, UINT type = MB_OK);
