// Test support: reading and marking the clipboard.
#include "testing/faulty_clipboard.h"

#include <cstring>

namespace quenbol::testing {

std::string ClipboardTextBytes(HWND owner) {
    std::string bytes = "<none>";
    for (int attempt = 0; attempt < 20 && !OpenClipboard(owner); ++attempt) Sleep(20);
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        bytes = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

void PutClipboardMarker(HWND owner) {
    for (int attempt = 0; attempt < 20 && !OpenClipboard(owner); ++attempt) Sleep(20);
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 7);
    memcpy(GlobalLock(block), "marker", 7);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

}  // namespace quenbol::testing
