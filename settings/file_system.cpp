// The real Win32 file calls.
#include "settings/file_system.h"

namespace quenbol {

HANDLE Win32FileSystem::Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD Win32FileSystem::Attributes(const wchar_t* path) { return GetFileAttributesW(path); }

bool Win32FileSystem::SetAttributes(const wchar_t* path, DWORD attributes) {
    return SetFileAttributesW(path, attributes) != FALSE;
}

bool Win32FileSystem::Read(HANDLE file, void* buffer, DWORD size, DWORD* done) {
    return ReadFile(file, buffer, size, done, nullptr) != FALSE;
}

bool Win32FileSystem::Write(HANDLE file, const void* data, DWORD size, DWORD* done) {
    return WriteFile(file, data, size, done, nullptr) != FALSE;
}

bool Win32FileSystem::Rewind(HANDLE file) {
    return SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) != FALSE;
}

bool Win32FileSystem::EndHere(HANDLE file) { return SetEndOfFile(file) != FALSE; }

bool Win32FileSystem::Flush(HANDLE file) { return FlushFileBuffers(file) != FALSE; }

bool Win32FileSystem::Close(HANDLE file) { return CloseHandle(file) != FALSE; }

bool Win32FileSystem::MoveOver(const wchar_t* from, const wchar_t* to) {
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileSystem::Replace(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) {
    // Merge errors (an ACL the user may not copy) do not stop the save.
    return ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
}

bool Win32FileSystem::Remove(const wchar_t* path) { return DeleteFileW(path) != FALSE; }

void Win32FileSystem::Pause(DWORD milliseconds) { Sleep(milliseconds); }

}  // namespace quenbol
