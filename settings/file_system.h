// The Win32 file calls that saving and loading a keyword file make, behind a
// small interface so that tests can make one of them fail the way a full
// disk, a failing device, a folder that takes no new files or a platform
// call that Wine does not imitate exactly would.
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
    virtual bool SetAttributes(const wchar_t* path, DWORD attributes) = 0;
    // ReadFile; *done = 0 with true means the end of the file.
    virtual bool Read(HANDLE file, void* buffer, DWORD size, DWORD* done) = 0;
    // WriteFile; *done may fall short of size.
    virtual bool Write(HANDLE file, const void* data, DWORD size, DWORD* done) = 0;
    // Back to the first byte, and the end of the file set where it stands.
    virtual bool Rewind(HANDLE file) = 0;
    virtual bool EndHere(HANDLE file) = 0;
    // FlushFileBuffers: true once the written bytes are on the device.
    virtual bool Flush(HANDLE file) = 0;
    virtual bool Close(HANDLE file) = 0;
    // Moves `from` to the name `to` (a new file: replacing one only if it
    // appeared meanwhile) and returns once the move is on the device.
    virtual bool MoveOver(const wchar_t* from, const wchar_t* to) = 0;
    // ReplaceFileW: `replacement` takes the place of the existing `target`,
    // keeping the target's attributes, permissions, owner and streams; the old
    // file goes to `backup`.
    virtual bool Replace(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) = 0;
    virtual bool Remove(const wchar_t* path) = 0;
    // Waits before an operation is tried again.
    virtual void Pause(DWORD milliseconds) = 0;
};

// The real calls.
class Win32FileSystem : public FileSystem {
public:
    HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) override;
    DWORD Attributes(const wchar_t* path) override;
    bool SetAttributes(const wchar_t* path, DWORD attributes) override;
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* done) override;
    bool Write(HANDLE file, const void* data, DWORD size, DWORD* done) override;
    bool Rewind(HANDLE file) override;
    bool EndHere(HANDLE file) override;
    bool Flush(HANDLE file) override;
    bool Close(HANDLE file) override;
    bool MoveOver(const wchar_t* from, const wchar_t* to) override;
    bool Replace(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) override;
    bool Remove(const wchar_t* path) override;
    void Pause(DWORD milliseconds) override;
};

}  // namespace quenbol
