// Test support: another thread holds the clipboard open for a while, as
// clipboard history or a remote-desktop client does on Windows.
#pragma once

#include <windows.h>

namespace quenbol::testing {

class BusyClipboard {
public:
    // Returns once the other thread has the clipboard open; it closes it
    // after `ms` milliseconds.
    explicit BusyClipboard(DWORD ms);
    // Waits for the other thread to close the clipboard and end.
    ~BusyClipboard();
    BusyClipboard(const BusyClipboard&) = delete;
    BusyClipboard& operator=(const BusyClipboard&) = delete;

    bool Holding() const { return m_opened; }

private:
    static DWORD WINAPI Hold(void* self);
    DWORD m_ms;
    bool m_opened = false;
    HANDLE m_ready = nullptr;
    HANDLE m_thread = nullptr;
};

}  // namespace quenbol::testing
