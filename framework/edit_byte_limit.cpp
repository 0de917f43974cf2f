// An edit's byte limit and its code page 932 rule, in one subclass that checks
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

constexpr UINT_PTR kSubclassId = 0x51424C;  // arbitrary, ours

struct Rules {
    bool limited = false, cp932Only = false;
    std::size_t maxBytes = 0;
    std::uint64_t version = 1;  // followed under a limit only
    bool known = false;         // whether `bytes` is the text's count
    bool pairs = false;         // the text holds surrogates, whose counts do not simply add up
    std::size_t bytes = 0;
};

// What an insertion let through should leave.
struct Expected {
    bool known = false, pairs = false;
    std::size_t units = 0, caret = 0, bytes = 0;
};

void Know(Rules& rules, std::size_t bytes, bool pairs) {
    rules.known = true;
    rules.bytes = bytes;
    rules.pairs = pairs;
}

// The edit sets its modification flag on each change it makes itself (keys,
// cut, undo); the subclass clears it whenever it knows the text, so a set
// flag means a change it did not follow.
void Forget(HWND edit, Rules& rules) {
    ++rules.version;
    rules.known = false;
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
}

void Sync(HWND edit, Rules& rules) {
    if (SendMessageW(edit, EM_GETMODIFY, 0, 0)) Forget(edit, rules);
}

bool HasSurrogates(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; });
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
// subclass follows the edit (`rules`), what the text will then be.
bool Fits(HWND edit, std::wstring_view insert, std::size_t maxBytes, Rules* rules, Expected* expected) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto units = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    end = static_cast<DWORD>(std::min<std::size_t>(end, units));
    start = std::min(start, end);
    const std::size_t newUnits = units - (end - start) + insert.size();
    if (newUnits > static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0))) return false;
    if (rules) Sync(edit, *rules);
    Expected after{true, false, newUnits, start + insert.size(), 0};
    if (rules && rules->known && !rules->pairs && start == end && !HasSurrogates(insert)) {
        after.bytes = rules->bytes + quenbol::Cp932Length(insert);
    } else if (newUnits * 2 <= maxBytes) {
        return true;  // no character takes more than two bytes; the count stays unknown
    } else {
        std::wstring text = quenbol::GetWindowTextWide(edit);
        if (rules && !HasSurrogates(text)) Know(*rules, quenbol::Cp932Length(text), false);  // known from here on
        text.replace(start, end - start, insert);
        after.bytes = quenbol::Cp932Length(text);
        after.pairs = HasSurrogates(text);
    }
    if (after.bytes > maxBytes) return false;
    if (expected) *expected = after;
    return true;
}

// Whether the rules let the incoming text in.
bool Admits(HWND edit, Rules& rules, const std::wstring& text, Expected& expected) {
    bool lossless = true;
    if (rules.cp932Only) quenbol::ToCp932(text, &lossless);
    return lossless && (!rules.limited || Fits(edit, text, rules.maxBytes, &rules, &expected));
}

LRESULT CALLBACK RulesProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    auto& rules = *reinterpret_cast<Rules*>(ref);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, RulesProc, kSubclassId);
        delete &rules;
        return DefSubclassProc(edit, message, wParam, lParam);
    }
    Expected expected;
    bool insertion = false;
    try {
        bool unreadable = false;
        if (auto text = Incoming(edit, message, wParam, lParam, unreadable)) {
            insertion = true;
            if (unreadable || !Admits(edit, rules, *text, expected)) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
    } catch (...) {  // out of memory while checking: refuse the input
        MessageBeep(MB_OK);
        return 0;
    }
    const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
    if (!rules.limited) return result;
    if (insertion) {  // the count is kept when the edit did just what was checked
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const bool asExpected = expected.known && end == expected.caret &&
                                static_cast<std::size_t>(GetWindowTextLengthW(edit)) == expected.units;
        Forget(edit, rules);
        if (asExpected) Know(rules, expected.bytes, expected.pairs);
    } else if (message == WM_SETTEXT || message == EM_SETHANDLE || message == EM_REPLACESEL || message == WM_CUT ||
               message == WM_CLEAR || message == WM_UNDO || message == EM_UNDO) {
        Forget(edit, rules);
    }
    return result;
}

Rules* RulesOf(HWND edit) {
    DWORD_PTR ref = 0;
    if (!edit || !GetWindowSubclass(edit, RulesProc, kSubclassId, &ref)) return nullptr;
    return reinterpret_cast<Rules*>(ref);
}

// The edit's rules, given to it now if it has none yet (null if that fails).
Rules* AttachRules(HWND edit) {
    if (Rules* rules = RulesOf(edit)) return rules;
    auto* rules = new Rules;
    if (SetWindowSubclass(edit, RulesProc, kSubclassId, reinterpret_cast<DWORD_PTR>(rules))) return rules;
    delete rules;
    return nullptr;
}

}  // namespace

void LimitEditBytes(HWND edit, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    Rules* rules = AttachRules(edit);
    if (!rules) return;
    rules->maxBytes = maxBytes;
    if (!rules->limited) {
        rules->limited = true;
        Forget(edit, *rules);
    }
}

void RefuseTextWithoutCp932Form(HWND edit) {
    if (Rules* rules = AttachRules(edit)) rules->cp932Only = true;
}

bool EditInsertionFits(HWND edit, std::wstring_view insert, std::size_t maxBytes) {
    return Fits(edit, insert, maxBytes, nullptr, nullptr);
}

std::uint64_t EditTextVersion(HWND edit) {
    Rules* rules = RulesOf(edit);
    if (!rules || !rules->limited) return 0;
    Sync(edit, *rules);
    return rules->version;
}

void NoteEditTextBytes(HWND edit, std::uint64_t version, std::size_t bytes, bool lossless) {
    Rules* rules = RulesOf(edit);
    if (!rules || !rules->limited || rules->version != version || SendMessageW(edit, EM_GETMODIFY, 0, 0)) return;
    Know(*rules, bytes, !lossless);  // surrogates have no form; other losses only make the next check careful
}
