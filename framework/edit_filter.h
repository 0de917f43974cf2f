// One filter in front of an edit control that checks each way text comes in
// (a typed character, a paste, an input-method result) before the edit sees
// it, and refuses an input that breaks its rules whole, with a beep: the code
// page 932 rule (the edit's text always has an exact code page 932 form) and
// a limit in code page 932 bytes. The edit's own limit (EM_SETLIMITTEXT)
// counts UTF-16 units, and a character can take two bytes.
//
// A paste it lets in goes to the edit as EM_REPLACESEL, undoable, which is
// what the edit's own paste does with the clipboard's text: what goes in is
// then exactly what was checked, and the clipboard is not opened a second
// time (another program may hold it by then, or have changed it, and the edit
// does not wait). A single-line edit's paste brings in the clipboard text's
// first line, up to a LF, without the CR before it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Refuses text that holds a character without a code page 932 form.
void RefuseTextWithoutCp932Form(HWND edit);

// Replacing the edit's selection: the selection (clamped to the text) and the
// text's length in UTF-16 units before and after.
struct EditReplacement { DWORD start = 0, end = 0; std::size_t units = 0, newUnits = 0; };

// A byte count kept between inputs by the owner of a long text, so that an
// input is checked without converting the whole text.
class EditByteCount {
public:
    virtual ~EditByteCount() = default;
    // Whether replacing the selection as `plan` says (within the edit's unit
    // limit) with `insert` keeps the text within `maxBytes`.
    virtual bool Fits(HWND edit, const EditReplacement& plan, std::wstring_view insert, std::size_t maxBytes) = 0;
    // After the edit handled `message` (any but WM_NCDESTROY); `incoming` is
    // the text that came in with it, if any, as checked.
    virtual void Handled(HWND edit, UINT message, std::optional<std::wstring>& incoming) = 0;
};

// Sets the limit (again, if the edit already has one); the count it keeps,
// if any.
EditByteCount* LimitEditBytes(HWND edit, std::size_t maxBytes);

// Counts the edit's byte limit with `count` from now on, unless it has a count
// already; the filter keeps the count until the edit is destroyed.
bool KeepEditByteCount(HWND edit, std::unique_ptr<EditByteCount> count);

// The count the edit's byte limit uses, or null.
EditByteCount* EditByteCountOf(HWND edit);
