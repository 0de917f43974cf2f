// Keeps an edit control's text within a number of code page 932 bytes.
// The edit's own limit (EM_SETLIMITTEXT) counts UTF-16 units, and a character
// can take two bytes, so typing and pasting are checked here too: an input
// that would take the text beyond the limit is refused whole, with a beep.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Sets the limit (again, if the edit already has one).
void LimitEditBytes(HWND edit, std::size_t maxBytes);

// Replacing the edit's selection with `insertUnits` UTF-16 units: the selection
// (clamped to the text) and the text's length in units before and after; nothing
// when the result would pass the edit's own unit limit.
struct EditReplacement { DWORD start = 0, end = 0; std::size_t units = 0, newUnits = 0; };
std::optional<EditReplacement> PlanEditReplacement(HWND edit, std::size_t insertUnits);

// Whether replacing the edit's selection with `insert` keeps it within both
// its unit limit and `maxBytes`.
bool EditInsertionFits(HWND edit, std::wstring_view insert, std::size_t maxBytes);

// Refuses, with a beep, typed, pasted or composed text that holds a character
// without a code page 932 form: the edit's text always has an exact one.
void RefuseTextWithoutCp932Form(HWND edit);

// The text a message to the edit would bring in (a typed character, a paste,
// an input-method result), or nothing; `unreadable` when it would paste a
// clipboard text that cannot be read. A single-line edit's paste brings in
// the clipboard text's first line.
std::optional<std::wstring> EditIncomingText(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                             bool& unreadable);

// Whether a paste (WM_PASTE, or Shift+Insert) of `text`, as EditIncomingText
// read it and the caller checked it, is better handed to the edit as
// EM_REPLACESEL, undoable, which is what the edit's own paste does with the
// clipboard's text: what goes in is then exactly what was checked, and the
// clipboard is not opened a second time (another program may hold it by
// then, or have changed it, and the edit does not wait). Not for a read-only
// edit, nor without a text to insert (the edit's paste of nothing leaves the
// selection alone).
bool PastesCheckedTextItself(HWND edit, UINT message, WPARAM wParam, std::wstring_view text);
