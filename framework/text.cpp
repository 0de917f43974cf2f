// Text crossing between the controls and code page 932 bytes.
#include "framework/text.h"

#include <algorithm>

#include "core/text/cp932.h"

namespace quenbol {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is a UTF-16 unit");

std::wstring ToWide(std::string_view cp932) {
    const std::u16string u16 = Cp932ToUtf16(cp932);
    std::wstring wide(reinterpret_cast<const wchar_t*>(u16.data()), u16.size());
    std::replace(wide.begin(), wide.end(), L'\0', L'\xFFFD');
    return wide;
}

namespace {
std::u16string_view Units(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}
}  // namespace

std::string ToCp932(std::wstring_view wide, bool* lossless) { return Utf16ToCp932(Units(wide), lossless); }

std::size_t Cp932Length(std::wstring_view wide) { return Utf16ToCp932Length(Units(wide)); }

std::wstring GetWindowTextWide(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(hwnd), 0)) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

}  // namespace quenbol
