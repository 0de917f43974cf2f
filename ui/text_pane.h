// The main window's text pane: a byte limit that keeps the text's code page
// 932 byte count between inputs, so that a key typed into a long text is
// checked without converting it all, and an exchange that does not even read
// or write the pane when it has not changed since the last one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CDataExchange;

// DDX_Text and DDV_MaxChars for the pane, in that order: the same reading,
// writing and warning, with the pane's own limit in place of the plain one.
void DDX_TextPane(CDataExchange& dx, int id, std::string& value, int maxBytes);

// Changes whenever the pane's text may have changed (0 for an edit without
// the pane's limit): an unchanged text is told without reading it.
std::uint64_t TextPaneVersion(HWND pane);
