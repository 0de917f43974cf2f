// CComboBox.
#include "framework/combo_box.h"

#include "framework/text.h"

void CComboBox::ResetContent() { SendMessageW(m_hWnd, CB_RESETCONTENT, 0, 0); }

int CComboBox::AddString(std::string_view cp932) { return AddString(quenbol::ToWide(cp932)); }

int CComboBox::AddString(std::wstring_view text) {
    const std::wstring item(text);
    return static_cast<int>(SendMessageW(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

int CComboBox::SetCurSel(int index) {
    return static_cast<int>(SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int CComboBox::GetCurSel() const { return static_cast<int>(SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0)); }

int CComboBox::GetCount() const { return static_cast<int>(SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0)); }

std::string CComboBox::GetLBText(int index) const {
    const LRESULT length = SendMessageW(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return quenbol::ToCp932(text);
}
