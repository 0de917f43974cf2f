// The byte limit of an edit and its code page 932 rule: subclasses that check
// each way text comes in (a typed character, a paste, an input-method result)
// before the edit sees it.
#include "framework/edit_byte_limit.h"

#include <commctrl.h>
#include <imm.h>

#include <optional>
#include <string>

#include "core/cp932.h"
#include "framework/text.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x51424C, kCp932SubclassId = 0x514243;  // arbitrary, ours

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

LRESULT Refuse() {
    MessageBeep(MB_OK);
    return 0;
}

// The text a message would bring in, or nothing.
std::optional<std::wstring> Incoming(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        return TypedText(edit, static_cast<wchar_t>(wParam));
    case WM_KEYDOWN:  // Shift+Insert pastes without a WM_PASTE on some systems
        if (wParam != VK_INSERT || GetKeyState(VK_SHIFT) >= 0 || GetKeyState(VK_CONTROL) < 0) return std::nullopt;
        [[fallthrough]];
    case WM_PASTE:
        return ClipboardText(edit);
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) return ImeResult(edit);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// A subclass procedure that swallows, with a beep, input for which `refuse`
// holds (and any input while out of memory to check it).
template <bool (*refuse)(HWND, const std::wstring&, DWORD_PTR)>
LRESULT CALLBACK CheckProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, CheckProc<refuse>, id);
    } else {
        try {
            if (auto text = Incoming(edit, message, wParam, lParam); text && refuse(edit, *text, ref)) return Refuse();
        } catch (...) {
            return Refuse();
        }
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

bool TooLong(HWND edit, const std::wstring& text, DWORD_PTR maxBytes) {
    return !EditInsertionFits(edit, text, static_cast<std::size_t>(maxBytes));
}

bool WithoutCp932Form(HWND, const std::wstring& text, DWORD_PTR) {
    bool lossless = true;
    quenbol::Utf16ToCp932({reinterpret_cast<const char16_t*>(text.data()), text.size()}, &lossless);
    return !lossless;
}

}  // namespace

void LimitEditBytes(HWND edit, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    SetWindowSubclass(edit, CheckProc<TooLong>, kSubclassId, static_cast<DWORD_PTR>(maxBytes));
}

void RefuseTextWithoutCp932Form(HWND edit) {
    SetWindowSubclass(edit, CheckProc<WithoutCp932Form>, kCp932SubclassId, 0);
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
