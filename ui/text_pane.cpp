// The text pane's counting byte limit, in a subclass that checks each way
// text comes in before the edit sees it and follows the byte count the edit
// is left with, and the exchange that skips an unchanged pane.
#include "ui/text_pane.h"

#include <algorithm>
#include <new>
#include <optional>

#include "framework/data_exchange.h"
#include "framework/edit_filter.h"
#include "framework/text.h"
#include "framework/window_subclass.h"
#include "framework/wnd.h"

namespace {

constexpr wchar_t kLimitName[] = L"quenbol.paneLimit";

struct Limit {
    std::size_t maxBytes = 0;
    std::uint64_t version = 1;
    bool known = false;  // whether `bytes` is the text's count
    bool pairs = false;  // the text holds surrogates, whose counts do not simply add up
    std::size_t bytes = 0;
    std::uint64_t exchanged = 0;  // the version the last exchange saw (0: none)
    // After an input that replaced the whole text (a paste over all of it, or
    // into an empty pane): that text and its bytes, for the next exchange to
    // take without reading and converting the pane again. The bytes are there
    // twice, one for the exchange to remember and one for the field, so that
    // the search that follows a long paste copies nothing into new memory
    // (which costs a page fault per 4 KiB): the second copy is made while the
    // paste is handled, where it adds a fraction of the time.
    struct Whole {
        std::uint64_t version = 0;  // 0: none
        std::wstring wide;
        std::string bytes;
        std::string field;
    } whole;
};

// What an insertion let through should leave.
struct Expected {
    bool known = false, pairs = false, whole = false;
    std::size_t units = 0, caret = 0, bytes = 0;
    std::string text;  // when `whole`: the bytes of the text the pane will hold
};

void Know(Limit& limit, std::size_t bytes, bool pairs) {
    limit.known = true;
    limit.bytes = bytes;
    limit.pairs = pairs;
}

// The edit sets its modification flag on each change it makes itself (keys,
// cut, undo); the subclass clears it whenever it knows the text, so a set
// flag means a change it did not follow.
void Forget(HWND pane, Limit& limit) {
    ++limit.version;
    limit.known = false;
    limit.whole = {};
    SendMessageW(pane, EM_SETMODIFY, FALSE, 0);
}

void Sync(HWND pane, Limit& limit) {
    if (SendMessageW(pane, EM_GETMODIFY, 0, 0)) Forget(pane, limit);
}

bool HasSurrogates(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; });
}

// Whether replacing the selection with `insert` fits; when it does, what the
// text will then be.
bool Fits(HWND pane, std::wstring_view insert, Limit& limit, Expected& expected) {
    const std::optional<EditReplacement> plan = PlanEditReplacement(pane, insert.size());
    if (!plan) return false;
    const auto [start, end, units, newUnits] = *plan;
    Sync(pane, limit);
    Expected after{true, false, false, newUnits, start + insert.size(), 0, {}};
    if (start == 0 && end == units) {  // the whole text replaced: only the insert counts
        after.text = quenbol::ToCp932(insert);
        after.bytes = after.text.size();
        after.pairs = HasSurrogates(insert);
        after.whole = true;
    } else if (limit.known && !limit.pairs && start == end && !HasSurrogates(insert)) {
        after.bytes = limit.bytes + quenbol::Cp932Length(insert);
    } else if (newUnits * 2 <= limit.maxBytes) {
        return true;  // no character takes more than two bytes; the count stays unknown
    } else {
        std::wstring text = quenbol::GetWindowTextWide(pane);
        const bool pairs = HasSurrogates(text) || HasSurrogates(insert);
        if (pairs) {  // a pair may be split or joined at the seams: count the result whole
            if (!HasSurrogates(text)) Know(limit, quenbol::Cp932Length(text), false);
            text.replace(start, end - start, insert);
            after.bytes = quenbol::Cp932Length(text);
            after.pairs = HasSurrogates(text);
        } else {  // the kept parts and the insert add up, without a copy of the result
            const std::wstring_view all(text);
            const std::size_t replaced = quenbol::Cp932Length(all.substr(start, end - start));
            Know(limit, quenbol::Cp932Length(all), false);  // known from here on
            after.bytes = limit.bytes - replaced + quenbol::Cp932Length(insert);
        }
    }
    if (after.bytes > limit.maxBytes) return false;
    expected = std::move(after);
    return true;
}

