// quenbol-count's contact with the operating system: the arguments as UTF-8,
// whole files and standard input as bytes, and output written unchanged. On
// Windows names and arguments go through the wide-character API, so Japanese
// arguments and file names work whatever the system's code page.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quenbol::cli {

// The arguments after the program name, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard input and output carry bytes unchanged (no CR added on Windows).
void UseBinaryStandardStreams();

enum class ReadStatus { Ok, CannotOpen, ReadFailed };

// Reads a whole file (UTF-8 path), or standard input for "-", into `bytes`.
// On failure `reason` tells why, as far as the system says.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason);

// A whole text file's bytes, for counting: a regular file is mapped into
// memory (no copy at all), anything else (standard input, a pipe, a system
// without mapping) is read into a buffer.
class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `path` (UTF-8), or standard input for "-", replacing what was
    // held before. On failure `reason` tells why, as far as the system says.
    ReadStatus Open(const std::string& path, std::string& reason);
    std::string_view bytes() const;

private:
    void Release();
    void* mapped_ = nullptr;
    std::size_t mappedSize_ = 0;
    std::string buffer_;
};

// Writes bytes to a stream as they are; false when they could not all be written.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

// Writes UTF-8 text; a Windows console gets it as UTF-16, so it shows right
// on any console code page. Elsewhere the same as WriteBytes.
bool WriteText(std::FILE* stream, std::string_view utf8);

}  // namespace quenbol::cli
