// The copy button's clipboard writer: the core's text (ClipboardSink) goes
// on the system clipboard as CF_TEXT, code page 932 bytes.
// The Win32 calls go through a table of function pointers so that tests can
// make any of them fail.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/results_line.h"

struct ClipboardApi {
    BOOL(WINAPI* open)(HWND);
    BOOL(WINAPI* empty)();
    HGLOBAL(WINAPI* alloc)(UINT, SIZE_T);
    LPVOID(WINAPI* lock)(HGLOBAL);
    BOOL(WINAPI* unlock)(HGLOBAL);
    HGLOBAL(WINAPI* free)(HGLOBAL);
    HANDLE(WINAPI* setData)(UINT, HANDLE);
    BOOL(WINAPI* close)();
};

// The real clipboard and global-memory functions.
const ClipboardApi& SystemClipboardApi();

class WindowsClipboard : public quenbol::ClipboardSink {
public:
    // `owner` is the window that opens the clipboard (the main window).
    explicit WindowsClipboard(HWND owner, const ClipboardApi& api = SystemClipboardApi());

    // Hands over a movable shared block with the text and a NUL, the clipboard
    // emptied first. If the block cannot be made or the clipboard opened
    // (patiently), the clipboard keeps what it held; if the hand-over is
    // refused, it is left empty. True when the text was placed.
    bool PlaceText(std::string_view text) override;

private:
    HWND m_owner;
    const ClipboardApi& m_api;
};
