// Message boxes in the application's manner: owned by the active window,
// captioned with the application's name, a warning icon unless another is asked for.
#pragma once

#include <windows.h>

#include <string_view>

// Shows `text` (code page 932 bytes, or UTF-16) modally; returns the button
// pressed (IDOK, ...). MB_ICONEXCLAMATION is added when `type` has no icon.
int AfxMessageBox(std::string_view cp932Text, UINT type = MB_OK);
int AfxMessageBox(std::wstring_view text, UINT type = MB_OK);
inline int AfxMessageBox(const char* cp932Text, UINT type = MB_OK) {
    return AfxMessageBox(std::string_view(cp932Text), type);
}
inline int AfxMessageBox(const wchar_t* text, UINT type = MB_OK) { return AfxMessageBox(std::wstring_view(text), type); }
