// What quenbol-count says on its standard streams, and the exit status that
// goes with it: output on standard output, a refusal or a failure on
// standard error as "quenbol-count: WHERE: WHAT".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/emit/progress_meter.h"

namespace quenbol::cli {

constexpr int kExitOk = 0;
constexpr int kExitOutputFailed = 1;
constexpr int kExitRefused = 2;  // usage error, unreadable file, refused keyword file

// The message on standard error; returns kExitRefused.
int Refuse(const std::string& message);

// Output that cannot be written ends the run with status 1 and the reason.
// A reader that has gone (a closed pipe) ends it without a word: on POSIX
// systems SIGPIPE does that before any write can fail, as with other tools;
// on Windows the write fails with EPIPE.
int OutputFailed(const std::string& where, const std::string& reason);

// UTF-8 text, or bytes as they are, on standard output; kExitOk, or what
// OutputFailed returns.
int Print(std::string_view utf8);
int PrintBytes(std::string_view bytes);

// A path as messages name it: "standard input" for "-".
std::string FileLabel(std::string_view path);

// "PATH: FAILURE": the one way a text's failure is told.
std::string TextFailure(std::string_view path, std::string_view failure);

// A text read as UTF-8 whose ill-formed sequences were replaced (they match
// nothing) is named on standard error in the forms that have no field for
// it, on a line of its own below the progress line.
void WarnIllFormed(std::string_view path, std::uint64_t illFormed, ProgressMeter& progress);

}  // namespace quenbol::cli
