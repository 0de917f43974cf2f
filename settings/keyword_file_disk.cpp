// Keyword file access on disk: the safe save and the all-or-nothing load,
// by the whole-file routines.
#include "settings/keyword_file_disk.h"

#include <optional>
#include <string>
#include <utility>

#include "settings/keyword_format.h"
#include "settings/whole_file.h"

namespace quenbol {

SaveResult WriteKeywordFile(const std::wstring& path, const Keywords& table, FileSystem& files) {
    if (!FileCanHold(table)) return SaveResult::UnwritableKeyword;
    // Formatted before any file is made, so running out of memory here
    // leaves nothing behind.
    const std::string bytes = FormatKeywordFile(table);
    switch (ReplaceWholeFile(path, bytes, files)) {
        case ReplaceResult::Replaced: return SaveResult::Saved;
        case ReplaceResult::CannotOpen: return SaveResult::CannotOpen;
        case ReplaceResult::WriteFailed: return SaveResult::WriteFailed;
        case ReplaceResult::MayBeDamaged: return SaveResult::MayBeDamaged;
    }
    return SaveResult::CannotOpen;
}

LoadResult ReadKeywordFile(const std::wstring& path, Keywords& table, FileSystem& files) {
    // Reading stops once the header and the 147 entry lines are in: what
    // follows is never used.
    std::string bytes;
    switch (ReadFileStart(path, kKeywordEntries + 1, bytes, files)) {
        case ReadResult::CannotOpen: return LoadResult::CannotOpen;
        case ReadResult::ReadFailed: return LoadResult::ReadFailed;
        case ReadResult::Read: break;
    }
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
        case SaveResult::MayBeDamaged: return kMsgMayBeDamaged;
        case SaveResult::UnwritableKeyword: return kMsgUnwritableKeyword;
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
