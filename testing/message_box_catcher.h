// Test support: answers the application's message boxes as they appear and
// records what they said. A thread CBT hook sees each box as it is activated;
// the box is recognised by its caption (the application's name) and its text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quenbol::testing {

struct ShownBox {
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
    HWND owner = nullptr;
};

class MessageBoxCatcher {
public:
    // Presses `answer` (IDOK by default) on each box of the application.
    explicit MessageBoxCatcher(int answer = IDOK);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    std::vector<ShownBox> boxes;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
    int m_answer;
    MessageBoxCatcher* m_outer = nullptr;
};

// The text of a window (caption or control).
std::wstring WindowText(HWND hwnd);

}  // namespace quenbol::testing
