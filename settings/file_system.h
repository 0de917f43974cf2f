// The Win32 file calls that saving and loading a keyword file make, behind a
// small interface so that tests can make one of them fail the way a full disk
// or a failing device would.
#pragma once

#include <windows.h>

namespace quenbol {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // CreateFileW with normal attributes. On failure returns
    // INVALID_HANDLE_VALUE with the reason in GetLastError().
    virtual HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) = 0;
    // GetFileAttributesW: INVALID_FILE_ATTRIBUTES when there is no such file.
    virtual DWORD Attributes(const wchar_t* path) = 0;
    // ReadFile; *done = 0 with true means the end of the file.
    virtual bool Read(HANDLE file, void* buffer, DWORD size, DWORD* done) = 0;
    // WriteFile; *done may fall short of size.
    virtual bool Write(HANDLE file, const void* data, DWORD size, DWORD* done) = 0;
    // FlushFileBuffers: true once the written bytes are on the device.
    virtual bool Flush(HANDLE file) = 0;
    virtual bool Close(HANDLE file) = 0;
    // Moves `from` over `to`, replacing it, and returns once the move is on the device.
    virtual bool MoveOver(const wchar_t* from, const wchar_t* to) = 0;
    virtual bool Remove(const wchar_t* path) = 0;
};

// The real calls.
class Win32FileSystem : public FileSystem {
public:
    HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) override;
    DWORD Attributes(const wchar_t* path) override;
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* done) override;
    bool Write(HANDLE file, const void* data, DWORD size, DWORD* done) override;
    bool Flush(HANDLE file) override;
    bool Close(HANDLE file) override;
    bool MoveOver(const wchar_t* from, const wchar_t* to) override;
    bool Remove(const wchar_t* path) override;
};

}  // namespace quenbol
