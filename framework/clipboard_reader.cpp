// Reading text from the system clipboard.
#include "framework/clipboard_reader.h"

bool OpenClipboardPatiently(HWND owner, BOOL(WINAPI* open)(HWND)) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (attempt > 0) Sleep(20);
        if (open(owner)) return true;
    }
    return false;
}

std::wstring ClipboardBlockText(const void* block, std::size_t bytes) {
    const auto* units = static_cast<const wchar_t*>(block);
    const std::size_t limit = bytes / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < limit && units[length] != L'\0') ++length;
    return std::wstring(units, length);
}

bool ReadClipboardText(HWND owner, std::wstring& text) {
    text.clear();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return true;
    if (!OpenClipboardPatiently(owner)) return false;
    struct Close {  // however the read ends, out of memory included
        ~Close() { CloseClipboard(); }
    } close;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const void* block = data ? GlobalLock(data) : nullptr;
    if (!block) return false;
    struct Unlock {
        HANDLE data;
        ~Unlock() { GlobalUnlock(data); }
    } unlock{data};
    text = ClipboardBlockText(block, GlobalSize(data));
    return true;
}
