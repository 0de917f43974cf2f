// The data-exchange functions and their one failure path.
#include "framework/data_exchange.h"

#include "framework/app.h"
#include "framework/edit_filter.h"
#include "framework/text.h"
#include "framework/wnd.h"

HWND CDataExchange::PrepareCtrl(int id, bool isEdit) {
    HWND control = m_pDlgWnd->GetDlgItem(id);
    if (!control) throw Stop{};
    m_lastControl = control;
    m_lastIsEdit = isEdit;
    return control;
}

void CDataExchange::Fail(std::wstring_view message) {
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(m_lastControl);
    if (m_lastIsEdit) SendMessageW(m_lastControl, EM_SETSEL, 0, -1);
    throw Stop{};
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    HWND control = dx.PrepareCtrl(id, true);
    CWnd::ExchangedText& memory = dx.m_pDlgWnd->RememberedText(id);
    if (dx.m_bSaveAndValidate) {
        std::wstring shown = quenbol::GetWindowTextWide(control);
        // Bytes with no Unicode form (a lone lead byte) show as U+FFFD.
        if (!(memory.known && shown == memory.wide)) {
            memory.bytes = quenbol::ToCp932(shown);
            memory.wide = std::move(shown);
            memory.known = true;
        }
        value = memory.bytes;
        return;
    }
    const std::wstring shown = quenbol::GetWindowTextWide(control);
    if (!(memory.known && memory.bytes == value)) {
        memory.wide = quenbol::ToWide(value);
        memory.bytes = value;
        memory.known = true;
    }
    // When the bytes are the ones last read, memory.wide is the exact text
    // they came from (characters without a code page 932 form included).
    if (shown != memory.wide) SetWindowTextW(control, memory.wide.c_str());
}

void DDX_Text(CDataExchange& dx, int id, std::int32_t& value) {
    HWND control = dx.PrepareCtrl(id, true);
    if (dx.m_bSaveAndValidate) {
        const std::optional<std::int32_t> parsed = ParseDecimalInt32(quenbol::GetWindowTextWide(control));
        if (!parsed) dx.Fail(L"整数を入力してください。");
        value = *parsed;
        return;
    }
    const std::wstring text = std::to_wstring(value);
    if (quenbol::GetWindowTextWide(control) != text) SetWindowTextW(control, text.c_str());
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxBytes) {
    if (!dx.m_bSaveAndValidate) {
        if (HWND edit = dx.LastEditCtrl()) LimitEditBytes(edit, static_cast<std::size_t>(maxBytes));
    } else if (value.size() > static_cast<std::size_t>(maxBytes)) {
        wchar_t message[64];
        wsprintfW(message, L"%d バイト以下で入力してください。", maxBytes);
        dx.Fail(message);
    }
}

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
    HWND hwnd = dx.PrepareCtrl(id, false);
    if (!control.m_hWnd) control.m_hWnd = hwnd;
}

std::optional<std::int32_t> ParseDecimalInt32(std::wstring_view text) {
    auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == L'-';
    if (!text.empty() && (negative || text.front() == L'+')) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int64_t magnitude = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > 2147483648LL) return std::nullopt;
    }
    const std::int64_t n = negative ? -magnitude : magnitude;
    if (n > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(n);
}
