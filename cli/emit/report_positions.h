// The report's 出現位置 (where they appear): one strip per member showing
// where its mentions fall across the corpus, in a fixed number of cells
// whatever the corpus's size.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/count/text_job.h"
#include "cli/options.h"

namespace quenbol::cli {

// The strips are kept as cells over the corpus's positions: counted post by
// post, a position is the post's place among all posts; otherwise it is the
// byte's place in the files read one after another. The cells are of one
// width, a power of two; when the positions outgrow them, neighbours merge
// and the width doubles, so that between kMaxCells / 2 and kMaxCells cells
// (fewer for a small corpus) carry every mention, counted exactly.
class PositionStrips {
public:
    static constexpr std::size_t kMaxCells = 400;

    // Each text in input order with its occurrences.
    void Add(const CountedText& text);
    // The section's HTML.
    std::string Html(Language language) const;

    // What the strips hold, for tests.
    std::uint64_t width() const { return width_; }
    std::uint64_t extent() const { return extent_; }
    std::size_t texts() const { return paths_.size(); }
    const std::array<std::vector<std::int64_t>, kMemberCount>& cells() const { return cells_; }

private:
    void Count(MemberIndex member, std::uint64_t position);
    // The text that holds `position`.
    const std::string& PathAt(std::uint64_t position) const;

    bool posts_ = false;  // positions are posts
    std::uint64_t width_ = 1;
    std::uint64_t extent_ = 0;  // positions so far
    std::array<std::vector<std::int64_t>, kMemberCount> cells_;
    std::vector<std::uint64_t> textStarts_;  // each text's first position
    std::vector<std::string> paths_;         // as given
};

}  // namespace quenbol::cli
