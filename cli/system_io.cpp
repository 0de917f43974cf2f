// Arguments, file reading and output for quenbol-count, with the Windows
// wide-character paths.
#include "cli/system_io.h"

#include "cli/emit/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace quenbol::cli {

#ifdef _WIN32
std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string WideToUtf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(size - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), size, nullptr, nullptr);
    return out;
}
#endif

namespace {

std::FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
    return _wfopen(Utf8ToWide(path).c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// The size of a regular file, or 0 when it has none to tell (a pipe, a
// terminal): where the buffer for the whole file starts.
std::size_t KnownSize(std::FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return 0;
    return static_cast<std::size_t>(info.st_size);
}

// The buffer for a whole file: one byte past the size the file claims, so
// that reading a file of that size leaves room and the next read sees its
// end; 64 KiB when it claims none.
std::size_t FirstBufferSize(std::size_t knownSize) { return knownSize > 0 ? knownSize + 1 : 65536; }

// Reads to the end; false on a read error (a directory opened as a file, say).
// A short fread is the end or an error: the library reads until the system
// says there is no more. The buffer doubles when there is more than the size
// told (a file still growing, standard input).
bool ReadAll(std::FILE* file, std::size_t knownSize, std::string& bytes, std::string& reason) {
    bytes.resize(FirstBufferSize(knownSize));
    std::size_t filled = 0;
    while (true) {
        filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, file);
        if (filled < bytes.size()) break;
        bytes.resize(bytes.size() * 2);
    }
    bytes.resize(filled);
    if (std::ferror(file)) {
        reason = errno ? std::strerror(errno) : "read error";
        return false;
    }
    return true;
}

void (*g_beforeReading)(const std::string& path) = nullptr;

void BeforeReading(const std::string& path) {
    if (g_beforeReading) g_beforeReading(path);
}

#ifndef _WIN32
// Reads a descriptor until the system says there is no more. A short read
// is not always the end: a file's size can be wrong (/proc files say 0 and
// give a page per read) or change while it is read, and the text is then
// what was read. A regular file that gave less than was asked, and at least
// the size it told (`knownSize`, 0 when none), has ended: its one read into
// a buffer a byte larger than that size needs no second one to see its end.
bool ReadDescriptor(int fd, std::size_t knownSize, ReadBuffer& buffer, std::size_t& filled, std::string& reason) {
    buffer.Reserve(FirstBufferSize(knownSize), 0);
    filled = 0;
    while (true) {
        const std::size_t asked = buffer.capacity() - filled;
        const ssize_t got = ::read(fd, buffer.data() + filled, asked);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (got == 0) return true;
        filled += static_cast<std::size_t>(got);
        if (knownSize > 0 && filled >= knownSize && static_cast<std::size_t>(got) < asked) return true;
        if (filled == buffer.capacity()) buffer.Reserve(filled * 2, filled);
    }
}
#endif

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide) {
        for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
        LocalFree(wide);
    }
#else
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
    return args;
}

Language LocaleLanguage() {
    std::string_view name;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
#ifdef _WIN32
    return LanguageOfLocale(GetACP(), name);
#else
    return LanguageOfLocale(0, name);
#endif
}

void UseBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason) {
    errno = 0;
    if (path == "-") {
        std::clearerr(stdin);  // a second "-" reads on after an earlier end of input
        return ReadAll(stdin, KnownSize(stdin), bytes, reason) ? ReadStatus::Ok : ReadStatus::ReadFailed;
    }
    std::FILE* file = OpenForReading(path);
    if (!file) {
        reason = errno ? std::strerror(errno) : "cannot open";
        return ReadStatus::CannotOpen;
    }
    const std::size_t knownSize = KnownSize(file);
    BeforeReading(path);
    const bool ok = ReadAll(file, knownSize, bytes, reason);
    std::fclose(file);
    return ok ? ReadStatus::Ok : ReadStatus::ReadFailed;
}

std::string ReadFailure(ReadStatus status, const std::string& reason) {
    return (status == ReadStatus::CannotOpen ? "cannot open: " : "cannot read: ") + reason;
}

void SetBeforeReadingForTests(void (*hook)(const std::string& path)) { g_beforeReading = hook; }

ReadStatus TextFile::Open(const std::string& path, std::string& reason) {
    // The buffers are kept for the next file (thousands of small texts read
    // one after another), unless a rare big one made them large.
    buffer_.clear();
    if (buffer_.capacity() > 256 * 1024) std::string().swap(buffer_);
#ifndef _WIN32
    file_.Trim();
    fileSize_ = 0;
    fromFile_ = path != "-";
    if (fromFile_) {
        // The descriptor itself, not a stream: one status call and one read
        // for a file that holds what it says, which matters over thousands
        // of files. The file is read, not mapped: a mapped file
        // that another program shortens kills the process when its lost
        // pages are touched.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            reason = std::strerror(errno);
            return ReadStatus::CannotOpen;
        }
        struct stat info;
        const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        const std::size_t size = regular && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
        BeforeReading(path);
        const bool ok = ReadDescriptor(fd, size, file_, fileSize_, reason);
        ::close(fd);
        if (!ok) fileSize_ = 0;
        return ok ? ReadStatus::Ok : ReadStatus::ReadFailed;
    }
#endif
    return ReadWholeFile(path, buffer_, reason);
}

std::string_view TextFile::bytes() const {
#ifndef _WIN32
    if (fromFile_) return {file_.data(), fileSize_};
#endif
    return buffer_;
}

char* TextFile::writableBytes() {
#ifndef _WIN32
    if (fromFile_) return file_.data();
#endif
    return buffer_.data();
}

int WriteErrorNumber() {
#ifdef _WIN32
    const DWORD error = GetLastError();
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) return EPIPE;
#endif
    return errno ? errno : EIO;
}

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    const int writeError = written ? 0 : WriteErrorNumber();  // the first failure's reason
    const bool flushed = std::fflush(stream) == 0;
    if (written && flushed) return true;
    errno = written ? WriteErrorNumber() : writeError;
    return false;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string& reason) {
    OutputFile file;
    if (file.Open(path) && file.Write(bytes) && file.Finish()) return true;
    reason = file.reason();
    return false;
}

bool WriteText(std::FILE* stream, std::string_view utf8) {
#ifdef _WIN32
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = Utf8ToWide(utf8);
        DWORD written = 0;
        return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written,
                             nullptr) &&
               written == wide.size();
    }
#endif
    return WriteBytes(stream, utf8);
}

}  // namespace quenbol::cli
