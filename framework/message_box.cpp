// AfxMessageBox.
#include "framework/message_box.h"

#include <string>

#include "framework/app.h"
#include "framework/text.h"

int AfxMessageBox(std::string_view cp932Text, UINT type) { return AfxMessageBox(quenbol::ToWide(cp932Text), type); }

int AfxMessageBox(std::wstring_view text, UINT type) {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    const std::wstring body(text);
    return MessageBoxW(AfxGetSafeOwner(nullptr), body.c_str(), AfxGetAppName().c_str(), type);
}
