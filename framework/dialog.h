// CDialog: a dialog window made from a dialog template and run modally by
// DoModal, with its own message loop, so that PreTranslateMessage sees every
// message before the dialog manager's keyboard handling does.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    // `templateId` names a dialog template in the program's resources; with
    // no parent, DoModal finds the owner (AfxGetSafeOwner).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Disables the owner, creates the dialog centred over the owner (on the
    // screen when there is none) and runs the modal loop until EndDialog, then
    // gives the owner back its input and activation and destroys the dialog.
    // Returns the EndDialog result, or -1 if the dialog could not be made.
    INT_PTR DoModal();
    void EndDialog(int result);

    // ---- override these (call the base version)
    // Before the dialog is first shown. The base writes the fields into the
    // controls (UpdateData(FALSE)); TRUE lets the dialog manager focus the first tab stop.
    virtual BOOL OnInitDialog();
    // IDOK: ends the dialog with IDOK if reading the controls (UpdateData(TRUE)) succeeded.
    virtual void OnOK();
    // The dialog keyboard interface (Tab, arrows, mnemonics, Enter, Escape).
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool m_endModal = false;
    INT_PTR m_nModalResult = -1;
};
