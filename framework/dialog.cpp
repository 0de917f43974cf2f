// CDialog: modal run, placement and dispatch.
#include "framework/dialog.h"

#include <algorithm>
#include <new>

#include "framework/app.h"

namespace {

// Centres `dialog` over its visible owner, else on the primary screen, inside
// the work area (the dialog manager alone puts it at the owner's corner).
void CentreDialog(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && (!IsWindowVisible(owner) || IsIconic(owner))) owner = nullptr;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT area = monitor.rcWork;
    RECT over = area;
    if (owner) GetWindowRect(owner, &over);
    RECT rect;
    GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // Off the right and bottom edges first, so the top left stays on screen.
    const int x = std::max(area.left, std::min((over.left + over.right) / 2 - width / 2, area.right - width));
    const int y = std::max(area.top, std::min((over.top + over.bottom) / 2 - height / 2, area.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    HWND owner = AfxGetSafeOwner(m_pParentWnd);
    const bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, FALSE);

    m_endModal = false;
    m_nModalResult = -1;
    HWND dialog = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog && !m_endModal) {
        if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
        MSG msg;  // the program posts no WM_QUIT: GetMessageW ends only on an error
        while (!m_endModal && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (PreTranslateMessage(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Give the owner back its input and activation before this window goes,
    // so the system does not activate some other application's window.
    if (disabledOwner) EnableWindow(owner, TRUE);
    if (dialog && IsWindow(dialog)) {
        if (owner && GetActiveWindow() == dialog) SetActiveWindow(owner);
        DestroyWindow(dialog);
    }
    m_hWnd = nullptr;
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    m_endModal = true;
    if (m_hWnd) PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if it waits
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !msg->hwnd) return FALSE;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return IsDialogMessageW(m_hWnd, msg);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
        reinterpret_cast<CDialog*>(lParam)->m_hWnd = hwnd;
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return FALSE;  // messages before WM_INITDIALOG: default processing
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->m_endModal = true;
        return FALSE;
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(L"メモリが不足しています。", MB_OK | MB_ICONSTOP);
    } catch (...) {
        AfxMessageBox(L"処理を続けられませんでした。", MB_OK | MB_ICONSTOP);
    }
    return TRUE;  // the message was taken; nothing more happens with it
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CentreDialog(m_hWnd);
        return OnInitDialog();
    }
    LRESULT result = 0;
    if (DispatchToMap(message, wParam, lParam, result)) {
        // A dialog procedure returns a flag and leaves the result in DWLP_MSGRESULT,
        // but for a few, such as WM_QUERYDRAGICON (the one the program maps).
        if (message == WM_QUERYDRAGICON) return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {  // a button click, a menu or an accelerator
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: EndDialog(IDCANCEL); return TRUE;  // also Escape and the close box
        }
    }
    return FALSE;
}
