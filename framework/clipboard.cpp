// Handing text to the system clipboard.
#include "framework/clipboard.h"

#include <cstring>

const ClipboardApi& SystemClipboardApi() {
    static const ClipboardApi api = {OpenClipboard, EmptyClipboard, GlobalAlloc, GlobalLock,
                                     GlobalUnlock,  GlobalFree,     SetClipboardData, CloseClipboard};
    return api;
}

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

WindowsClipboard::WindowsClipboard(HWND owner, const ClipboardApi& api) : m_owner(owner), m_api(api) {}

bool WindowsClipboard::PlaceText(std::string_view text) {
    // The block is made before the clipboard is opened, so that running out
    // of memory leaves the clipboard with what it held.
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
