// The byte limit of an edit and its code page 932 rule: subclasses that check
// each way text comes in (a typed character, a paste, an input-method result)
// before the edit sees it. The limit keeps the text's byte count between
// inputs, so that a key typed into a long text is checked without converting
// it all.
#include "framework/edit_byte_limit.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <optional>
#include <string>

#include "framework/clipboard.h"
#include "framework/text.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x51424C, kCp932SubclassId = 0x514243;  // arbitrary, ours

struct LimitState {
    std::size_t maxBytes = 0;
    std::uint64_t version = 1;
    bool known = false;  // whether `bytes` is the text's count
    bool pairs = false;  // the text holds surrogates, whose counts do not simply add up
    std::size_t bytes = 0;
};

// What an insertion let through should leave.
struct Expected {
    bool known = false, pairs = false;
    std::size_t units = 0, caret = 0, bytes = 0;
};

// The edit sets its modification flag on each change it makes itself (keys,
// cut, undo); the subclass clears it whenever it knows the text, so a set
// flag means a change it did not follow.
void Forget(HWND edit, LimitState& state) {
    ++state.version;
    state.known = false;
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
}

void Sync(HWND edit, LimitState& state) {
    if (SendMessageW(edit, EM_GETMODIFY, 0, 0)) Forget(edit, state);
}

bool HasSurrogates(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c >= 0xD800 && c <= 0xDFFF) return true;
    }
    return false;
}

// The text a typed character inserts, or nothing for keys that insert none.
// 0x7F (Ctrl+Backspace) is a character the classic edit inserts.
std::optional<std::wstring> TypedText(HWND edit, wchar_t c) {
    const bool multiline = (GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0;
    if (c == L'\r' || c == L'\n') return multiline ? std::optional<std::wstring>(L"\r\n") : std::nullopt;
    if (c == L'\t') return multiline ? std::optional<std::wstring>(L"\t") : std::nullopt;
    if (c < 0x20) return std::nullopt;  // editing keys and shortcuts
    return std::wstring(1, c);
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

// The text a message would bring in, or nothing; `unreadable` when it would
// paste a clipboard text that cannot be read.
std::optional<std::wstring> Incoming(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, bool& unreadable) {
    std::wstring text;
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        return TypedText(edit, static_cast<wchar_t>(wParam));
    case WM_KEYDOWN:  // Shift+Insert pastes without a WM_PASTE on some systems
        if (wParam != VK_INSERT || GetKeyState(VK_SHIFT) >= 0 || GetKeyState(VK_CONTROL) < 0) return std::nullopt;
        [[fallthrough]];
    case WM_PASTE:
        unreadable = !ReadClipboardText(edit, text);
        return text;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) return ImeResult(edit);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// Whether replacing the selection with `insert` fits; when it does and the
// subclass follows the edit (`state`), what the text will then be.
bool Fits(HWND edit, std::wstring_view insert, std::size_t maxBytes, LimitState* state, Expected* expected) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto units = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    end = static_cast<DWORD>(std::min<std::size_t>(end, units));
    start = std::min(start, end);
    const std::size_t newUnits = units - (end - start) + insert.size();
    if (newUnits > static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0))) return false;
    if (state) Sync(edit, *state);
    Expected after{true, false, newUnits, start + insert.size(), 0};
    if (state && state->known && !state->pairs && start == end && !HasSurrogates(insert)) {
        after.bytes = state->bytes + quenbol::Cp932Length(insert);
    } else if (newUnits * 2 <= maxBytes) {
        return true;  // no character takes more than two bytes; the count stays unknown
    } else {
        std::wstring text = quenbol::GetWindowTextWide(edit);
        if (state && !HasSurrogates(text)) {  // read anyway: the count is known from here on
            *state = {state->maxBytes, state->version, true, false, quenbol::Cp932Length(text)};
        }
        text.replace(start, end - start, insert);
        after.bytes = quenbol::Cp932Length(text);
        after.pairs = HasSurrogates(text);
    }
    if (after.bytes > maxBytes) return false;
    if (expected) *expected = after;
    return true;
}

LRESULT CALLBACK LimitProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    auto& state = *reinterpret_cast<LimitState*>(ref);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, LimitProc, kSubclassId);
        delete &state;
        return DefSubclassProc(edit, message, wParam, lParam);
    }
    Expected expected;
    bool insertion = false;
    try {
        bool unreadable = false;
        if (auto text = Incoming(edit, message, wParam, lParam, unreadable)) {
            insertion = true;
            if (unreadable || !Fits(edit, *text, state.maxBytes, &state, &expected)) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
    } catch (...) {  // out of memory while checking: refuse the input
        MessageBeep(MB_OK);
        return 0;
    }
    const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
    if (insertion) {  // the count is kept when the edit did just what was checked
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const bool asExpected = expected.known && end == expected.caret &&
                                static_cast<std::size_t>(GetWindowTextLengthW(edit)) == expected.units;
        Forget(edit, state);
        if (asExpected) state = {state.maxBytes, state.version, true, expected.pairs, expected.bytes};
    } else if (message == WM_SETTEXT || message == EM_SETHANDLE || message == EM_REPLACESEL || message == WM_CUT ||
               message == WM_CLEAR || message == WM_UNDO || message == EM_UNDO) {
        Forget(edit, state);
    }
    return result;
}

// The code page 932 rule: input holding a character without a form is
// refused, and so is a paste whose text cannot be read to check it.
LRESULT CALLBACK Cp932Proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, Cp932Proc, kCp932SubclassId);
        return DefSubclassProc(edit, message, wParam, lParam);
    }
    try {
        bool unreadable = false, lossless = true;
        if (auto text = Incoming(edit, message, wParam, lParam, unreadable)) {
            if (!unreadable) quenbol::ToCp932(*text, &lossless);
            if (unreadable || !lossless) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
    } catch (...) {  // out of memory while checking: refuse the input
        MessageBeep(MB_OK);
        return 0;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

LimitState* StateOf(HWND edit) {
    DWORD_PTR ref = 0;
    if (!edit || !GetWindowSubclass(edit, LimitProc, kSubclassId, &ref)) return nullptr;
    return reinterpret_cast<LimitState*>(ref);
}

}  // namespace

void LimitEditBytes(HWND edit, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    if (LimitState* state = StateOf(edit)) {
        state->maxBytes = maxBytes;
        return;
    }
    auto* state = new LimitState{maxBytes};
    if (!SetWindowSubclass(edit, LimitProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
        delete state;
        return;
    }
    Forget(edit, *state);
}

void RefuseTextWithoutCp932Form(HWND edit) { SetWindowSubclass(edit, Cp932Proc, kCp932SubclassId, 0); }

bool EditInsertionFits(HWND edit, std::wstring_view insert, std::size_t maxBytes) {
    return Fits(edit, insert, maxBytes, nullptr, nullptr);
}

std::uint64_t EditTextVersion(HWND edit) {
    LimitState* state = StateOf(edit);
    if (!state) return 0;
    Sync(edit, *state);
    return state->version;
}

void NoteEditTextBytes(HWND edit, std::uint64_t version, std::size_t bytes, bool lossless) {
    LimitState* state = StateOf(edit);
    if (!state || state->version != version || SendMessageW(edit, EM_GETMODIFY, 0, 0)) return;
    // Surrogates have no form; other losses only make the next check careful.
    *state = {state->maxBytes, version, true, !lossless, bytes};
}
