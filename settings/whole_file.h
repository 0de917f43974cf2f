// Reading and replacing a whole file through FileSystem (Windows), for
// every file the programs keep: the keyword file and the counter's report.
// A replace never leaves the file it replaces half-written, and a read hands
// over bytes only when it is complete.
#pragma once

#include <cstddef>
#include <memory>
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

class TempFile;

// ReplaceWholeFile a piece at a time, for content too large to hold (the
// counter's report): the same checks, new file, retries and replace. A
// writer dropped before Finish removes its new file and leaves the target as
// it was.
class WholeFileWriter {
public:
    explicit WholeFileWriter(FileSystem& files);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // Checks the target and makes the new file beside it; false when
    // nothing can be written (ReplaceResult::CannotOpen), nothing touched.
    bool Begin(const std::wstring& path);
    // False when writing fails; Finish then says WriteFailed.
    bool Write(std::string_view bytes);
    // The content in the target's place.
    ReplaceResult Finish();

private:
    FileSystem& files_;
    std::wstring path_;
    DWORD attributes_ = INVALID_FILE_ATTRIBUTES;
    std::unique_ptr<TempFile> temp_;
    // A folder that takes no new file: the content is gathered and written
    // over the target's at the end.
    bool inPlace_ = false;
    std::string gathered_;
    bool failed_ = false;
};

// Reads `path` from its start until its end or until `enoughLines` line ends
// are in, into `bytes` (assigned only on Read). The file is closed before
// this returns; one another program holds for a moment is tried again as on
// replacing.
ReadResult ReadFileStart(const std::wstring& path, std::size_t enoughLines, std::string& bytes, FileSystem& files);

}  // namespace quenbol
