// CDialog: modal run, dispatch and placement.
#include "framework/dialog.h"

#include <new>

#include "framework/app.h"
#include "framework/message_box.h"

namespace {

// Where a template puts its dialog, and whether it centres it itself.
struct TemplatePlacement {
    bool found = false;
    DWORD style = 0;
    short x = 0, y = 0;
};

TemplatePlacement ReadTemplatePlacement(UINT templateId) {
    TemplatePlacement placement;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!resource) return placement;
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!words) return placement;
    if (words[0] == 1 && words[1] == 0xFFFF) {  // DLGTEMPLATEEX: version, signature, helpID, exStyle, style, count, x, y
        placement.style = MAKELONG(words[6], words[7]);
        placement.x = static_cast<short>(words[9]);
        placement.y = static_cast<short>(words[10]);
    } else {  // DLGTEMPLATE: style, exStyle, count, x, y
        placement.style = MAKELONG(words[0], words[1]);
        placement.x = static_cast<short>(words[5]);
        placement.y = static_cast<short>(words[6]);
    }
    placement.found = true;
    return placement;
}

// Centres `dialog` over its owner, or on the owner's (or primary) screen when
// there is no visible owner; kept inside the work area.
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
    int x = (over.left + over.right) / 2 - width / 2;
    int y = (over.top + over.bottom) / 2 - height / 2;
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Messages whose dialog-procedure result is the value itself, not a flag.
bool ReturnsValueDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd) {  // still open: unlink first, no message may reach a dying object
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal() {
    HWND owner = AfxGetSafeOwner(m_pParentWnd);
    const bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, FALSE);

    m_endModal = false;
    m_nModalResult = -1;
    HWND dialog = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog) {
        if (!m_endModal) {
            if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
            RunModalLoop();
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

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_endModal) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {  // WM_QUIT: end this loop and leave it for the outer one
            PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !msg->hwnd) return FALSE;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return IsDialogMessageW(m_hWnd, msg);
}

void CDialog::PlaceAsTemplateAsks() {
    // A template at (0, 0) without DS_CENTER asks to be centred over its
    // owner (on the screen when it has none); the dialog manager alone would
    // put it at the owner's corner.
    const TemplatePlacement placement = ReadTemplatePlacement(m_nIDTemplate);
    if (placement.found && placement.x == 0 && placement.y == 0 &&
        !(placement.style & (DS_CENTER | WS_CHILD))) {
        CentreDialog(m_hWnd);
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
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
        PlaceAsTemplateAsks();
        return OnInitDialog();
    }
    LRESULT result = 0;
    if (DispatchToMap(message, wParam, lParam, result)) return ReturnResult(message, result);
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {  // a button click, a menu or an accelerator
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

INT_PTR CDialog::ReturnResult(UINT message, LRESULT result) {
    if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
