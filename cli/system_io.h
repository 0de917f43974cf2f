// quenbol-count's contact with the operating system: the arguments as UTF-8,
// whole files and standard input as bytes, and output written unchanged. On
// Windows names and arguments go through the wide-character API, so Japanese
// arguments and file names work whatever the system's code page.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"

#ifndef _WIN32
#include "cli/read/read_buffer.h"
#endif

namespace quenbol::cli {

#ifdef _WIN32
// UTF-8 and the system's wide characters, both ways; ill-formed input
// becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(const wchar_t* wide);
#endif

// The arguments after the program name, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// The language the system's settings choose (LanguageOfLocale): on Windows
// its ANSI code page, and LC_ALL, LC_MESSAGES or LANG everywhere.
Language LocaleLanguage();

// Standard input and output carry bytes unchanged (no CR added on Windows).
void UseBinaryStandardStreams();

enum class ReadStatus { Ok, CannotOpen, ReadFailed };

// Why a file could not be read, as every message about a text or a list
// says it: "cannot open: REASON" or "cannot read: REASON".
std::string ReadFailure(ReadStatus status, const std::string& reason);

// Reads a whole file (UTF-8 path), or standard input for "-", into `bytes`.
// On failure `reason` tells why, as far as the system says.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason);

// A whole text file's bytes, for counting, read into a buffer that is kept
// from file to file. A file is read until the system says there is no more,
// whatever size it claimed: a file that another program shortens or extends
// meanwhile gives what was read, a /proc file all of its text.
class TextFile {
public:
    // Opens and reads `path` (UTF-8), or standard input for "-", replacing
    // what was held before. On failure `reason` tells why, as far as the
    // system says.
    ReadStatus Open(const std::string& path, std::string& reason);
    std::string_view bytes() const;
    // The same bytes for a reader that decodes over them; bytes() then holds
    // what it wrote.
    char* writableBytes();

private:
    std::string buffer_;  // standard input, and every file on Windows
#ifndef _WIN32
    ReadBuffer file_;
    std::size_t fileSize_ = 0;
    bool fromFile_ = false;
#endif
};

// Tests change a file between the moment its size is taken and its reading,
// as another program might, through this: `hook` is called there with the
// path (null: nothing is called, as in the program).
void SetBeforeReadingForTests(void (*hook)(const std::string& path));

// Writes bytes to a stream as they are and flushes it; false when they could
// not all be written, with errno telling why.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

// Why the last write failed, as an errno value (EIO when the system gave
// none); on Windows too a pipe whose reader has gone is EPIPE (the C library
// calls it EINVAL there).
int WriteErrorNumber();

// Writes a whole file (UTF-8 path, "-" for standard output) as OutputFile
// does; false with `reason` when it could not be written.
bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string& reason);

// Writes UTF-8 text; a Windows console gets it as UTF-16, so it shows right
// on any console code page. Elsewhere the same as WriteBytes.
bool WriteText(std::FILE* stream, std::string_view utf8);

}  // namespace quenbol::cli
