// Keyword file access on disk: the safe save and the all-or-nothing load.
#include "settings/keyword_file_io.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>

#include "settings/keyword_file.h"

namespace quenbol {
namespace {

constexpr DWORD kChunk = 64 * 1024;

// A new, empty file beside the target, opened for writing only by us.
// Returns nothing when the folder takes no new file.
std::optional<std::pair<std::wstring, HANDLE>> CreateSibling(const std::wstring& target,
                                                             FileSystem& files) {
    const std::wstring stem = target + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = stem + std::to_wstring(attempt) + L".tmp";
        HANDLE file = files.Open(name.c_str(), GENERIC_WRITE, 0, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE) return std::make_pair(std::move(name), file);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return std::nullopt;
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

// True when an existing target takes writing; leaves it unchanged either way.
// A missing target is fine: the folder is checked by creating the new file.
bool TargetWritable(const std::wstring& path, FileSystem& files) {
    // The read-only mark is checked itself: the open below does not refuse
    // it everywhere (Wine run by root), and the move would replace the file.
    const DWORD attributes = files.Attributes(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    HANDLE file = files.Open(path.c_str(), GENERIC_WRITE, 0, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    files.Close(file);
    return true;
}

}  // namespace

SaveResult WriteKeywordFile(const std::wstring& path, const Keywords& table, FileSystem& files) {
    if (!TargetWritable(path, files)) return SaveResult::CannotOpen;
    std::optional<std::pair<std::wstring, HANDLE>> sibling = CreateSibling(path, files);
    if (!sibling) return SaveResult::CannotOpen;
    const auto& [temp, file] = *sibling;

    const bool written = WriteAll(file, FormatKeywordFile(table), files) && files.Flush(file);
    const bool closed = files.Close(file);
    if (!written || !closed) {
        files.Remove(temp.c_str());
        return SaveResult::WriteFailed;
    }
    // The target was checked a moment ago; another program may have opened
    // it since. Then it stays as it is, like a target refused at the open.
    if (!files.MoveOver(temp.c_str(), path.c_str())) {
        files.Remove(temp.c_str());
        return SaveResult::CannotOpen;
    }
    return SaveResult::Saved;
}

LoadResult ReadKeywordFile(const std::wstring& path, Keywords& table, FileSystem& files) {
    HANDLE file = files.Open(path.c_str(), GENERIC_READ, 0, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return LoadResult::CannotOpen;

    // Reading stops once the header and the 147 entry lines are in: what
    // follows is never used.
    constexpr std::size_t kLinesUsed = kKeywordEntries + 1;
    std::string bytes;
    std::size_t lineEnds = 0;
    bool ok = true;
    try {
        std::string chunk(kChunk, '\0');
        while (lineEnds < kLinesUsed) {
            DWORD done = 0;
            if (!files.Read(file, chunk.data(), kChunk, &done) || done > kChunk) {
                ok = false;
                break;
            }
            if (done == 0) break;
            const std::string_view got(chunk.data(), done);
            lineEnds += static_cast<std::size_t>(std::count(got.begin(), got.end(), '\n'));
            bytes += got;
        }
    } catch (const std::bad_alloc&) {
        ok = false;  // a file too big for memory counts as unreadable
    }
    files.Close(file);
    if (!ok) return LoadResult::ReadFailed;

    std::optional<Keywords> read = ParseKeywordFile(bytes);
    if (!read) return LoadResult::NotKeywordFile;
    table = std::move(*read);  // moving strings cannot fail half-way
    return LoadResult::Loaded;
}

const char* MessageFor(SaveResult result) {
    switch (result) {
        case SaveResult::Saved: return nullptr;
        case SaveResult::CannotOpen: return kMsgCannotOpenForWriting;
        case SaveResult::WriteFailed: return kMsgWriteFailed;
    }
    return nullptr;
}

const char* MessageFor(LoadResult result) {
    switch (result) {
        case LoadResult::Loaded: return nullptr;
        case LoadResult::CannotOpen: return kMsgCannotOpen;
        case LoadResult::NotKeywordFile: return kMsgNotKeywordFile;
        case LoadResult::ReadFailed: return kMsgReadFailed;
    }
    return nullptr;
}

}  // namespace quenbol
