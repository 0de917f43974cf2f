// The edit filter: one subclass, one procedure and one state for an edit's
// code page 932 rule, its byte limit and the count the limit may keep.
#include "framework/edit_filter.h"

#include <imm.h>

#include <algorithm>

#include "framework/clipboard_reader.h"
#include "framework/text.h"
#include "framework/window_subclass.h"

namespace {

constexpr wchar_t kFilterName[] = L"quenbol.editFilter";

struct Filter {
    bool cp932Only = false;
    std::optional<std::size_t> maxBytes;
    std::unique_ptr<EditByteCount> count;  // null: the limit converts the text when it must
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

// The text a message to the edit would bring in, or nothing; `unreadable`
// when it would paste a clipboard text that cannot be read.
std::optional<std::wstring> IncomingText(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, bool& unreadable) {
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

// Whether the filter inserts a paste's checked text itself. Not into a
// read-only edit, nor without a text to insert (the edit's paste of nothing
// leaves the selection alone).
bool PastesCheckedText(HWND edit, UINT message, WPARAM wParam, std::wstring_view text) {
    const bool paste = message == WM_PASTE || (message == WM_KEYDOWN && IsShiftInsert(wParam));
    return paste && !text.empty() && !(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
}

// Nothing when the result would pass the edit's own unit limit.
std::optional<EditReplacement> PlanReplacement(HWND edit, std::size_t insertUnits) {
    EditReplacement plan;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&plan.start), reinterpret_cast<LPARAM>(&plan.end));
    plan.units = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    plan.end = static_cast<DWORD>(std::min<std::size_t>(plan.end, plan.units));
    plan.start = std::min(plan.start, plan.end);
    plan.newUnits = plan.units - (plan.end - plan.start) + insertUnits;
    if (plan.newUnits > static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0))) return std::nullopt;
    return plan;
}

// The limit without a kept count: below half the limit in units the
// insertion always fits (no character takes 3 bytes); past it the result is
// converted.
bool FitsConverted(HWND edit, const EditReplacement& plan, std::wstring_view insert, std::size_t maxBytes) {
    if (plan.newUnits * 2 <= maxBytes) return true;
    std::wstring text = quenbol::GetWindowTextWide(edit);
    text.replace(plan.start, plan.end - plan.start, insert);
    return quenbol::Cp932Length(text) <= maxBytes;
}

// Whether the filter lets the incoming text in.
bool Admits(HWND edit, const Filter& filter, const std::wstring& text) {
    bool lossless = true;
    if (filter.cp932Only) quenbol::ToCp932(text, &lossless);
    if (!lossless || !filter.maxBytes) return lossless;
    const std::optional<EditReplacement> plan = PlanReplacement(edit, text.size());
    if (!plan) return false;
    return filter.count ? filter.count->Fits(edit, *plan, text, *filter.maxBytes)
                        : FitsConverted(edit, *plan, text, *filter.maxBytes);
}

LRESULT CALLBACK FilterProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    Filter& filter = SubclassOf<Filter>(edit).state;
    std::optional<std::wstring> text;
    try {
        bool unreadable = false;
        if ((text = IncomingText(edit, message, wParam, lParam, unreadable))) {
            if (unreadable || !Admits(edit, filter, *text)) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
    } catch (...) {  // out of memory while checking: refuse the input
        MessageBeep(MB_OK);
        return 0;
    }
    const LRESULT result =
        text && PastesCheckedText(edit, message, wParam, *text)
            ? CallPrevious<Filter>(edit, kFilterName, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text->c_str()))
            : CallPrevious<Filter>(edit, kFilterName, message, wParam, lParam);
    if (message == WM_NCDESTROY) return result;  // `filter` is gone
    if (filter.count) filter.count->Handled(edit, message, text);
    return result;
}

// The edit's filter, given to it now if it has none yet (null if that fails).
Filter* AttachFilter(HWND edit) {
    Subclassed<Filter>* subclass = AttachSubclass<Filter>(edit, kFilterName, FilterProc);
    return subclass ? &subclass->state : nullptr;
}

}  // namespace

EditByteCount* LimitEditBytes(HWND edit, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    Filter* filter = AttachFilter(edit);
    if (!filter) return nullptr;
    filter->maxBytes = maxBytes;
    return filter->count.get();
}

void RefuseTextWithoutCp932Form(HWND edit) {
    if (Filter* filter = AttachFilter(edit)) filter->cp932Only = true;
}

bool KeepEditByteCount(HWND edit, std::unique_ptr<EditByteCount> count) {
    Filter* filter = AttachFilter(edit);
    if (!filter || filter->count) return false;
    filter->count = std::move(count);
    return true;
}

EditByteCount* EditByteCountOf(HWND edit) {
    Subclassed<Filter>* subclass = FindSubclass<Filter>(edit, kFilterName);
    return subclass ? subclass->state.count.get() : nullptr;
}
