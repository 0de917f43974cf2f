// CStdioFile over CreateFileW, with text-mode line ends.
#include "framework/stdio_file.h"

namespace {
constexpr std::size_t kChunk = 64 * 1024;
}  // namespace

CStdioFile::~CStdioFile() { Close(); }

bool CStdioFile::Open(const std::wstring& path, UINT flags) {
    Close();
    const bool writing = (flags & modeWrite) != 0;
    const DWORD access = writing ? GENERIC_WRITE : GENERIC_READ;
    const DWORD creation = (flags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    m_file = CreateFileW(path.c_str(), access, 0 /* no sharing */, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_buffer.clear();
    m_readPos = 0;
    m_writing = writing;
    m_atEnd = m_writeFailed = m_readFailed = false;
    return m_file != INVALID_HANDLE_VALUE;
}

bool CStdioFile::WriteString(std::string_view text) {
    if (m_file == INVALID_HANDLE_VALUE || !m_writing || m_writeFailed) return false;
    for (char c : text) {
        if (c == '\n') m_buffer += '\r';
        m_buffer += c;
    }
    return m_buffer.size() < kChunk || Flush();
}

bool CStdioFile::Flush() {
    std::size_t done = 0;
    while (!m_writeFailed && done < m_buffer.size()) {
        DWORD written = 0;
        if (!WriteFile(m_file, m_buffer.data() + done, static_cast<DWORD>(m_buffer.size() - done), &written, nullptr) ||
            written == 0) {
            m_writeFailed = true;
        }
        done += written;
    }
    m_buffer.clear();
    return !m_writeFailed;
}

bool CStdioFile::Fill() {
    m_buffer.erase(0, m_readPos);
    m_readPos = 0;
    char chunk[kChunk];
    DWORD read = 0;
    if (!ReadFile(m_file, chunk, sizeof chunk, &read, nullptr)) {
        m_readFailed = true;
        m_atEnd = true;
        return false;
    }
    if (read == 0) {
        m_atEnd = true;
        return false;
    }
    m_buffer.append(chunk, read);
    return true;
}

bool CStdioFile::ReadString(std::string& line) {
    if (m_file == INVALID_HANDLE_VALUE || m_writing || m_readFailed) return false;
    std::size_t lf = m_buffer.find('\n', m_readPos);
    while (lf == std::string::npos && !m_atEnd) {
        const std::size_t unread = m_buffer.size() - m_readPos;  // Fill moves these to the front
        if (!Fill()) break;
        lf = m_buffer.find('\n', unread);
    }
    if (m_readFailed) return false;
    if (lf == std::string::npos) {  // the last line, without a line end
        if (m_readPos >= m_buffer.size()) return false;
        line.assign(m_buffer, m_readPos);
        m_readPos = m_buffer.size();
        return true;
    }
    std::size_t end = lf;
    if (end > m_readPos && m_buffer[end - 1] == '\r') --end;
    line.assign(m_buffer, m_readPos, end - m_readPos);
    m_readPos = lf + 1;
    return true;
}

bool CStdioFile::Close() {
    if (m_file == INVALID_HANDLE_VALUE) return true;
    if (m_writing) Flush();
    const bool ok = !m_writeFailed;
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_buffer.clear();
    return ok;
}