LRESULT CALLBACK LimitProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    Limit& limit = SubclassOf<Limit>(pane).state;
    Expected expected;
    std::optional<std::wstring> text;
    try {
        bool unreadable = false;
        if ((text = EditIncomingText(pane, message, wParam, lParam, unreadable))) {
            if (unreadable || !Fits(pane, *text, limit, expected)) {
                MessageBeep(MB_OK);
                return 0;
            }
        }
    } catch (...) {  // out of memory while checking: refuse the input
        MessageBeep(MB_OK);
        return 0;
    }
    const LRESULT result =
        text && PastesCheckedTextItself(pane, message, wParam, *text)
            ? CallPrevious<Limit>(pane, kLimitName, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text->c_str()))
            : CallPrevious<Limit>(pane, kLimitName, message, wParam, lParam);
    if (message == WM_NCDESTROY) return result;  // `limit` is gone
    if (text) {  // the count is kept when the edit did just what was checked
        DWORD start = 0, end = 0;
        SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const bool asExpected = expected.known && end == expected.caret &&
                                static_cast<std::size_t>(GetWindowTextLengthW(pane)) == expected.units;
        Forget(pane, limit);
        if (asExpected) {
            Know(limit, expected.bytes, expected.pairs);
            if (expected.whole) {
                try {
                    std::string field = expected.text;
                    limit.whole = {limit.version, std::move(*text), std::move(expected.text), std::move(field)};
                } catch (const std::bad_alloc&) {  // the text is in; the next exchange reads it from the pane
                }
            }
        }
    } else if (message == WM_SETTEXT || message == EM_SETHANDLE || message == EM_REPLACESEL || message == WM_CUT ||
               message == WM_CLEAR || message == WM_UNDO || message == EM_UNDO) {
        Forget(pane, limit);
    }
    return result;
}

Limit* LimitOf(HWND pane) {
    Subclassed<Limit>* subclass = FindSubclass<Limit>(pane, kLimitName);
    return subclass ? &subclass->state : nullptr;
}

// Sets the limit (again, if the pane already has one).
void LimitPaneBytes(HWND pane, std::size_t maxBytes) {
    // A text of n bytes has at most n units, but for characters outside the
    // BMP, which have no code page 932 form anyway.
    SendMessageW(pane, EM_SETLIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
    Limit* limit = LimitOf(pane);
    if (!limit) {
        Subclassed<Limit>* subclass = AttachSubclass<Limit>(pane, kLimitName, LimitProc);
        if (!subclass) return;
        limit = &subclass->state;
        Forget(pane, *limit);
    }
    limit->maxBytes = maxBytes;
}

// The exchange's side of DDX_Text: a pane whose version the last exchange
// saw is neither read nor written (when the field still holds its bytes).
void ExchangeText(CDataExchange& dx, HWND pane, int id, std::string& value) {
    CWnd::ExchangedText& memory = dx.m_pDlgWnd->RememberedText(id);
    Limit* limit = LimitOf(pane);  // none before the first write
    const std::uint64_t version = TextPaneVersion(pane);
    const bool unchanged = memory.known && limit && limit->exchanged == version;
    if (dx.m_bSaveAndValidate) {
        if (!unchanged) {
            if (limit && limit->whole.version == version) {  // the text as it came in
                memory.wide = std::move(limit->whole.wide);
                memory.bytes = std::move(limit->whole.bytes);
                memory.known = true;
                value = std::move(limit->whole.field);
                limit->whole = {};
                limit->exchanged = version;
                return;  // `value` holds the bytes already
            } else {
                std::wstring shown = quenbol::GetWindowTextWide(pane);
                // Bytes with no Unicode form (a lone lead byte) show as U+FFFD.
                if (!(memory.known && shown == memory.wide)) {
                    bool lossless = true;
                    memory.bytes = quenbol::ToCp932(shown, &lossless);
                    memory.wide = std::move(shown);
                    memory.known = true;
                    // Surrogates have no form; other losses only make the next check careful.
                    if (limit && !SendMessageW(pane, EM_GETMODIFY, 0, 0)) Know(*limit, memory.bytes.size(), !lossless);
                }
            }
            if (limit) limit->exchanged = version;
        }
        value = memory.bytes;
        return;
    }
    if (unchanged && memory.bytes == value) return;
    const std::wstring shown = quenbol::GetWindowTextWide(pane);
    if (!(memory.known && memory.bytes == value)) {
        memory.wide = quenbol::ToWide(value);
        memory.bytes = value;
        memory.known = true;
    }
    // When the bytes are the ones last read, memory.wide is the exact text
    // they came from (characters without a code page 932 form included).
    if (shown != memory.wide) SetWindowTextW(pane, memory.wide.c_str());
    if (limit) limit->exchanged = TextPaneVersion(pane);
}

}  // namespace

void DDX_TextPane(CDataExchange& dx, int id, std::string& value, int maxBytes) {
    HWND pane = dx.PrepareCtrl(id, true);
    ExchangeText(dx, pane, id, value);
    if (dx.m_bSaveAndValidate) {
        DDV_MaxChars(dx, value, maxBytes);  // its warning when too long
    } else {
        LimitPaneBytes(pane, static_cast<std::size_t>(maxBytes));
    }
}

std::uint64_t TextPaneVersion(HWND pane) {
    Limit* limit = LimitOf(pane);
    if (!limit) return 0;
    Sync(pane, *limit);
    return limit->version;
}
