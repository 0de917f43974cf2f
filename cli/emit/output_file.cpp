// Writing a file safely: POSIX calls here, the keyword file's careful save
// (a piece at a time) on Windows.
#include "cli/emit/output_file.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <utility>

#ifdef _WIN32
#include <io.h>

#include "cli/system_io.h"
#include "settings/whole_file.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quenbol::cli {

#ifndef _WIN32
struct OutputFile::Replacing {};  // the new file is written through fd_

namespace {

// Links followed at most, as the system itself does.
constexpr int kMaxLinks = 40;

// Names that stand for an open descriptor (/dev/stdout, /proc/self/fd/1), not
// for a file to replace.
bool DescriptorAlias(const std::string& path) {
    return path == "/dev/stdout" || path == "/dev/stderr" || path.starts_with("/dev/fd/") ||
           (path.starts_with("/proc/") && path.find("/fd/") != std::string::npos);
}

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name a link chain from `path` ends at (`path` itself when it is no
// link): the file there is the one replaced. `alias` tells whether the chain
// passes through a descriptor's name. False with errno on a loop.
bool LinkEnd(std::string path, std::string& end, bool& alias) {
    alias = DescriptorAlias(path);
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            end = path;
            return true;
        }
        std::string link(4096, '\0');
        const ssize_t size = readlink(path.c_str(), link.data(), link.size());
        if (size < 0) return false;
        link.resize(static_cast<std::size_t>(size));
        path = link.starts_with('/') ? link : Folder(path) + link;
        alias = alias || DescriptorAlias(path);
    }
    errno = ELOOP;
    return false;
}

// ".qb" and ten random letters or digits: short, so that a target whose name
// is as long as the file system allows still gets one, and not to be guessed.
std::string RandomName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device random;
    std::string name = ".qb";
    for (int i = 0; i < 10; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name + ".tmp";
}

}  // namespace

bool OutputFile::Open(const std::string& path) {
    if (path == "-") {
        fd_ = STDOUT_FILENO;
        return true;
    }
    struct stat info;
    const bool exists = stat(path.c_str(), &info) == 0;
    bool alias = false;
    if (!LinkEnd(path, target_, alias)) return Fail(errno);
    if (exists && (!S_ISREG(info.st_mode) || alias)) {
        // Written where it is, appending: a regular file behind /dev/stdout is
        // one the shell opened, emptied for ">" or kept for ">>".
        fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) return Fail(errno);
        ownsFd_ = true;
        return true;
    }
    // A file that refuses writing is refused as the keyword file's save does,
    // though its folder would let it be replaced.
    if (exists && access(target_.c_str(), W_OK) != 0) return Fail(errno);
    for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
        const std::string name = Folder(target_) + (names_ ? names_() : RandomName());
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) temporary_ = name;
        else if (errno != EEXIST) return Fail(errno);
    }
    if (fd_ < 0) return Fail(EEXIST);
    ownsFd_ = true;
    struct stat old;
    if (stat(target_.c_str(), &old) == 0) {
        // The owner is kept where we may (as root; else the new file stays
        // ours), then the permission bits, which a change of owner can clear.
        if (old.st_uid != geteuid() || old.st_gid != getegid()) {
            [[maybe_unused]] const int owned = fchown(fd_, old.st_uid, old.st_gid);
        }
        if (fchmod(fd_, old.st_mode & 07777) != 0) return Fail(errno);
    }
    return true;
}

bool OutputFile::Write(std::string_view bytes) {
    if (fd_ < 0) return Fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return Fail(done < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

bool OutputFile::Finish() {
    if (fd_ < 0) return Fail(EBADF);
    if (temporary_.empty()) {
        const bool closed = !ownsFd_ || ::close(fd_) == 0;
        fd_ = -1;
        return closed || Fail(errno);
    }
    // On the device before it takes the old file's place, so that a crash
    // leaves the old report or the new one, never an empty file.
    if (fsync(fd_) != 0) return Fail(errno);
    if (::close(std::exchange(fd_, -1)) != 0) return Fail(errno);
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno);
    temporary_.clear();
    return true;
}

void OutputFile::Abandon() {
    if (fd_ >= 0 && ownsFd_) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

#else

struct OutputFile::Replacing {
    Win32FileSystem files;
    WholeFileWriter writer{files};
};

bool OutputFile::Open(const std::string& path) {
    target_ = path;
    fd_ = 1;  // standard output for "-"; else the content streams into the new file
    if (path == "-") return true;
    replacing_ = std::make_unique<Replacing>();
    if (replacing_->writer.Begin(Utf8ToWide(path))) return true;
    reason_ = "cannot open the file or make a new one beside it";
    Abandon();
    return false;
}

bool OutputFile::Write(std::string_view bytes) {
    if (fd_ < 0) return Fail(EBADF);
    if (replacing_) {
        if (replacing_->writer.Write(bytes)) return true;
        reason_ = "writing failed; the old file is as it was";
        Abandon();
        return false;
    }
    return WriteBytes(stdout, bytes) || Fail(WriteErrorNumber());
}

bool OutputFile::Finish() {
    if (fd_ < 0) return Fail(EBADF);
    fd_ = -1;
    if (!replacing_) return true;
    const ReplaceResult result = replacing_->writer.Finish();
    replacing_.reset();
    switch (result) {
        case ReplaceResult::Replaced: return true;
        case ReplaceResult::CannotOpen: reason_ = "cannot open the file or make a new one beside it"; break;
        case ReplaceResult::WriteFailed: reason_ = "writing failed; the old file is as it was"; break;
        case ReplaceResult::MayBeDamaged: reason_ = "writing in place failed; the file may be damaged"; break;
    }
    return false;
}

void OutputFile::Abandon() {
    fd_ = -1;
    replacing_.reset();  // its new file removed, the target untouched
}

#endif

OutputFile::OutputFile(NameSource names) : names_(std::move(names)) {}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Fail(int error) {
    if (reason_.empty()) reason_ = std::strerror(error);
    Abandon();
    return false;
}

}  // namespace quenbol::cli
