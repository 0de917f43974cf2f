// The one crossing between the controls' UTF-16 text and the code page 932
// bytes the rest of the program works in. Every string that goes into or
// comes out of a window passes through here.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quenbol {

// Bytes of code page 932 to the controls' UTF-16. An undefined pair becomes
// U+FFFD, and so does a NUL byte (left where a character had no code page 932
// form): a control's text would end at U+0000, and U+FFFD turns back into the
// same NUL byte, so the bytes survive a trip through a control.
std::wstring ToWide(std::string_view cp932);

// UTF-16 to code page 932; a character with no code page 932 form becomes
// one NUL byte (kUnmappable), which no keyword matches. `lossless` tells
// whether every character had a form.
std::string ToCp932(std::wstring_view wide, bool* lossless = nullptr);

// ToCp932(wide).size(), counted without converting.
std::size_t Cp932Length(std::wstring_view wide);

// The whole text of a window or control, as the control holds it.
std::wstring GetWindowTextWide(HWND hwnd);

}  // namespace quenbol
