// Test support: drives modal dialogs from inside their own message loops.
// DoModal blocks, so a test lists its steps first and then runs the dialog;
// a thread timer runs one step per tick inside whichever modal loop is
// running at the time (a step that opens a nested dialog or message box
// blocks, and the next step then runs inside that nested loop). Messages
// posted by a step are processed by the loop before the next tick.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quenbol::testing {

class ModalScript {
public:
    // A step run once.
    ModalScript& Then(std::function<void()> action);
    // A step retried on each tick until `condition` holds.
    ModalScript& WaitFor(std::function<bool()> condition, std::string what);

    // Runs `modal` (which runs a modal loop and returns when it ends) while
    // the steps run. Every step must have run and `modal` returned within
    // `timeoutMs`; otherwise the test fails and every window of the thread
    // is closed until `modal` returns. A step that never returns (a crash in
    // it is swallowed by the timer's dispatch, which goes on with the loop)
    // fails the test too. Returns whether all went to plan.
    bool Run(const std::function<void()>& modal, DWORD timeoutMs = 30000);

private:
    struct Step {
        std::function<bool()> run;  // true when done
        std::string what;
        bool unfinished = false;  // set while it runs; left set if it crashed
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    DWORD m_deadline = 0;
    bool m_timedOut = false;
};

// Runs `body` once inside the modal loop of `dialog` (a CDialog), then ends
// the dialog; returns whether all went to plan, as ModalScript::Run does.
template <class Dialog>
bool RunInsideDialog(Dialog& dialog, const std::function<void()>& body) {
    ModalScript script;
    script.Then([&] {
        body();
        dialog.EndDialog(IDCANCEL);
    });
    return script.Run([&] { dialog.DoModal(); });
}

// Posts WM_CLOSE to every visible top-level window of this thread.
void CloseThreadWindows();

// Pumps this thread's messages for `ms` milliseconds (outside any dialog).
void PumpMessages(DWORD ms);

}  // namespace quenbol::testing
