// Whole files through FileSystem: the safe replace and the all-or-nothing read.
#include "settings/whole_file.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace quenbol {
namespace {

constexpr DWORD kChunk = 64 * 1024;

// Virus scanners, the search indexer and sync tools hold a file that was just
// written or chosen for a moment; what that looks like is tried again, ten
// times over about half a second.
constexpr int kTries = 10;
constexpr DWORD kPauseMs = 50;

bool Transient(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_ACCESS_DENIED:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:   // the target is in use; both files keep their names
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:  // likewise, with a backup name given
            return true;
        default:
            return false;
    }
}

// Runs `attempt` until it succeeds or fails for good; GetLastError() then
// tells the last failure.
template <class Attempt>
bool WithRetries(FileSystem& files, Attempt attempt) {
    for (int tried = 1;; ++tried) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (tried == kTries || !Transient(error)) {
            SetLastError(error);
            return false;
        }
        files.Pause(kPauseMs);
    }
}

HANDLE OpenWithRetries(const std::wstring& path, DWORD access, FileSystem& files) {
    HANDLE file = INVALID_HANDLE_VALUE;
    WithRetries(files, [&] {
        file = files.Open(path.c_str(), access, 0, OPEN_EXISTING);
        return file != INVALID_HANDLE_VALUE;
    });
    return file;
}

// A file handle closed when it goes, if still open.
struct OpenFile {
    FileSystem& files;
    HANDLE handle;
    ~OpenFile() {
        if (handle != INVALID_HANDLE_VALUE) files.Close(handle);
    }
    bool Close() { return files.Close(std::exchange(handle, INVALID_HANDLE_VALUE)); }
};

// Short names in the target's folder ("~qb0.tmp", ...), so that a target
// near the length limit of a name or a path still gets one.
std::wstring SiblingName(const std::wstring& target, int n) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    return folder + L"~qb" + std::to_wstring(n) + L".tmp";
}

}  // namespace

