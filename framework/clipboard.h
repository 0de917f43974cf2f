// The system clipboard as a place for the core's text (ClipboardSink):
// the text goes on the clipboard as CF_TEXT, code page 932 bytes.
// The Win32 calls go through a table of function pointers so that tests can
// make any of them fail.
#pragma once

#include <windows.h>

#include <string>
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

// Opens the clipboard, trying again a few times over about 200 ms: another
// program (clipboard history, remote desktop) often holds it for a moment.
bool OpenClipboardPatiently(HWND owner, BOOL(WINAPI* open)(HWND) = OpenClipboard);

// The text of a CF_UNICODETEXT block of `bytes` bytes: up to its first NUL,
// and never past its end (another program may leave the NUL out).
std::wstring ClipboardBlockText(const void* block, std::size_t bytes);

// The clipboard's text, or nothing when it holds none. False when it holds
// text that could not be read (the clipboard stayed busy, or the block could
// not be locked).
bool ReadClipboardText(HWND owner, std::wstring& text);

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
