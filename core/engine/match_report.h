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

// Bytes [start, end) of the original text. Reports are made for texts
// shorter than 4 GiB, so 32 bits hold every offset.
struct TextSpan {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    bool operator==(const TextSpan&) const = default;
};

class MatchReport {
public:
    struct Match {
        std::uint32_t word;       // the word's index in its chain
        std::uint32_t firstSpan;  // its spans: from here to the next match's firstSpan
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
        matches_.push_back({word, static_cast<std::uint32_t>(spans_.size())});
    }
    // A new match by `word` of the one span [start, end).
    void AddMatch(std::uint32_t word, std::uint32_t start, std::uint32_t end) {
        matches_.push_back({word, static_cast<std::uint32_t>(spans_.size())});
        spans_.push_back({start, end});
    }
    // Extends the current match by [start, end), joining it to the span
    // before when they touch.
    void AddSpan(std::uint32_t start, std::uint32_t end) {
        if (spans_.size() > matches_.back().firstSpan && spans_.back().end == start) {
            spans_.back().end = end;
        } else {
            spans_.push_back({start, end});
        }
    }
    // Extends the current match by the bytes whose original offsets are
    // origin[from] to origin[to - 1], in runs of consecutive offsets.
    void AddThrough(const std::uint32_t* origin, std::size_t from, std::size_t to) {
        while (from < to) {
            std::size_t next = from + 1;
            while (next < to && origin[next] == origin[next - 1] + 1) ++next;
            AddSpan(origin[from], origin[next - 1] + 1);
            from = next;
        }
    }

    // Renames the words of matches [from, size()): word k becomes wordOf[k].
    void RenameWords(std::size_t from, std::span<const std::size_t> wordOf) {
        // (wordOf holds chain word indices, which fit in 32 bits.)
        for (std::size_t i = from; i < matches_.size(); ++i) {
            matches_[i].word = static_cast<std::uint32_t>(wordOf[matches_[i].word]);
        }
    }

private:
    std::vector<Match> matches_;
    std::vector<TextSpan> spans_;
};

}  // namespace quenbol
