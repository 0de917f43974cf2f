// Drives modal dialogs from inside their own message loops, as a user would:
// a thread timer runs the test's steps one at a time while DoModal, a file
// dialog or a message box is running. Every run has a time limit; when it
// runs out the test fails and the open dialogs are cancelled.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quenbol::test {

// The enabled, visible dialog window of this thread: the innermost modal one.
HWND InnermostDialog();

// A file dialog has a file-name field; a message box has neither that nor
// the member list of the settings dialog.
bool IsFileDialog(HWND dialog);

// What a message box showed.
struct SeenMessage {
    std::wstring caption;
    std::wstring text;
    bool warningIcon = false;
};

class DialogDriver {
public:
    // A step returns true when it is done; false to be tried again on the next tick.
    using Step = std::function<bool()>;

    DialogDriver& Then(std::string what, Step step);

    // Runs `modal` (which shows a dialog and returns when it closes) with the
    // steps. The test fails when a step is left undone or the limit passes.
    void Run(const std::function<void()>& modal, DWORD limitMs = 15000);

    // Ready-made steps, acting on the innermost dialog.
    static Step SetText(int id, std::wstring text);
    static Step Click(int id);
    static Step PickInList(int id, int index);  // as a user's pick: selection, then CBN_SELCHANGE
    static Step PressKey(int id, WPARAM key);   // a WM_KEYDOWN posted to the control
    static Step AnswerFileDialog(std::wstring path, std::wstring* title = nullptr);
    static Step CancelFileDialog(std::wstring* title = nullptr);
    static Step AcceptMessageBox(SeenMessage* seen);
    // Waits for `ticks` timer ticks, so that posted messages are handled.
    static Step Idle(int ticks = 3);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    struct Entry {
        std::string what;
        Step step;
    };
    std::vector<Entry> steps_;
    std::size_t next_ = 0;
    DWORD start_ = 0;
    DWORD limit_ = 0;
    bool aborting_ = false;
    bool inStep_ = false;
};

// The text of a control of the innermost dialog.
std::wstring ControlText(int id);

}  // namespace quenbol::test
