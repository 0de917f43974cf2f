// CDialog: a dialog window made from a dialog template and run modally by
// DoModal, with its own message loop, so that PreTranslateMessage sees every
// message before the dialog manager's keyboard handling does.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    // `templateId` names a dialog template in the program's resources. With no
    // parent, the owner is found when DoModal runs (see AfxGetSafeOwner).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog, disables its owner, runs the modal loop until
    // EndDialog, then re-enables and re-activates the owner and destroys the
    // dialog. Returns the EndDialog result, or -1 if the dialog could not be made.
    INT_PTR DoModal();
    // Ends the modal loop with `result` (the dialog closes when DoModal returns).
    void EndDialog(int result);

    // ---- override these (call the base version where noted)
    // The dialog exists and its controls too, before it is first shown. The
    // base writes the fields into the controls (UpdateData(FALSE)). TRUE lets
    // the dialog manager focus the first tab stop.
    virtual BOOL OnInitDialog();
    // IDOK: reads the controls (UpdateData(TRUE)) and ends the dialog with
    // IDOK only if that succeeded.
    virtual void OnOK();
    // IDCANCEL (also Escape and the close box): ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // The dialog keyboard interface (Tab, arrows, mnemonics, Enter, Escape) for
    // messages to the dialog or its controls.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR ReturnResult(UINT message, LRESULT result);
    void RunModalLoop();
    void PlaceAsTemplateAsks();

    bool m_endModal = false;
    INT_PTR m_nModalResult = -1;
};
