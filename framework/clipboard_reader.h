// Reading text from the system clipboard, patiently: another program
// (clipboard history, remote desktop) often holds it for a moment.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Opens the clipboard, trying again a few times over about 200 ms.
bool OpenClipboardPatiently(HWND owner, BOOL(WINAPI* open)(HWND) = OpenClipboard);

// The text of a CF_UNICODETEXT block of `bytes` bytes: up to its first NUL,
// and never past its end (another program may leave the NUL out).
std::wstring ClipboardBlockText(const void* block, std::size_t bytes);

// The clipboard's text, or nothing when it holds none. False when it holds
// text that could not be read (the clipboard stayed busy, or the block could
// not be locked).
bool ReadClipboardText(HWND owner, std::wstring& text);