// The temporary file the new content goes to: a new, empty file beside the
// target, open for writing by us alone. Removed when it goes, unless it has
// taken the target's place.
class TempFile {
public:
    TempFile(FileSystem& files, std::wstring name, HANDLE handle) : m_name(std::move(name)), m_file{files, handle} {}
    ~TempFile() {
        if (m_file.handle != INVALID_HANDLE_VALUE) m_file.Close();
        if (!m_name.empty()) m_file.files.Remove(m_name.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::wstring& Name() const { return m_name; }
    OpenFile& File() { return m_file; }
    void Placed() { m_name.clear(); }

private:
    std::wstring m_name;
    OpenFile m_file;
};

namespace {

// Nothing when the folder takes no new file.
std::unique_ptr<TempFile> CreateTemp(const std::wstring& target, FileSystem& files) {
    for (int n = 0; n < 100; ++n) {
        std::wstring name = SiblingName(target, n);
        HANDLE file = files.Open(name.c_str(), GENERIC_WRITE, 0, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE) return std::make_unique<TempFile>(files, std::move(name), file);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return nullptr;
}

bool WriteAll(HANDLE file, std::string_view bytes, FileSystem& files) {
    while (!bytes.empty()) {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
        DWORD done = 0;
        // A write that reports success but moves nothing would loop forever.
        if (!files.Write(file, bytes.data(), size, &done) || done == 0 || done > size) return false;
        bytes.remove_prefix(done);
    }
    return true;
}

// Reads from where the file stands until its end, or until `enoughLines`
// line ends are in; false on a read error.
bool ReadInto(HANDLE file, std::string& bytes, std::size_t enoughLines, FileSystem& files) {
    std::string chunk(kChunk, '\0');
    std::size_t lineEnds = 0;
    while (lineEnds < enoughLines) {
        DWORD done = 0;
        if (!files.Read(file, chunk.data(), kChunk, &done) || done > kChunk) return false;
        if (done == 0) break;
        const std::string_view got(chunk.data(), done);
        lineEnds += static_cast<std::size_t>(std::count(got.begin(), got.end(), '\n'));
        bytes += got;
    }
    return true;
}

// An existing target that takes writing; a new one is checked by creating
// the temporary file beside it.
bool TargetWritable(const std::wstring& path, DWORD attributes, FileSystem& files) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    // The read-only mark is checked itself: the open below does not refuse
    // it everywhere (Wine run by root), and the replace would replace the file.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    OpenFile file{files, OpenWithRetries(path, GENERIC_WRITE, files)};
    return file.handle != INVALID_HANDLE_VALUE;
}

// The folder takes no new file: the content is written over the target's,
// whose old bytes are kept in memory and written back if that fails.
ReplaceResult WriteInPlace(const std::wstring& path, std::string_view bytes, FileSystem& files) {
    OpenFile file{files, OpenWithRetries(path, GENERIC_READ | GENERIC_WRITE, files)};
    if (file.handle == INVALID_HANDLE_VALUE) return ReplaceResult::CannotOpen;
    std::string old;
    if (!ReadInto(file.handle, old, std::numeric_limits<std::size_t>::max(), files)) return ReplaceResult::CannotOpen;
    auto put = [&](std::string_view content) {
        return files.Rewind(file.handle) && WriteAll(file.handle, content, files) && files.EndHere(file.handle) &&
               files.Flush(file.handle);
    };
    if (!put(bytes)) return put(old) && file.Close() ? ReplaceResult::WriteFailed : ReplaceResult::MayBeDamaged;
    return file.Close() ? ReplaceResult::Replaced : ReplaceResult::MayBeDamaged;
}

// What ReplaceFileW keeps on Windows and Wine's does not: put back after it.
void KeepAttributes(const std::wstring& path, DWORD old, FileSystem& files) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    constexpr DWORD kSettable = kKept | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE;
    const DWORD now = files.Attributes(path.c_str());
    if (now == INVALID_FILE_ATTRIBUTES || (now & kKept) == (old & kKept)) return;
    const DWORD wanted = ((now & kSettable) & ~kKept) | (old & kKept);
    files.SetAttributes(path.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
}

// The temporary file takes the existing target's place. The old file goes to
// a backup name meanwhile: without one, ReplaceFileW can fail part-way with no
// file left under the target's name.
bool ReplaceTarget(const std::wstring& path, const std::wstring& temp, DWORD attributes, FileSystem& files) {
    std::wstring backup;
    for (int n = 0; n < 100 && backup.empty(); ++n) {
        std::wstring name = SiblingName(path, n);
        if (files.Attributes(name.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND) {
            backup = std::move(name);
        }
    }
    if (backup.empty()) return false;
    if (!WithRetries(files, [&] { return files.Replace(path.c_str(), temp.c_str(), backup.c_str()); })) {
        const DWORD error = GetLastError();
        // The old file was moved to the backup name but the new one not into place.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            WithRetries(files, [&] { return files.MoveOver(backup.c_str(), path.c_str()); });
        }
        // A file system that cannot replace (some network shares): the move, as before.
        const bool cannotReplace =
            error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER;
        if (!cannotReplace || !WithRetries(files, [&] { return files.MoveOver(temp.c_str(), path.c_str()); })) {
            return false;
        }
    } else {
        files.Remove(backup.c_str());
    }
    KeepAttributes(path, attributes, files);
    return true;
}

}  // namespace

ReplaceResult ReplaceWholeFile(const std::wstring& path, std::string_view bytes, FileSystem& files) {
    WholeFileWriter writer(files);
    if (!writer.Begin(path)) return ReplaceResult::CannotOpen;
    writer.Write(bytes);
    return writer.Finish();
}

WholeFileWriter::WholeFileWriter(FileSystem& files) : files_(files) {}

WholeFileWriter::~WholeFileWriter() = default;

bool WholeFileWriter::Begin(const std::wstring& path) {
    path_ = path;
    attributes_ = files_.Attributes(path.c_str());
    if (!TargetWritable(path, attributes_, files_)) return false;
    temp_ = CreateTemp(path, files_);
    inPlace_ = !temp_;
    return temp_ || attributes_ != INVALID_FILE_ATTRIBUTES;
}

bool WholeFileWriter::Write(std::string_view bytes) {
    if (failed_) return false;
    if (inPlace_) {
        gathered_ += bytes;
        return true;
    }
    failed_ = !temp_ || !WriteAll(temp_->File().handle, bytes, files_);
    return !failed_;
}

ReplaceResult WholeFileWriter::Finish() {
    if (inPlace_) return WriteInPlace(path_, gathered_, files_);
    if (failed_ || !temp_) return ReplaceResult::WriteFailed;
    OpenFile& file = temp_->File();
    if (!files_.Flush(file.handle) || !file.Close()) return ReplaceResult::WriteFailed;
    // Another program may have opened the target since it was checked; then
    // it stays as it is, like a target refused at the open.
    const bool placed = attributes_ != INVALID_FILE_ATTRIBUTES
                            ? ReplaceTarget(path_, temp_->Name(), attributes_, files_)
                            : WithRetries(files_, [&] { return files_.MoveOver(temp_->Name().c_str(), path_.c_str()); });
    if (!placed) return ReplaceResult::CannotOpen;
    temp_->Placed();
    temp_.reset();
    return ReplaceResult::Replaced;
}

ReadResult ReadFileStart(const std::wstring& path, std::size_t enoughLines, std::string& bytes, FileSystem& files) {
    // A folder is refused at once: opening one is refused as access denied,
    // which is otherwise tried again.
    const DWORD attributes = files.Attributes(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ReadResult::CannotOpen;
    OpenFile file{files, OpenWithRetries(path, GENERIC_READ, files)};
    if (file.handle == INVALID_HANDLE_VALUE) return ReadResult::CannotOpen;

    std::string read;
    bool ok = false;
    try {
        ok = ReadInto(file.handle, read, enoughLines, files);
    } catch (const std::bad_alloc&) {
        ok = false;  // a file too big for memory counts as unreadable
    }
    file.Close();
    if (!ok) return ReadResult::ReadFailed;
    bytes = std::move(read);
    return ReadResult::Read;
}

}  // namespace quenbol
