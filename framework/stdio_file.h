// CStdioFile: a text file read and written line by line, in text mode: a
// written LF becomes CR LF, and a CR LF read becomes LF. Lines are code page
// 932 bytes. While open, the file is shared with no other process.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class CStdioFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,    // an existing file, reading only
        modeWrite = 0x0001,   // writing only
        modeCreate = 0x1000,  // with modeWrite: created, or emptied if it exists
    };

    CStdioFile() = default;
    ~CStdioFile();  // closes the file if still open
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // Opens `path` (a full path) as `flags` ask; false when it cannot be opened.
    bool Open(const std::wstring& path, UINT flags);

    // Writes the bytes, each LF as CR LF. False once a write has failed.
    bool WriteString(std::string_view text);

    // Reads the next line into `line` without its line end (LF, or CR LF);
    // the last line need not end in one. False when no line is left or the
    // read failed (ReadFailed tells which).
    bool ReadString(std::string& line);
    bool ReadFailed() const { return m_readFailed; }

    // Writes what is buffered and closes; false if any write failed.
    bool Close();

private:
    bool Flush();
    bool Fill();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::string m_buffer;  // bytes to write, or read bytes not yet returned
    std::size_t m_readPos = 0;
    bool m_writing = false;
    bool m_atEnd = false;
    bool m_writeFailed = false;
    bool m_readFailed = false;
};
