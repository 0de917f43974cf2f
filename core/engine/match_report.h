// Where each occurrence a chain of words deleted was in the original text:
// the word that took it and the stretches of the original text it is made of
// (one for an ordinary match, two or more for a match that formed where
// earlier deletions closed the text up). Filled only when asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quenbol {

// Bytes [start, end) of the original text.
struct TextSpan {
    std::size_t start = 0;
    std::size_t end = 0;
    bool operator==(const TextSpan&) const = default;
};

class MatchReport {
public:
    struct Match {
        std::uint32_t word;       // the word's index in its chain
        std::size_t firstSpan;    // its spans: from here to the next match's firstSpan
    };

    void Clear() {
        matches_.clear();
        spans_.clear();
    }
    std::size_t size() const { return matches_.size(); }
    std::uint32_t WordOf(std::size_t i) const { return matches_[i].word; }
    std::span<const TextSpan> SpansOf(std::size_t i) const {
        const std::size_t end = i + 1 < matches_.size() ? matches_[i + 1].firstSpan : spans_.size();
        return std::span<const TextSpan>(spans_).subspan(matches_[i].firstSpan, end - matches_[i].firstSpan);
    }

    // A new match by `word`; its spans follow through AddSpan.
    void BeginMatch(std::uint32_t word) {
        matches_.push_back({word, spans_.size()});
    }
    // Extends the current match by [start, end), joining it to the span
    // before when they touch.
    void AddSpan(std::size_t start, std::size_t end) {
        if (spans_.size() > matches_.back().firstSpan && spans_.back().end == start) {
            spans_.back().end = end;
        } else {
            spans_.push_back({start, end});
        }
    }

private:
    std::vector<Match> matches_;
    std::vector<TextSpan> spans_;
};

}  // namespace quenbol
