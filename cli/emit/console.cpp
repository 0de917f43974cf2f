// Messages and output on the standard streams.
#include "cli/emit/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/system_io.h"

namespace quenbol::cli {

int Refuse(const std::string& message) {
    WriteText(stderr, "quenbol-count: " + message + "\n");
    return kExitRefused;
}

int OutputFailed(const std::string& where, const std::string& reason) {
    if (reason != std::strerror(EPIPE)) WriteText(stderr, "quenbol-count: " + where + ": " + reason + "\n");
    return kExitOutputFailed;
}

int Print(std::string_view utf8) {
    return WriteText(stdout, utf8) ? kExitOk : OutputFailed("standard output", std::strerror(WriteErrorNumber()));
}

int PrintBytes(std::string_view bytes) {
    return WriteBytes(stdout, bytes) ? kExitOk : OutputFailed("standard output", std::strerror(WriteErrorNumber()));
}

std::string FileLabel(std::string_view path) { return path == "-" ? "standard input" : std::string(path); }

std::string TextFailure(std::string_view path, std::string_view failure) {
    return FileLabel(path) + ": " + std::string(failure);
}

void WarnIllFormed(std::string_view path, std::uint64_t illFormed, ProgressMeter& progress) {
    if (illFormed == 0) return;
    progress.Finish();
    WriteText(stderr, "quenbol-count: " + FileLabel(path) + ": read as UTF-8 with " + std::to_string(illFormed) +
                          (illFormed == 1 ? " ill-formed sequence" : " ill-formed sequences") + " replaced\n");
}

}  // namespace quenbol::cli
