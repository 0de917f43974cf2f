// The text pane's byte count for the edit filter's limit, which follows the
// count each input leaves, and the exchange that skips an unchanged pane.
#include "ui/text_pane.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "framework/data_exchange.h"
#include "framework/edit_filter.h"
#include "framework/text.h"
#include "framework/wnd.h"

namespace {

// What an insertion let through should leave.
struct Expected {
    bool known = false, pairs = false, whole = false;
    std::size_t units = 0, caret = 0, bytes = 0;
    std::string text;  // when `whole`: the bytes of the text the pane will hold
};

struct Limit final : EditByteCount {
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
    Expected expected;  // what the input being handled should leave

    bool Fits(HWND pane, const EditReplacement& plan, std::wstring_view insert, std::size_t maxBytes) override;
    void Handled(HWND pane, UINT message, std::optional<std::wstring>& incoming) override;
};

void Know(Limit& limit, std::size_t bytes, bool pairs) {
    limit.known = true;
    limit.bytes = bytes;
    limit.pairs = pairs;
}

// The edit sets its modification flag on each change it makes itself (keys,
// cut, undo); the count clears it whenever it knows the text, so a set flag
// means a change it did not follow.
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

// When the insertion fits, `expected` says what the text will then be.
bool Limit::Fits(HWND pane, const EditReplacement& plan, std::wstring_view insert, std::size_t maxBytes) {
    expected = {};
    const auto [start, end, units, newUnits] = plan;
    Sync(pane, *this);
    Expected after{true, false, false, newUnits, start + insert.size(), 0, {}};
    if (start == 0 && end == units) {  // the whole text replaced: only the insert counts
        after.text = quenbol::ToCp932(insert);
        after.bytes = after.text.size();
        after.pairs = HasSurrogates(insert);
        after.whole = true;
    } else if (known && !pairs && start == end && !HasSurrogates(insert)) {
        after.bytes = bytes + quenbol::Cp932Length(insert);
    } else if (newUnits * 2 <= maxBytes) {
        return true;  // no character takes more than two bytes; the count stays unknown
    } else {
        std::wstring text = quenbol::GetWindowTextWide(pane);
        const bool withPairs = HasSurrogates(text) || HasSurrogates(insert);
        if (withPairs) {  // a pair may be split or joined at the seams: count the result whole
            if (!HasSurrogates(text)) Know(*this, quenbol::Cp932Length(text), false);
            text.replace(start, end - start, insert);
            after.bytes = quenbol::Cp932Length(text);
            after.pairs = HasSurrogates(text);
        } else {  // the kept parts and the insert add up, without a copy of the result
            const std::wstring_view all(text);
            const std::size_t replaced = quenbol::Cp932Length(all.substr(start, end - start));
            Know(*this, quenbol::Cp932Length(all), false);  // known from here on
            after.bytes = bytes - replaced + quenbol::Cp932Length(insert);
        }
    }
    if (after.bytes > maxBytes) return false;
    expected = std::move(after);
    return true;
}

void Limit::Handled(HWND pane, UINT message, std::optional<std::wstring>& incoming) {
    if (incoming) {  // the count is kept when the edit did just what was checked
        DWORD start = 0, end = 0;
        SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const bool asExpected = expected.known && end == expected.caret &&
                                static_cast<std::size_t>(GetWindowTextLengthW(pane)) == expected.units;
        Forget(pane, *this);
        if (asExpected) {
            Know(*this, expected.bytes, expected.pairs);
            if (expected.whole) {
                try {
                    std::string field = expected.text;
                    whole = {version, std::move(*incoming), std::move(expected.text), std::move(field)};
                } catch (const std::bad_alloc&) {  // the text is in; the next exchange reads it from the pane
                }
            }
        }
        expected = {};
    } else if (message == WM_SETTEXT || message == EM_SETHANDLE || message == EM_REPLACESEL || message == WM_CUT ||
               message == WM_CLEAR || message == WM_UNDO || message == EM_UNDO) {
        Forget(pane, *this);
    }
}

Limit* LimitOf(HWND pane) { return dynamic_cast<Limit*>(EditByteCountOf(pane)); }

// Sets the limit (again, if the pane already has one).
void LimitPaneBytes(HWND pane, std::size_t maxBytes) {
    if (LimitEditBytes(pane, maxBytes)) return;  // the count is in place
    auto limit = std::make_unique<Limit>();
    Limit& kept = *limit;
    if (KeepEditByteCount(pane, std::move(limit))) Forget(pane, kept);
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
