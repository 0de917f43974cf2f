// Output made in pieces: what the matches and the report's texts hold can be
// many times the text, so it is handed on a piece at a time instead of being
// built whole.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace quenbol::cli {

class PieceWriter {
public:
    // About this much is gathered before it is handed on.
    static constexpr std::size_t kPiece = 1 << 20;

    explicit PieceWriter(std::function<bool(std::string_view)> write) : write_(std::move(write)) {}

    // Where the output is appended; Check hands it on once it holds a piece.
    std::string& buffer() { return buffer_; }
    bool Check() { return buffer_.size() < kPiece || Flush(); }
    // Hands on what is gathered. Once a write has failed nothing more is
    // written, and this stays false.
    bool Flush() {
        ok_ = ok_ && (buffer_.empty() || write_(buffer_));
        handedOn_ += buffer_.size();
        buffer_.clear();
        return ok_;
    }
    bool ok() const { return ok_; }
    // All the bytes of the output so far, handed on or not.
    std::size_t size() const { return handedOn_ + buffer_.size(); }

private:
    std::function<bool(std::string_view)> write_;
    std::string buffer_;
    std::size_t handedOn_ = 0;
    bool ok_ = true;
};

}  // namespace quenbol::cli
