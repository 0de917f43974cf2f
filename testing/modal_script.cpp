// Test support: the timer-driven script of steps inside modal loops.
#include "testing/modal_script.h"

#include <gtest/gtest.h>

namespace quenbol::testing {
namespace {
ModalScript* g_running = nullptr;
constexpr UINT kTickMs = 15;

BOOL CALLBACK PostClose(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}
}  // namespace

ModalScript& ModalScript::Then(std::function<void()> action) {
    m_steps.push_back({[action = std::move(action)] {
                           action();
                           return true;
                       },
                       "step"});
    return *this;
}

ModalScript& ModalScript::WaitFor(std::function<bool()> condition, std::string what) {
    m_steps.push_back({std::move(condition), std::move(what)});
    return *this;
}

void ModalScript::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running) g_running->Tick();
}

void ModalScript::Tick() {
    if (m_timedOut || static_cast<LONG>(GetTickCount() - m_deadline) > 0) {
        if (!m_timedOut) {
            m_timedOut = true;
            const std::string stuck = m_next < m_steps.size() ? m_steps[m_next].what : "the dialog to close";
            ADD_FAILURE() << "script timed out at step " << m_next << " (waiting for " << stuck << ")";
        }
        CloseThreadWindows();
        return;
    }
    const std::size_t i = m_next;
    if (i >= m_steps.size()) return;
    m_next = i + 1;  // claimed: a nested loop inside this step runs the next one
    m_steps[i].unfinished = true;
    const bool done = m_steps[i].run();
    m_steps[i].unfinished = false;
    if (!done && m_next == i + 1) m_next = i;  // try again on the next tick
}

bool ModalScript::Run(const std::function<void()>& modal, DWORD timeoutMs) {
    ModalScript* const outer = g_running;
    g_running = this;
    m_next = 0;
    m_timedOut = false;
    for (Step& step : m_steps) step.unfinished = false;
    m_deadline = GetTickCount() + timeoutMs;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, OnTick);
    modal();
    KillTimer(nullptr, timer);
    g_running = outer;
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        if (m_steps[i].unfinished) {
            ADD_FAILURE() << "step " << i << " (" << m_steps[i].what << ") never returned: it crashed";
            return false;
        }
    }
    if (!m_timedOut && m_next < m_steps.size()) {
        ADD_FAILURE() << "the modal loop ended before step " << m_next << " (" << m_steps[m_next].what << ")";
        return false;
    }
    return !m_timedOut;
}

void CloseThreadWindows() { EnumThreadWindows(GetCurrentThreadId(), PostClose, 0); }

void PumpMessages(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

}  // namespace quenbol::testing
