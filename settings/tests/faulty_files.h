// A file system for tests that passes every call to the real one except the
// failures it is told to produce: the Nth write, the Nth read, the flush or
// the final move, and writes cut short to a few bytes each.
#pragma once

#include "settings/file_system.h"

namespace quenbol::test {

class FaultyFiles : public Win32FileSystem {
public:
    int failWrite = 0;  // 1-based number of the write that fails; 0: none
    int failRead = 0;   // likewise for reads
    bool failFlush = false;
    bool failMove = false;
    DWORD writeAtMost = 0;  // when not 0, each write moves at most this many bytes

    int writes = 0;
    int reads = 0;
    int opens = 0;
    int closes = 0;

    HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) override {
        HANDLE file = Win32FileSystem::Open(path, access, share, disposition);
        if (file != INVALID_HANDLE_VALUE) ++opens;
        return file;
    }
    bool Close(HANDLE file) override {
        ++closes;
        return Win32FileSystem::Close(file);
    }
    bool Write(HANDLE file, const void* data, DWORD size, DWORD* done) override {
        if (++writes == failWrite) {
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
        if (failMove) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return false;
        }
        return Win32FileSystem::MoveOver(from, to);
    }
};

}  // namespace quenbol::test
