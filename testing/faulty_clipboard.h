// Test support: a clipboard API (ClipboardApi) that passes calls on to the
// system, fails where told, and counts the global blocks it saw allocated,
// freed and handed over; and helpers that read and mark the clipboard.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/clipboard.h"

namespace quenbol::testing {

struct FaultyClipboard {
    static inline bool failOpen = false, failAlloc = false, failSet = false;
    static inline int opened = 0, closed = 0, allocated = 0, freed = 0, handedOver = 0;

    static void Reset(bool open, bool alloc, bool set) {
        failOpen = open, failAlloc = alloc, failSet = set;
        opened = closed = allocated = freed = handedOver = 0;
    }
    static BOOL WINAPI Open(HWND owner) {
        if (failOpen) return FALSE;
        const BOOL ok = OpenClipboard(owner);
        opened += ok ? 1 : 0;
        return ok;
    }
    static BOOL WINAPI Close() {
        ++closed;
        return CloseClipboard();
    }
    static HGLOBAL WINAPI Alloc(UINT flags, SIZE_T size) {
        if (failAlloc) return nullptr;
        ++allocated;
        return GlobalAlloc(flags, size);
    }
    static HGLOBAL WINAPI Free(HGLOBAL block) {
        ++freed;
        return GlobalFree(block);
    }
    static HANDLE WINAPI Set(UINT format, HANDLE data) {
        if (failSet) return nullptr;
        ++handedOver;
        return SetClipboardData(format, data);
    }
    static const ClipboardApi& Api() {
        static const ClipboardApi api = {Open, EmptyClipboard, Alloc, GlobalLock, GlobalUnlock, Free, Set, Close};
        return api;
    }
};

// The CF_TEXT bytes on the clipboard, or "<none>".
std::string ClipboardTextBytes(HWND owner);

// Puts the text "marker" on the clipboard.
void PutClipboardMarker(HWND owner);
// Puts `text` on the clipboard as CF_UNICODETEXT.
void PutClipboardText(HWND owner, std::wstring_view text);

}  // namespace quenbol::testing
