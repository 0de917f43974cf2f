// Arguments, file reading and output for quenbol-count, with the Windows
// wide-character paths.
#include "cli/system_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
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
namespace {

#ifdef _WIN32
std::string WideToUtf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(size - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}
#endif

std::FILE* OpenForWriting(const std::string& path) {
#ifdef _WIN32
    return _wfopen(Utf8ToWide(path).c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

void RemoveFile(const std::string& path) {
#ifdef _WIN32
    _wremove(Utf8ToWide(path).c_str());
#else
    std::remove(path.c_str());
#endif
}

bool RenameReplacing(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}

std::FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
    return _wfopen(Utf8ToWide(path).c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// The size of a regular file, or 0 when it has none to tell (a pipe, a
// terminal), so that a whole file is read into a buffer of its final size.
std::size_t KnownSize(std::FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return 0;
    return static_cast<std::size_t>(info.st_size);
}

// Reads to the end; false on a read error (a directory opened as a file, say).
// The buffer starts one byte past the file's size when that is known (so that
// a whole read leaves room and ends the loop), else at 64 KiB, and doubles
// when there is more (a file still growing, standard input).
bool ReadAll(std::FILE* file, std::string& bytes, std::string& reason) {
    const std::size_t known = KnownSize(file);
    bytes.resize(known > 0 ? known + 1 : 65536);
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
        return ReadAll(stdin, bytes, reason) ? ReadStatus::Ok : ReadStatus::ReadFailed;
    }
    std::FILE* file = OpenForReading(path);
    if (!file) {
        reason = errno ? std::strerror(errno) : "cannot open";
        return ReadStatus::CannotOpen;
    }
    const bool ok = ReadAll(file, bytes, reason);
    std::fclose(file);
    return ok ? ReadStatus::Ok : ReadStatus::ReadFailed;
}

// Smaller files are read: mapping one costs more than copying it.
constexpr std::size_t kMapFrom = 256 * 1024;

TextFile::~TextFile() { Release(); }

void TextFile::Release() {
#ifndef _WIN32
    if (mapped_) munmap(mapped_, mappedSize_);
#endif
    mapped_ = nullptr;
    mappedSize_ = 0;
    // The buffer is kept for the next file (thousands of small texts read
    // one after another), unless a rare big unmapped read made it large.
    buffer_.clear();
    if (buffer_.capacity() > kMapFrom) std::string().swap(buffer_);
}

#ifndef _WIN32
// Reads a descriptor to its end into `bytes`: for a regular file of known
// size one read call, since a short read of a regular file is its end;
// anything else until read says there is no more.
bool ReadDescriptor(int fd, std::size_t knownSize, bool regular, std::string& bytes, std::string& reason) {
    bytes.resize(knownSize > 0 ? knownSize + 1 : 65536);
    std::size_t filled = 0;
    while (true) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            reason = std::strerror(errno);
            return false;
        }
        filled += static_cast<std::size_t>(got);
        if (got == 0 || (regular && filled < bytes.size())) break;
        if (filled == bytes.size()) bytes.resize(bytes.size() * 2);
    }
    bytes.resize(filled);
    return true;
}
#endif

ReadStatus TextFile::Open(const std::string& path, std::string& reason) {
    Release();
#ifndef _WIN32
    if (path != "-") {
        // The descriptor itself, not a stream: one status call and, for a
        // small file, one read, which matters over thousands of files.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            reason = std::strerror(errno);
            return ReadStatus::CannotOpen;
        }
        struct stat info;
        const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        const std::size_t size = regular && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
        if (size >= kMapFrom) {
            // Mapped with its pages made present at once: one call instead of
            // a fault per page.
            void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (p != MAP_FAILED) {
                mapped_ = p;
                mappedSize_ = size;
                ::close(fd);
                return ReadStatus::Ok;
            }
        }
        const bool ok = ReadDescriptor(fd, size, regular, buffer_, reason);
        ::close(fd);
        return ok ? ReadStatus::Ok : ReadStatus::ReadFailed;
    }
#endif
    return ReadWholeFile(path, buffer_, reason);
}

std::string_view TextFile::bytes() const {
    if (mapped_) return {static_cast<const char*>(mapped_), mappedSize_};
    return buffer_;
}

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    return std::fflush(stream) == 0 && written;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string& reason) {
    const std::string temporary = path + ".tmp" + std::to_string(ProcessId());
    errno = 0;
    std::FILE* file = OpenForWriting(temporary);
    if (!file) {
        reason = errno ? std::strerror(errno) : "cannot create";
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        reason = writeErrno ? std::strerror(writeErrno) : errno ? std::strerror(errno) : "write error";
        RemoveFile(temporary);
        return false;
    }
    errno = 0;
    if (!RenameReplacing(temporary, path)) {
        reason = errno ? std::strerror(errno) : "cannot replace the file";
        RemoveFile(temporary);
        return false;
    }
    return true;
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
