// Test support: reading and marking the system clipboard.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quenbol::testing {

// The CF_TEXT bytes on the clipboard, or "<none>", or "<unreadable>" when
// its block cannot be locked.
std::string ClipboardTextBytes(HWND owner);

// Puts the text "marker" on the clipboard.
void PutClipboardMarker(HWND owner);
// Puts `text` on the clipboard as CF_UNICODETEXT.
void PutClipboardText(HWND owner, std::wstring_view text);

}  // namespace quenbol::testing
