// Test support: reading and marking the clipboard.
#include "testing/clipboard_contents.h"

#include <cstring>

namespace quenbol::testing {

std::string ClipboardTextBytes(HWND owner) {
    std::string bytes = "<none>";
    for (int attempt = 0; attempt < 20 && !OpenClipboard(owner); ++attempt) Sleep(20);
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        // A block freed after the hand-over cannot be locked. (A crash here
        // would not fail the test: the system swallows crashes in the modal
        // scripts' timer callbacks.)
        const auto* text = static_cast<const char*>(GlobalLock(data));
        bytes = text ? text : "<unreadable>";
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

void PutClipboardText(HWND owner, std::wstring_view text) {
    for (int attempt = 0; attempt < 50 && !OpenClipboard(owner); ++attempt) Sleep(20);
    EmptyClipboard();
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    memcpy(GlobalLock(block), text.data(), text.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

}  // namespace quenbol::testing
