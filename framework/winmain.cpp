// The program's entry point: runs the application object's InitInstance,
// which shows the main window modally; the process then ends.
#include <windows.h>

#include "framework/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->InitInstance();
    return 0;
}
