// Bytes set aside while a run goes on and read back once at its end (the
// report's marked texts, which are made before the parts of the page above
// them can be): held in
// memory up to a limit, beyond it in a temporary file of the system's, so
// that what is set aside never takes more memory than the limit.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace quenbol::cli {

class SpillBuffer {
public:
    explicit SpillBuffer(std::size_t heldAtMost = 16 << 20) : heldAtMost_(heldAtMost) {}
    ~SpillBuffer();
    SpillBuffer(const SpillBuffer&) = delete;
    SpillBuffer& operator=(const SpillBuffer&) = delete;

    // False when the temporary file could not be made or written; reason() says why.
    bool Write(std::string_view bytes);
    // Hands everything written, in order, to `take` a piece at a time; false
    // when reading back failed (reason() says why) or `take` did.
    bool ReadBack(const std::function<bool(std::string_view)>& take);

    const std::string& reason() const { return reason_; }
    bool spilled() const { return file_ != nullptr; }
    std::size_t held() const { return held_.size(); }

private:
    std::size_t heldAtMost_;
    std::string held_;
    std::FILE* file_ = nullptr;
    std::string reason_;
};

}  // namespace quenbol::cli
