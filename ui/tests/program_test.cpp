// The program itself, end to end: start quenbol.exe, find its window, count
// a text, read the counts back and close it through its system menu.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/top_member.h"
#include "framework/text.h"
#include "res/resource.h"
#include "ui/member_rows.h"

namespace {

std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir.resize(dir.find_last_of(L"\\/"));          // .../ui/tests
    dir.resize(dir.find_last_of(L"\\/"));          // .../ui
    return dir + L"\\quenbol.exe";
}

struct Search {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == search->process && IsWindowVisible(hwnd) &&
        quenbol::GetWindowTextWide(hwnd) == L"川*’ー’）テキスト中のピポラの名前の登場回数を数えるんやよー。") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

TEST(Program, StartsCountsAndClosesThroughTheSystemMenu) {
    const std::wstring path = ProgramPath();
    ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "no program next to the test";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + path + L"\"";
    ASSERT_TRUE(CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    Search search{process.dwProcessId};
    for (int waited = 0; waited < 30000 && !search.found; waited += 100) {
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(100);
    }
    HWND main = search.found;
    EXPECT_NE(main, nullptr) << "the main window did not appear";
    if (main) {
        const std::wstring text = L"椎葉澄香、椎葉、澄ちゃん。みのり。鞍馬透子";
        DWORD_PTR result = 0;
        SendMessageTimeoutW(GetDlgItem(main, IDC_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, 10000, &result);
        SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ALL, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_SEARCH_ALL)), SMTO_ABORTIFHUNG, 10000,
                            &result);
        EXPECT_EQ(ItemText(main, quenbol::kMemberRows[0].current), L"3");
        EXPECT_EQ(ItemText(main, quenbol::kMemberRows[0].total), L"3");
        EXPECT_EQ(ItemText(main, quenbol::kMemberRows[3].current), L"1");
        EXPECT_EQ(ItemText(main, IDC_MANUAL_CURRENT), L"1");
        EXPECT_EQ(quenbol::GetWindowTextWide(main), quenbol::ToWide(quenbol::TopMessages[0]));
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the program did not end";
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
