// Reading and replacing a whole file through FileSystem (Windows), for
// every file the programs keep: the keyword file and the counter's report.
// A replace never leaves the file it replaces half-written, and a read hands
// over bytes only when it is complete.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/file_system.h"

namespace quenbol {

enum class ReplaceResult {
    Replaced,
    CannotOpen,    // the target (or a new file beside it) cannot be written: nothing touched
    WriteFailed,   // writing failed after the open: the target is as it was
    MayBeDamaged,  // writing in place failed and the old content could not be put back
};

enum class ReadResult {
    Read,
    CannotOpen,  // the file (or a folder of that name) cannot be opened for reading
    ReadFailed,  // reading failed after the open, or the file does not fit in memory
};

// Writes `bytes` as the whole content of `path`. The content goes to a new
// file with a short name in the same folder, which then replaces an existing
// target (ReplaceFileW, which keeps its attributes, permissions and streams)
// or is moved to the new name, once every byte is written and flushed; on any
// failure that file is removed again. A folder that takes no new file gets
// the content written in place, with the old content kept in memory and
// written back should the write fail. A read-only target (or a folder) is
// refused at once; a target that another program holds for a moment is
// tried again for about half a second.
ReplaceResult ReplaceWholeFile(const std::wstring& path, std::string_view bytes, FileSystem& files);

// Reads `path` from its start until its end or until `enoughLines` line ends
// are in, into `bytes` (assigned only on Read). The file is closed before
// this returns; one another program holds for a moment is tried again as on
// replacing.
ReadResult ReadFileStart(const std::wstring& path, std::size_t enoughLines, std::string& bytes, FileSystem& files);

}  // namespace quenbol
