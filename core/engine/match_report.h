// Where each occurrence a chain of words deleted was in the original text:
// the word that took it and the stretches of the original text it is made of
// (one for an ordinary match, two or more for a match that formed where
// earlier deletions closed the text up). Filled only when asked for.
//
// A text can hold as many occurrences as bytes, so they are kept packed: a
// match is coded against the one before it (how far on it starts; its word
// and its length only when they change), about one byte an occurrence in
// dense text, in blocks that are never copied to grow. Matches are read back
// in the order they were added, and a report is also a few ascending runs
// (a word's matches come in text order), which TextOrder merges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Bytes added one at a time in blocks of 64 KiB: growing never copies, so
// a report never holds twice its size.
class ByteBlocks {
public:
    std::size_t size() const { return size_; }
    unsigned char operator[](std::size_t i) const { return blocks_[i >> kBits][i & kMask]; }
    void push_back(unsigned char b) {
        if ((size_ >> kBits) == blocks_.size()) blocks_.push_back(std::make_unique_for_overwrite<unsigned char[]>(kMask + 1));
        blocks_[size_ >> kBits][size_ & kMask] = b;
        ++size_;
    }
    void Shrink(std::size_t size) { size_ = size; }  // the blocks are kept for what follows
    void Clear() { size_ = 0; }

private:
    static constexpr unsigned kBits = 16;
    static constexpr std::size_t kMask = (std::size_t{1} << kBits) - 1;
    std::vector<std::unique_ptr<unsigned char[]>> blocks_;
    std::size_t size_ = 0;
};

class MatchReport {
    // What a match is coded against: the one before it in its run.
    struct Previous {
        std::uint32_t start = 0;
        std::uint32_t word = kNoWord;
        std::uint32_t length = 0;  // of its first span
    };
    static constexpr std::uint32_t kNoWord = UINT32_MAX;

public:
    // Where a match begins in the coding, with what it is coded against.
    struct Mark {
        std::size_t at = 0;
        std::size_t run = 0;  // the runs that begin from here on: runs_[run] on
        Previous previous;
    };

    // Reads matches in the order they were added, from a mark on.
    class Reader {
    public:
        Reader(const MatchReport& report, Mark from, std::size_t end) : report_(&report), at_(from), end_(end) {}
        // The next match into word() and spans(); false after the last.
        bool Next();
        std::uint32_t word() const { return word_; }
        std::span<const TextSpan> spans() const { return spans_; }

    private:
        const MatchReport* report_;
        Mark at_;
        std::size_t end_;
        std::uint32_t word_ = 0;
        std::vector<TextSpan> spans_;
    };

    void Clear() {
        bytes_.Clear();
        runs_.clear();
        size_ = 0;
        open_ = false;
        previous_ = Previous{};
    }
    std::size_t size() const { return size_; }
    std::size_t runCount() const { return runs_.size(); }

    // Every match, or those added after `from` (taken with End()).
    Reader Read() const { return Reader(*this, Mark{}, bytes_.size()); }
    Reader ReadFrom(const Mark& from) const { return Reader(*this, from, bytes_.size()); }
    // Run r alone: its matches ascend by their first span's start.
    Reader ReadRun(std::size_t r) const {
        return Reader(*this, Mark{runs_[r], r, {}}, r + 1 < runs_.size() ? runs_[r + 1] : bytes_.size());
    }
    // Where the next match added will be coded.
    Mark End() const { return Mark{bytes_.size(), runs_.size(), open_ ? current_ : Previous{}}; }

    // Words are reported by their index in `names` (until set again with an
    // empty list): a chain's part counts its words from 0.
    void NameWords(std::span<const std::size_t> names) { names_ = names; }

