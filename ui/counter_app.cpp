// CCounterApp: start-up.
#include "ui/counter_app.h"

#include <commctrl.h>

#include "ui/counter_dlg.h"

BOOL CCounterApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    InitCommonControls();

    CCounterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();  // how it ended makes no difference: the program ends
    m_pMainWnd = nullptr;
    return FALSE;
}
