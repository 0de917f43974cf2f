// The byte limit of an edit: a subclass that checks each way text comes in
// (a typed character, a paste, an input-method result) before the edit sees it.
#include "framework/edit_byte_limit.h"

#include <commctrl.h>
#include <imm.h>

#include <optional>
#include <string>

#include "framework/text.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x51424C;  // arbitrary, ours

// The text a typed character inserts, or nothing for keys that insert none.
std::optional<std::wstring> TypedText(HWND edit, wchar_t c) {
    const bool multiline = (GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0;
    if (c == L'\r' || c == L'\n') return multiline ? std::optional<std::wstring>(L"\r\n") : std::nullopt;
    if (c == L'\t') return multiline ? std::optional<std::wstring>(L"\t") : std::nullopt;
    if (c < 0x20 || c == 0x7F) return std::nullopt;  // editing keys and shortcuts
    return std::wstring(1, c);
}

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring ImeResult(HWND edit) {
    std::wstring text;
    HIMC context = ImmGetContext(edit);
    if (!context) return text;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        text.resize(static_cast<std::size_t>(bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(edit, context);
    return text;
}

bool Refuse() {
    MessageBeep(MB_OK);
    return true;
}

// True when the message would bring in text that does not fit; the caller
// then swallows it.
bool WouldOverflow(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, std::size_t maxBytes) {
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        if (auto text = TypedText(edit, static_cast<wchar_t>(wParam))) {
            return !EditInsertionFits(edit, *text, maxBytes) && Refuse();
        }
        return false;
    case WM_PASTE:
        return !EditInsertionFits(edit, ClipboardText(edit), maxBytes) && Refuse();
    case WM_KEYDOWN:  // Shift+Insert pastes without a WM_PASTE on some systems
        if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
            return !EditInsertionFits(edit, ClipboardText(edit), maxBytes) && Refuse();
        }
        return false;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) return !EditInsertionFits(edit, ImeResult(edit), maxBytes) && Refuse();
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK LimitProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR maxBytes) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, LimitProc, kSubclassId);
    } else {
        try {
            if (WouldOverflow(edit, message, wParam, lParam, static_cast<std::size_t>(maxBytes))) return 0;
        } catch (...) {  // out of memory while checking: refuse the input
            Refuse();
            return 0;
        }
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void LimitEditBytes(HWND edit, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    SetWindowSubclass(edit, LimitProc, kSubclassId, static_cast<DWORD_PTR>(maxBytes));
}

bool EditInsertionFits(HWND edit, std::wstring_view insert, std::size_t maxBytes) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto units = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    if (end > units) end = static_cast<DWORD>(units);
    if (start > end) start = end;
    const std::size_t newUnits = units - (end - start) + insert.size();
    const auto unitLimit = static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    if (newUnits > unitLimit) return false;  // the edit would cut it short
    if (newUnits * 2 <= maxBytes) return true;  // no character takes more than two bytes
    std::wstring text = quenbol::GetWindowTextWide(edit);
    text.replace(start, end - start, insert);
    return quenbol::ToCp932(text).size() <= maxBytes;
}