    // A new match by `word`; its spans follow through AddSpan.
    void BeginMatch(std::uint32_t word) {
        if (open_) previous_ = current_;
        current_.word = names_.empty() ? word : static_cast<std::uint32_t>(names_[word]);
        spanCount_ = 0;
        open_ = true;
        ++size_;
    }
    // A new match by `word` of the one span [start, end).
    void AddMatch(std::uint32_t word, std::uint32_t start, std::uint32_t end) {
        BeginMatch(word);
        AddSpan(start, end);
    }
    // Extends the current match by [start, end), joining it to the span
    // before when they touch.
    void AddSpan(std::uint32_t start, std::uint32_t end) {
        if (spanCount_ > 0 && last_.end == start) {
            last_.end = end;
            Recode(false);
            return;
        }
        if (spanCount_ > 0) Recode(true);  // the span before is no longer the last
        if (spanCount_ == 0) {
            current_.start = start;
            if (previous_.word == kNoWord || start < previous_.start) {
                runs_.push_back(bytes_.size());
                previous_ = Previous{};
            }
        }
        lastAt_ = bytes_.size();
        last_ = {start, end};
        ++spanCount_;
        Recode(false);
    }

private:
    // Header flags of a match's first span; a later span has only `kMore`.
    static constexpr unsigned kMore = 1, kWord = 2, kLength = 4, kFlags = 3;

    void Put(std::uint64_t v) {
        for (; v >= 0x80; v >>= 7) bytes_.push_back(static_cast<unsigned char>(v | 0x80));
        bytes_.push_back(static_cast<unsigned char>(v));
    }
    std::uint64_t Get(std::size_t& at) const {
        std::uint64_t v = 0;
        for (unsigned shift = 0;; shift += 7) {
            const unsigned char b = bytes_[at++];
            v |= std::uint64_t{b & 0x7Fu} << shift;
            if (b < 0x80) return v;
        }
    }
    // Codes the current match's last span again, from where it began.
    void Recode(bool more) {
        bytes_.Shrink(lastAt_);
        const std::uint32_t length = last_.end - last_.start;
        if (spanCount_ == 1) {
            current_.length = length;
            const bool newWord = current_.word != previous_.word, newLength = length != previous_.length;
            Put((std::uint64_t{current_.start - previous_.start} << kFlags) | (more ? kMore : 0) |
                (newWord ? kWord : 0) | (newLength ? kLength : 0));
            if (newWord) Put(current_.word);
            if (newLength) Put(length);
        } else {
            Put((std::uint64_t{last_.start - lastEnd_} << 1) | (more ? kMore : 0));
            Put(length);
        }
        if (more) lastEnd_ = last_.end;
    }

    ByteBlocks bytes_;
    std::vector<std::size_t> runs_;  // where each run's first match is coded
    std::size_t size_ = 0;
    std::span<const std::size_t> names_;
    // The match being added: its first span's start and length, its word;
    // its last span, coded from lastAt_; the end of the span before that.
    bool open_ = false;
    Previous previous_, current_;
    std::size_t spanCount_ = 0;
    std::size_t lastAt_ = 0;
    TextSpan last_;
    std::uint32_t lastEnd_ = 0;

    friend class Reader;
};

inline bool MatchReport::Reader::Next() {
    if (at_.at >= end_) return false;
    const MatchReport& r = *report_;
    if (at_.run < r.runs_.size() && r.runs_[at_.run] == at_.at) {
        at_.previous = Previous{};
        ++at_.run;
    }
    Previous& p = at_.previous;
    std::uint64_t header = r.Get(at_.at);
    const std::uint32_t start = p.start + static_cast<std::uint32_t>(header >> kFlags);
    if (header & kWord) p.word = static_cast<std::uint32_t>(r.Get(at_.at));
    if (header & kLength) p.length = static_cast<std::uint32_t>(r.Get(at_.at));
    p.start = start;
    word_ = p.word;
    spans_.assign(1, TextSpan{start, start + p.length});
    while (header & kMore) {
        header = r.Get(at_.at);
        const std::uint32_t from = spans_.back().end + static_cast<std::uint32_t>(header >> 1);
        spans_.push_back({from, from + static_cast<std::uint32_t>(r.Get(at_.at))});
    }
    return true;
}

}  // namespace quenbol
