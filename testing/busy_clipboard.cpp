// Test support: a thread that holds the clipboard open.
#include "testing/busy_clipboard.h"

namespace quenbol::testing {

BusyClipboard::BusyClipboard(DWORD ms) : m_ms(ms) {
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, Hold, this, 0, nullptr);
    WaitForSingleObject(m_ready, 5000);
}

BusyClipboard::~BusyClipboard() {
    WaitForSingleObject(m_thread, 10000);
    CloseHandle(m_thread);
    CloseHandle(m_ready);
}

DWORD WINAPI BusyClipboard::Hold(void* param) {
    auto* self = static_cast<BusyClipboard*>(param);
    for (int attempt = 0; attempt < 50 && !self->m_opened; ++attempt) {
        self->m_opened = OpenClipboard(nullptr) != FALSE;
        if (!self->m_opened) Sleep(20);
    }
    SetEvent(self->m_ready);
    if (self->m_opened) {
        Sleep(self->m_ms);
        CloseClipboard();
    }
    return 0;
}

}  // namespace quenbol::testing
