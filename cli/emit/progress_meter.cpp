// Drawing and clearing the progress line.
#include "cli/emit/progress_meter.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quenbol::cli {
namespace {

constexpr auto kFirstDraw = std::chrono::milliseconds(500);
constexpr auto kRedraw = std::chrono::milliseconds(200);

std::string Fixed1(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

std::string Duration(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    char buffer[32];
    if (s >= 3600) std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else std::snprintf(buffer, sizeof buffer, "%ld:%02ld", s / 60, s % 60);
    return buffer;
}

}  // namespace

std::string ProgressLine(std::size_t done, std::size_t total, std::uint64_t bytes, double seconds) {
    const double megabytes = static_cast<double>(bytes) / 1e6;
    std::string line = std::to_string(done);
    if (total) line += "/" + std::to_string(total);
    line += " texts, " + Fixed1(megabytes) + " MB";
    if (seconds > 0) line += ", " + Fixed1(megabytes / seconds) + " MB/s";
    if (total && done && seconds > 0) {
        line += ", " + Duration(seconds * static_cast<double>(total - done) / static_cast<double>(done)) + " left";
    }
    return line;
}

ProgressMeter::ProgressMeter(bool enabled, std::size_t totalTexts,
                             std::function<void(std::string_view)> write, Clock::time_point start)
    : enabled_(enabled), total_(totalTexts), write_(std::move(write)), start_(start) {}

void ProgressMeter::Tick(Clock::time_point now) {
    if (!enabled_ || now - start_ < kFirstDraw) return;
    if (drawnWidth_ && now - lastDrawn_ < kRedraw) return;
    lastDrawn_ = now;
    const std::string line =
        ProgressLine(done_, total_, bytes_, std::chrono::duration<double>(now - start_).count());
    std::string draw = "\r" + line;
    if (line.size() < drawnWidth_) draw += std::string(drawnWidth_ - line.size(), ' ');
    drawnWidth_ = std::max(drawnWidth_, line.size());
    write_(draw);
}

void ProgressMeter::Finish() {
    if (!drawnWidth_) return;
    write_("\r" + std::string(drawnWidth_, ' ') + "\r");
    drawnWidth_ = 0;
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace quenbol::cli
