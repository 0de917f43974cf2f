// Saving and loading the keyword table at the user's request.
#include "settings/keyword_file_commands.h"

#include <utility>

#include "core/roster.h"
#include "framework/app.h"
#include "settings/keyword_file_disk.h"
#include "settings/keyword_format.h"

namespace quenbol {

const FilePrompt kSaveKeywordFilePrompt = {
    false, kSaveKeywordFileTitle, "zavo-keyword-file", "ini", kSaveKeywordFileFilter, 0};

const FilePrompt kOpenKeywordFilePrompt = {
    true, kOpenKeywordFileTitle, "", "ini", kOpenKeywordFileFilter,
    OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES};

namespace {

FileSystem* g_files = nullptr;

FileSystem& Files() {
    static Win32FileSystem real;
    return g_files ? *g_files : real;
}

// The file is closed by the time a message shows.
void Report(const char* message) {
    if (message) AfxMessageBox(message, MB_OK);
}

}  // namespace

void SaveKeywordFile() {
    const std::optional<std::wstring> path = AskForFileName(kSaveKeywordFilePrompt);
    if (!path) return;
    Report(MessageFor(WriteKeywordFile(*path, KeywordTable, Files())));
}

bool LoadKeywordFile() {
    const std::optional<std::wstring> path = AskForFileName(kOpenKeywordFilePrompt);
    if (!path) return false;
    const LoadResult result = ReadKeywordFile(*path, KeywordTable, Files());
    Report(MessageFor(result));
    return result == LoadResult::Loaded;
}

FileSystem* SetKeywordFileSystem(FileSystem* files) { return std::exchange(g_files, files); }

}  // namespace quenbol
