// A file system for tests that passes every call to the real one except the
// failures it is told to produce: the Nth write (or every write from the Nth
// on), the Nth read, the flush, the final move or replace, a folder that takes
// no new file, and writes cut short to a few bytes each. It counts the calls.
#pragma once

#include <new>

#include "settings/file_system.h"

namespace quenbol::test {

class FaultyFiles : public Win32FileSystem {
public:
    int failWrite = 0;  // 1-based number of the write that fails; 0: none
    int failWritesFrom = 0;  // 1-based number of the first of all writes that fail; 0: none
    int failRead = 0;   // likewise for reads
    bool failFlush = false;
    bool failMove = false;  // the final move or replace fails with a sharing violation
    bool noNewFiles = false;  // creating a file fails with access denied
    bool replaceLeavesBackup = false;  // the replace moves the target to the backup name, then fails
    bool cannotReplace = false;  // the file system has no replace (ERROR_NOT_SUPPORTED)
    bool throwOnWrite = false;  // a write runs out of memory
    DWORD writeAtMost = 0;  // when not 0, each write moves at most this many bytes

    int writes = 0;
    int reads = 0;
    int opens = 0;
    int closes = 0;
    int moves = 0;
    int replaces = 0;
    int pauses = 0;

    HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) override {
        if (noNewFiles && disposition == CREATE_NEW) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        HANDLE file = Win32FileSystem::Open(path, access, share, disposition);
        if (file != INVALID_HANDLE_VALUE) ++opens;
        return file;
    }
    bool Close(HANDLE file) override {
        ++closes;
        return Win32FileSystem::Close(file);
    }
    bool Write(HANDLE file, const void* data, DWORD size, DWORD* done) override {
        if (throwOnWrite) throw std::bad_alloc();
        if (++writes == failWrite || (failWritesFrom != 0 && writes >= failWritesFrom)) {
            *done = 0;
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        if (writeAtMost != 0 && size > writeAtMost) size = writeAtMost;
        return Win32FileSystem::Write(file, data, size, done);
    }
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* done) override {
        if (++reads == failRead) {
            *done = 0;
            SetLastError(ERROR_CRC);
            return false;
        }
        return Win32FileSystem::Read(file, buffer, size, done);
    }
    bool Flush(HANDLE file) override {
        if (failFlush) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        return Win32FileSystem::Flush(file);
    }
    bool MoveOver(const wchar_t* from, const wchar_t* to) override {
        ++moves;
        if (failMove) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return false;
        }
        return Win32FileSystem::MoveOver(from, to);
    }
    bool Replace(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) override {
        ++replaces;
        if (replaceLeavesBackup) {  // as ReplaceFileW's ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 leaves it
            MoveFileW(target, backup);
            SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
            return false;
        }
        if (failMove || cannotReplace) {
            SetLastError(cannotReplace ? ERROR_NOT_SUPPORTED : ERROR_SHARING_VIOLATION);
            return false;
        }
        return Win32FileSystem::Replace(target, replacement, backup);
    }
    void Pause(DWORD milliseconds) override {
        ++pauses;
        Win32FileSystem::Pause(milliseconds);
    }
};

}  // namespace quenbol::test
