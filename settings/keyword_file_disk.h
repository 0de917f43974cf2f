// Writing and reading a keyword file on disk, by full path, without any user
// interface. The bytes come from keyword_format.h; this adds the file access:
// a save never leaves the file it replaces half-written, and a load hands
// over a table only when the whole file has been read.
#pragma once

#include <string>

#include "core/roster.h"
#include "settings/file_system.h"

namespace quenbol {

enum class SaveResult {
    Saved,
    CannotOpen,         // the target (or a new file beside it) cannot be written: nothing touched
    WriteFailed,        // writing failed after the open: the target is as it was
    MayBeDamaged,       // writing in place failed and the old content could not be put back
    UnwritableKeyword,  // an entry holds a NUL, 0x1A or LF (FileCanHold): nothing touched
};

enum class LoadResult {
    Loaded,
    CannotOpen,      // the file cannot be opened for reading
    NotKeywordFile,  // line 1 is not the header (an empty file included)
    ReadFailed,      // reading failed after the open
};

// Writes the whole table to `path` by ReplaceWholeFile (whole_file.h): the
// file it replaces is never left half-written, and a failure leaves no new
// file behind.
SaveResult WriteKeywordFile(const std::wstring& path, const Keywords& table, FileSystem& files);

// Reads the file at `path` into `table`. `table` is assigned only on
// Loaded; every other result leaves it as it was. The file is closed before
// this returns, whatever the result; one another program holds for a moment
// is tried again as on saving.
LoadResult ReadKeywordFile(const std::wstring& path, Keywords& table, FileSystem& files);

// The message a result is reported with (code page 932), or nullptr for a
// success, which is silent.
const char* MessageFor(SaveResult result);
const char* MessageFor(LoadResult result);

}  // namespace quenbol
