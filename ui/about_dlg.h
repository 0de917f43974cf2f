// CAboutDlg: the About box (template 100), opened from the main window's
// system menu. It has no fields and no handlers of its own: OK, Enter,
// Escape and the close box end it through the dialog's default handling.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
