// Setting bytes aside in memory or in a temporary file.
#include "cli/emit/spill_buffer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quenbol::cli {
namespace {

// A new temporary file, opened for reading and writing, that the system
// removes when it is closed (or the program ends); null with errno set.
std::FILE* OpenTemporaryFile() {
#ifdef _WIN32
    // (tmpfile() would make it in the drive's root, where users may not write.)
    wchar_t directory[MAX_PATH + 1], name[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, directory);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(directory, L"qbc", 0, name) == 0) {
        errno = EACCES;
        return nullptr;
    }
    std::FILE* file = _wfopen(name, L"w+bTD");  // T: kept in memory if it can be; D: deleted on close
    if (!file) DeleteFileW(name);
    return file;
#else
    const char* directory = std::getenv("TMPDIR");
    std::string name = std::string(directory && *directory ? directory : "/tmp") + "/quenbol-count-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) return nullptr;
    unlink(name.c_str());
    std::FILE* file = fdopen(fd, "w+b");
    if (!file) close(fd);
    return file;
#endif
}

std::string Reason(const char* what) {
    return std::string(what) + ": " + (errno ? std::strerror(errno) : "failed");
}

}  // namespace

SpillBuffer::~SpillBuffer() {
    if (file_) std::fclose(file_);
}

bool SpillBuffer::Write(std::string_view bytes) {
    if (!file_ && held_.size() + bytes.size() <= heldAtMost_) {
        held_ += bytes;
        return true;
    }
    errno = 0;
    if (!file_) {
        file_ = OpenTemporaryFile();
        if (!file_) {
            reason_ = Reason("cannot make a temporary file");
            return false;
        }
        if (std::fwrite(held_.data(), 1, held_.size(), file_) != held_.size()) {
            reason_ = Reason("cannot write a temporary file");
            return false;
        }
        std::string().swap(held_);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        reason_ = Reason("cannot write a temporary file");
        return false;
    }
    return true;
}

bool SpillBuffer::ReadBack(const std::function<bool(std::string_view)>& take) {
    if (!file_) return take(held_);
    errno = 0;
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        reason_ = Reason("cannot read a temporary file back");
        return false;
    }
    constexpr std::size_t kPiece = 1 << 20;
    const std::unique_ptr<char[]> piece(new char[kPiece]);
    for (;;) {
        const std::size_t got = std::fread(piece.get(), 1, kPiece, file_);
        if (got > 0 && !take(std::string_view(piece.get(), got))) return false;
        if (got < kPiece) break;
    }
    if (std::ferror(file_)) {
        reason_ = Reason("cannot read a temporary file back");
        return false;
    }
    return true;
}

}  // namespace quenbol::cli
