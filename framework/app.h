// The application object and the process-wide helpers around it.
// The program defines one global object of a class derived from CWinApp;
// WinMain (framework/winmain.cpp) runs its InitInstance, and when that
// returns FALSE the process ends without a message loop of its own.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();  // becomes the application object (there is one per process)
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // ---- override these
    // Called once at start-up; FALSE ends the process after ExitInstance.
    virtual BOOL InitInstance();
    // Called when the application ends; the result is the process exit code.
    virtual int ExitInstance();
    // The message loop run when InitInstance returns TRUE.
    virtual int Run();

    // Three-dimensional controls are the system's own look on Win32: there
    // is nothing to switch on. Returns TRUE.
    BOOL Enable3dControls();

    CWnd* m_pMainWnd = nullptr;  // the main window, if any
    HINSTANCE m_hInstance = nullptr;
};

// The application object, or null when the program has none (a test program).
CWinApp* AfxGetApp();
// The application's main window, or null.
CWnd* AfxGetMainWnd();
// The application's name: the executable's file name without its extension.
// It is the caption of every message box.
const std::wstring& AfxGetAppName();
// The module that holds the dialog templates, icons and strings.
HINSTANCE AfxGetResourceHandle();
// OLE control hosting is not used by this framework: nothing to do.
void AfxEnableControlContainer();

// The window a modal dialog or box should be owned by: `parent` if given,
// else the last active popup of the main window (or of the active window when
// there is no main window); null when there is none.
HWND AfxGetSafeOwner(CWnd* parent);

// What WinMain does: runs the application object (InitInstance, then Run
// or ExitInstance); returns the exit code.
int AfxWinMain(HINSTANCE instance);
