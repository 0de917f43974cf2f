// The system clipboard as a place for the core's text (ClipboardSink):
// the text goes on the clipboard as CF_TEXT, code page 932 bytes.
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

    // Opens the clipboard (gives up silently if it cannot), empties it and
    // hands over a movable shared block holding the text and a NUL. If the
    // block cannot be made or handed over, the clipboard is closed with
    // nothing placed and the block is freed. True when the text was placed.
    bool PlaceText(std::string_view text) override;

private:
    HWND m_owner;
    const ClipboardApi& m_api;
};
