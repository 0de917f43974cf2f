// The texts a run counts, from the names on the command line and a
// --files-from list: files as named, directories walked with -r, and on
// Windows wildcard names expanded as Windows programs do (the shell does not).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenbol::cli {

struct InputFile {
    std::string path;   // UTF-8; "-" is standard input
    std::string error;  // set when the walk could not list a directory: the path then names it
};

struct InputList {
    std::vector<InputFile> files;
    std::string usageError;  // one line naming the problem; empty when the list is complete
};

// The named inputs in order. A directory, with `recursive`, stands for every
// regular file below it in byte order of the paths; symbolic links to
// directories are not followed (so no loop is possible), links to files are,
// and a link to nothing is kept so that reading it reports the failure.
// Without `recursive` a directory is a usage error naming it. Other names are
// kept as they are, whether they exist or not.
InputList ExpandInputs(const std::vector<std::string>& named, bool recursive);

struct FileList {
    std::vector<std::string> paths;
    std::string usageError;  // naming the line; empty when the list is accepted
};

// The paths of a --files-from list: one a line, UTF-8 (a byte-order mark
// dropped), LF or CR LF; empty lines are skipped. A line holding a NUL byte is
// refused (no path holds one: the list was written for another reader, such
// as find's -print0). "-" is standard input, as on the command line, unless
// `standardInputHolds` names what standard input already holds ("the list").
FileList ParseFileList(std::string_view bytes, const char* standardInputHolds = nullptr);

// Whether a file name matches a Windows wildcard: '*' any run of characters,
// '?' one character, letters of ASCII in either case.
bool WildcardMatches(std::string_view mask, std::string_view name);

}  // namespace quenbol::cli
