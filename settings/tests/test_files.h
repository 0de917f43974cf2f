// Helpers for the settings tests: a scratch folder per test, whole-file
// reads and writes through the wide-character API, and a keyword table.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/roster.h"

namespace quenbol::test {

// A new, empty folder in the temporary folder, removed with all it holds
// (read-only files included) when the object goes.
class ScratchFolder {
public:
    // `name` becomes part of the folder's name; it may be Japanese.
    explicit ScratchFolder(const std::wstring& name = L"folder");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& file) const { return path_ + L"\\" + file; }
    // The names in the folder, sorted.
    std::vector<std::wstring> Names() const;

private:
    std::wstring path_;
};

std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool SetReadOnly(const std::wstring& path, bool readOnly);
bool IsReadOnly(const std::wstring& path);

// A table whose every entry is its own: "k0", "k1", ...
inline Keywords Numbered() {
    Keywords t;
    for (int n = 0; n < kKeywordEntries; ++n) t[n] = "k" + std::to_string(n);
    return t;
}

}  // namespace quenbol::test
