// An edit's byte limit and its code page 932 rule, in one subclass that checks
// each way text comes in (a typed character, a paste, an input-method result)
// before the edit sees it.
#include "framework/edit_filter.h"

#include <imm.h>

#include <algorithm>

#include "framework/clipboard_reader.h"
#include "framework/text.h"
#include "framework/window_subclass.h"

namespace {

constexpr wchar_t kRulesName[] = L"quenbol.editRules";

struct Rules {
    bool limited = false, cp932Only = false;
    std::size_t maxBytes = 0;
};

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

// Shift+Insert pastes without a WM_PASTE on some systems.
bool IsShiftInsert(WPARAM key) {
    return key == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0;
}

// A single-line edit pastes a text up to its first line break: a LF, with
// the CR before it.
std::size_t FirstLineLength(std::wstring_view text) {
    const std::size_t lf = text.find(L'\n');
    if (lf == std::wstring_view::npos) return text.size();
    return lf > 0 && text[lf - 1] == L'\r' ? lf - 1 : lf;
}

// Whether the rules let the incoming text in.
bool Admits(HWND edit, const Rules& rules, const std::wstring& text) {
    bool lossless = true;
    if (rules.cp932Only) quenbol::ToCp932(text, &lossless);
    return lossless && (!rules.limited || EditInsertionFits(edit, text, rules.maxBytes));
}

LRESULT CALLBACK RulesProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const Rules& rules = SubclassOf<Rules>(edit).state;
    std::optional<std::wstring> text;
    try {
        bool unreadable = false;
        if ((text = EditIncomingText(edit, message, wParam, lParam, unreadable))) {
            if (unreadable || !Admits(edit, rules, *text)) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
    } catch (...) {  // out of memory while checking: refuse the input
        MessageBeep(MB_OK);
        return 0;
    }
    if (text && PastesCheckedTextItself(edit, message, wParam, *text)) {
        return CallPrevious<Rules>(edit, kRulesName, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text->c_str()));
    }
    return CallPrevious<Rules>(edit, kRulesName, message, wParam, lParam);
}

// The edit's rules, given to it now if it has none yet (null if that fails).
Rules* AttachRules(HWND edit) {
    Subclassed<Rules>* subclass = AttachSubclass<Rules>(edit, kRulesName, RulesProc);
    return subclass ? &subclass->state : nullptr;
}

}  // namespace

void LimitEditBytes(HWND edit, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    if (Rules* rules = AttachRules(edit)) {
        rules->limited = true;
        rules->maxBytes = maxBytes;
    }
}

void RefuseTextWithoutCp932Form(HWND edit) {
    if (Rules* rules = AttachRules(edit)) rules->cp932Only = true;
}

// Below half the limit in units the insertion always fits: no character
// takes more than two bytes.
std::optional<EditReplacement> PlanEditReplacement(HWND edit, std::size_t insertUnits) {
    EditReplacement plan;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&plan.start), reinterpret_cast<LPARAM>(&plan.end));
    plan.units = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    plan.end = static_cast<DWORD>(std::min<std::size_t>(plan.end, plan.units));
    plan.start = std::min(plan.start, plan.end);
    plan.newUnits = plan.units - (plan.end - plan.start) + insertUnits;
    if (plan.newUnits > static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0))) return std::nullopt;
    return plan;
}

bool EditInsertionFits(HWND edit, std::wstring_view insert, std::size_t maxBytes) {
    const std::optional<EditReplacement> plan = PlanEditReplacement(edit, insert.size());
    if (!plan || plan->newUnits * 2 <= maxBytes) return plan.has_value();  // no character takes 3 bytes
    std::wstring text = quenbol::GetWindowTextWide(edit);
    text.replace(plan->start, plan->end - plan->start, insert);
    return quenbol::Cp932Length(text) <= maxBytes;
}

std::optional<std::wstring> EditIncomingText(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                             bool& unreadable) {
    std::wstring text;
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        return TypedText(edit, static_cast<wchar_t>(wParam));
    case WM_KEYDOWN:
        if (!IsShiftInsert(wParam)) return std::nullopt;
        [[fallthrough]];
    case WM_PASTE:
        unreadable = !ReadClipboardText(edit, text);
        if (!(GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE)) text.resize(FirstLineLength(text));
        return text;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) return ImeResult(edit);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool PastesCheckedTextItself(HWND edit, UINT message, WPARAM wParam, std::wstring_view text) {
    const bool paste = message == WM_PASTE || (message == WM_KEYDOWN && IsShiftInsert(wParam));
    return paste && !text.empty() && !(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
}
