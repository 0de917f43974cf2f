// The common Open and Save As dialogs.
#include "settings/file_dialog.h"

#include <algorithm>
#include <cwchar>

namespace quenbol {
namespace {

// Room for long paths: the dialog refuses a choice that does not fit.
constexpr std::size_t kPathRoom = 32768;

}  // namespace

CFileDialog::CFileDialog(bool openFileDialog, const wchar_t* defaultExtension, const wchar_t* fileName,
                         DWORD flags, const wchar_t* filter, HWND parent)
    : open_(openFileDialog) {
    fileName_.assign(kPathRoom, L'\0');
    if (fileName) {
        const std::size_t length = std::min(std::wcslen(fileName), kPathRoom - 1);
        fileName_.replace(0, length, fileName, length);
    }
    if (filter) {
        filter_ = filter;
        for (wchar_t& c : filter_) {
            if (c == L'|') c = L'\0';
        }
        filter_.push_back(L'\0');  // the list ends with an empty entry
    }
    if (defaultExtension) defaultExtension_ = defaultExtension;

    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent;
    m_ofn.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = fileName_.data();
    m_ofn.nMaxFile = static_cast<DWORD>(fileName_.size());
    m_ofn.lpstrDefExt = defaultExtension ? defaultExtension_.c_str() : nullptr;
    m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
    if (!m_ofn.hwndOwner) m_ofn.hwndOwner = GetActiveWindow();
    const BOOL chosen = open_ ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

}  // namespace quenbol
