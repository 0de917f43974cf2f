// CFileDialog.
#include "framework/file_dialog.h"

#include <algorithm>

#include "framework/app.h"
#include "framework/text.h"

namespace {
constexpr std::size_t kPathCapacity = 32768;  // the longest path the system takes
}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, std::string_view defaultExtension, std::string_view fileName,
                         DWORD flags, std::string_view filter, CWnd* parent)
    : m_open(openFileDialog), m_parent(parent), m_defaultExtension(quenbol::ToWide(defaultExtension)),
      m_filter(quenbol::ToWide(filter)), m_file(quenbol::ToWide(fileName)) {
    // Split on '|' after decoding: in code page 932 the byte '|' can be the
    // second half of a character.
    std::replace(m_filter.begin(), m_filter.end(), L'|', L'\0');
    m_filter.push_back(L'\0');  // the list ends with two NULs
    m_file.resize(kPathCapacity, L'\0');

    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFilter = filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER;
}

void CFileDialog::SetTitle(std::string_view cp932Title) {
    m_title = quenbol::ToWide(cp932Title);
    m_ofn.lpstrTitle = m_title.c_str();
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = AfxGetSafeOwner(m_parent);
    const BOOL chosen = m_open ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}
