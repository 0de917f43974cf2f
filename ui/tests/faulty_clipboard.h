// Test support: a clipboard API (ClipboardApi) that passes calls on to the
// system, fails where told, and counts the global blocks it saw allocated,
// freed and handed over.
#pragma once

#include <windows.h>

#include "ui/clipboard_writer.h"

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

}  // namespace quenbol::testing
