// The counting engine behind count-by-deletion: runs ordered lists of words
// over a text as RemoveAll would, word after word on a working copy, but
// with one pass over the text for all words of all lists together.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quenbol {

// Words deleted in order from one working copy of the text.
struct WordChain {
    std::span<const std::string> words;
    std::int64_t* counts;  // out: occurrences deleted by each word
};

// Runs every chain on its own working copy of `text`; `text` is not changed.
// Empty words and words holding a NUL byte count 0.
void CountByDeletion(std::string_view text, std::span<const WordChain> chains);

// Runs one chain on `text` itself, which is left as the deletions leave it.
void CountAndDeleteInPlace(std::string& text, const WordChain& chain);

}  // namespace quenbol
