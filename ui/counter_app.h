// CCounterApp: the application object. It runs the main window modally and
// lets the process end when the window closes.
#pragma once

#include "framework/app.h"

class CCounterApp : public CWinApp {
public:
    // Shows the main window until it closes; always FALSE, so that no
    // message loop follows and the process ends.
    BOOL InitInstance() override;
};
