// Helpers for driving the settings dialog and its file prompts.
#include "settings/tests/settings_steps.h"

#include <dlgs.h>

#include "framework/text.h"
#include "settings/keyword_file_commands.h"

namespace quenbol::test {
namespace {

BOOL CALLBACK FindEnabledDialog(HWND hwnd, LPARAM found) {
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
        HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
        return edit ? edit : combo;
    }
    return nullptr;
}

}  // namespace

HWND InnermostDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindEnabledDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool AnswerFileDialog(const std::wstring& path, std::wstring* title, HWND* owner, std::wstring* proposed) {
    HWND dialog = InnermostDialog();
    if (!dialog || !FileNameField(dialog)) return false;  // no file dialog up
    if (title) *title = GetWindowTextWide(dialog);
    if (owner) *owner = GetWindow(dialog, GW_OWNER);
    if (proposed) *proposed = GetWindowTextWide(FileNameField(dialog));
    SetWindowTextW(FileNameField(dialog), path.c_str());
    PostClick(dialog, IDOK);
    return true;
}

void TypeInto(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }

std::wstring TextOf(HWND dialog, int id) { return GetWindowTextWide(GetDlgItem(dialog, id)); }

void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Pick(HWND dialog, int listId, int index) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::wstring> ListItems(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageW(list, CB_GETLBTEXTLEN, i, 0);
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        items.push_back(item);
    }
    return items;
}

int ListSelection(HWND dialog, int listId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, listId, CB_GETCURSEL, 0, 0));
}

ScriptedFilePrompt::ScriptedFilePrompt(std::deque<std::optional<std::wstring>> queued)
    : answers(std::move(queued)) {
    previous_ = SetFileNameAsker([this](const FilePrompt& prompt) -> std::optional<std::wstring> {
        asked.push_back(prompt);
        if (answers.empty()) return std::nullopt;
        std::optional<std::wstring> answer = answers.front();
        answers.pop_front();
        return answer;
    });
}

ScriptedFilePrompt::~ScriptedFilePrompt() { SetFileNameAsker(std::move(previous_)); }

UseFileSystem::UseFileSystem(FileSystem& files) : previous_(SetKeywordFileSystem(&files)) {}

UseFileSystem::~UseFileSystem() { SetKeywordFileSystem(previous_); }

}  // namespace quenbol::test
