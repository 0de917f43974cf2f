// Handing text to the system clipboard.
#include "framework/clipboard.h"

#include <cstring>

const ClipboardApi& SystemClipboardApi() {
    static const ClipboardApi api = {OpenClipboard, EmptyClipboard, GlobalAlloc, GlobalLock,
                                     GlobalUnlock,  GlobalFree,     SetClipboardData, CloseClipboard};
    return api;
}

bool OpenClipboardPatiently(HWND owner, BOOL(WINAPI* open)(HWND)) {
    constexpr int kTries = 10;
    for (int attempt = 1;; ++attempt) {
        if (open(owner)) return true;
        if (attempt == kTries) return false;
        Sleep(20);
    }
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
    bool read = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const void* block = GlobalLock(data)) {
            try {
                text = ClipboardBlockText(block, GlobalSize(data));
                read = true;
            } catch (...) {  // out of memory: unlock and close before passing it on
                GlobalUnlock(data);
                CloseClipboard();
                throw;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return read;
}

WindowsClipboard::WindowsClipboard(HWND owner, const ClipboardApi& api) : m_owner(owner), m_api(api) {}

bool WindowsClipboard::PlaceText(std::string_view text) {
    // The block is made before the clipboard is opened, so that running out
    // of memory leaves the clipboard with what it held.
    // GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE
    HGLOBAL block = m_api.alloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, text.size() + 1);
    if (!block) return false;
    auto* bytes = static_cast<char*>(m_api.lock(block));
    if (!bytes || !OpenClipboardPatiently(m_owner, m_api.open)) {
        if (bytes) m_api.unlock(block);
        m_api.free(block);
        return false;
    }
    std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    m_api.unlock(block);
    m_api.empty();
    const bool placed = m_api.setData(CF_TEXT, block) != nullptr;  // from here on the clipboard owns it
    if (!placed) m_api.free(block);
    m_api.close();
    return placed;
}
