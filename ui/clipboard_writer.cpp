// Handing text to the system clipboard.
#include "ui/clipboard_writer.h"

#include <cstring>

#include "framework/clipboard_reader.h"

const ClipboardApi& SystemClipboardApi() {
    static const ClipboardApi api = {OpenClipboard, EmptyClipboard, GlobalAlloc, GlobalLock,
                                     GlobalUnlock,  GlobalFree,     SetClipboardData, CloseClipboard};
    return api;
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
