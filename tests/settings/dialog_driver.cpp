// Running test steps inside modal loops.
#include "tests/settings/dialog_driver.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "res/resource.h"

namespace quenbol::test {
namespace {

DialogDriver* g_running = nullptr;

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FileNameField(HWND dialog) {
    if (HWND edit = GetDlgItem(dialog, edt1)) return edit;
    if (HWND combo = GetDlgItem(dialog, cmb13)) {
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return nullptr;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

void PostCommand(HWND dialog, int id, int code) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

HWND InnermostDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool IsFileDialog(HWND dialog) { return dialog && FileNameField(dialog) != nullptr; }

std::wstring ControlText(int id) {
    HWND dialog = InnermostDialog();
    return dialog ? TextOf(GetDlgItem(dialog, id)) : std::wstring();
}

DialogDriver& DialogDriver::Then(std::string what, Step step) {
    steps_.push_back({std::move(what), std::move(step)});
    return *this;
}

void DialogDriver::Run(const std::function<void()>& modal, DWORD limitMs) {
    next_ = 0;
    aborting_ = false;
    start_ = GetTickCount();
    limit_ = limitMs;
    g_running = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
    modal();
    KillTimer(nullptr, timer);
    g_running = nullptr;
    EXPECT_FALSE(aborting_) << "time ran out at step " << next_ << " ("
                            << (next_ < steps_.size() ? steps_[next_].what : "after the last") << ")";
    if (!aborting_ && next_ < steps_.size()) {
        ADD_FAILURE() << "the dialog closed before step " << next_ << " (" << steps_[next_].what << ")";
    }
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running) g_running->OnTick();
}

void DialogDriver::OnTick() {
    if (inStep_) return;
    const DWORD elapsed = GetTickCount() - start_;
    if (!aborting_ && elapsed > limit_) aborting_ = true;
    if (aborting_) {
        // Cancel from the innermost dialog outwards; give up on the process
        // if even that does not end the run.
        if (elapsed > limit_ + 10000) {
            std::fprintf(stderr, "dialogs would not close; giving up\n");
            std::_Exit(3);
        }
        if (HWND dialog = InnermostDialog()) PostCommand(dialog, IDCANCEL, BN_CLICKED);
        return;
    }
    if (next_ >= steps_.size()) return;
    inStep_ = true;
    const bool done = steps_[next_].step();
    inStep_ = false;
    if (done) ++next_;
}

DialogDriver::Step DialogDriver::SetText(int id, std::wstring text) {
    return [id, text] {
        HWND dialog = InnermostDialog();
        return dialog && SetDlgItemTextW(dialog, id, text.c_str());
    };
}

DialogDriver::Step DialogDriver::Click(int id) {
    return [id] {
        HWND dialog = InnermostDialog();
        if (!dialog || !GetDlgItem(dialog, id)) return false;
        PostCommand(dialog, id, BN_CLICKED);
        return true;
    };
}

DialogDriver::Step DialogDriver::PickInList(int id, int index) {
    return [id, index] {
        HWND dialog = InnermostDialog();
        HWND list = dialog ? GetDlgItem(dialog, id) : nullptr;
        if (!list) return false;
        SendMessageW(list, CB_SETCURSEL, index, 0);
        PostCommand(dialog, id, CBN_SELCHANGE);
        return true;
    };
}

DialogDriver::Step DialogDriver::PressKey(int id, WPARAM key) {
    return [id, key] {
        HWND dialog = InnermostDialog();
        HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
        if (!control) return false;
        // A drop-down list's keys go to the list itself, which is the control here.
        PostMessageW(control, WM_KEYDOWN, key, 1);
        PostMessageW(control, WM_KEYUP, key, 0xC0000001);
        return true;
    };
}

DialogDriver::Step DialogDriver::AnswerFileDialog(std::wstring path, std::wstring* title) {
    return [path, title] {
        HWND dialog = InnermostDialog();
        if (!IsFileDialog(dialog)) return false;
        if (title) *title = TextOf(dialog);
        SetWindowTextW(FileNameField(dialog), path.c_str());
        PostCommand(dialog, IDOK, BN_CLICKED);
        return true;
    };
}

DialogDriver::Step DialogDriver::CancelFileDialog(std::wstring* title) {
    return [title] {
        HWND dialog = InnermostDialog();
        if (!IsFileDialog(dialog)) return false;
        if (title) *title = TextOf(dialog);
        PostCommand(dialog, IDCANCEL, BN_CLICKED);
        return true;
    };
}

DialogDriver::Step DialogDriver::AcceptMessageBox(SeenMessage* seen) {
    return [seen] {
        HWND box = InnermostDialog();
        if (!box || IsFileDialog(box) || GetDlgItem(box, IDC_MEMBER_LIST) ||
            GetDlgItem(box, IDC_KEYWORD_SETTINGS)) {
            return false;
        }
        seen->caption = TextOf(box);
        seen->text = TextOf(GetDlgItem(box, 0xFFFF));
        // The box's icon control holds the shared system icon it was asked for.
        const HICON warning = LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_EXCLAMATION
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == warning) {
                seen->warningIcon = true;
            }
        }
        PostCommand(box, IDOK, BN_CLICKED);
        return true;
    };
}

DialogDriver::Step DialogDriver::Idle(int ticks) {
    auto left = std::make_shared<int>(ticks);
    return [left] { return --*left <= 0; };
}

}  // namespace quenbol::test
