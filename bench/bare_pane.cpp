// quenbol-bare-pane: the main window's dialog template shown with nothing of
// the program behind it. Its text pane is the system's edit control alone,
// with the same class, style, size and font, and a limit that holds the same
// texts. bench/window.sh pastes and types into it with quenbol-driver, just as
// into the program. The gap between the two is what the program adds; the
// rest is the edit control's own work.
#include <windows.h>

#include "core/roster.h"
#include "framework/text.h"
#include "res/resource.h"

namespace {

INT_PTR CALLBACK BarePaneProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // A text within the program's byte limit has no more UTF-16 units
        // than bytes, so this limit lets in every text the program's does.
        SendDlgItemMessageW(dialog, IDC_TEXT, EM_SETLIMITTEXT, 9'999'999, 0);
        SetDlgItemTextW(dialog, IDC_TEXT, quenbol::ToWide(quenbol::InitialPrompt).c_str());  // as the program starts
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_QUENBOL_DIALOG), nullptr, BarePaneProc, 0));
}
