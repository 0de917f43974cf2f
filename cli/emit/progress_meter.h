// The progress line on standard error: texts done of the total, megabytes,
// megabytes per second and the time left, redrawn in place and cleared at
// the end. Shown only once a run has taken half a second.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quenbol::cli {

// "120/1000 texts, 3.4 MB, 1.2 MB/s, 0:12 left"; the total and the time left
// only when the total is known (non-zero) and some text is done.
std::string ProgressLine(std::size_t done, std::size_t total, std::uint64_t bytes, double seconds);

class ProgressMeter {
public:
    using Clock = std::chrono::steady_clock;

    // Nothing is ever written when not `enabled`. `write` receives the bytes
    // that redraw or clear the line.
    ProgressMeter(bool enabled, std::size_t totalTexts, std::function<void(std::string_view)> write,
                  Clock::time_point start = Clock::now());

    void TextDone(std::uint64_t bytes) {
        ++done_;
        bytes_ += bytes;
    }

    // Redraws the line when half a second has passed since the start and a
    // fifth of one since the last redraw.
    void Tick(Clock::time_point now = Clock::now());

    // Clears the line, if one was drawn.
    void Finish();

private:
    bool enabled_;
    std::size_t total_;
    std::function<void(std::string_view)> write_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_{};
    std::size_t done_ = 0;
    std::uint64_t bytes_ = 0;
    std::size_t drawnWidth_ = 0;
};

// Whether standard error is a terminal (a console on Windows).
bool StandardErrorIsTerminal();

}  // namespace quenbol::cli
