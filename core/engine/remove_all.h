// RemoveAll: count-by-deletion of one word, the primitive that the engine's
// exact path and the counting actions share.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>


namespace quenbol {

// Deletes every occurrence of `word` found left to right from the scan
// position, matches starting only on character boundaries; returns how many.
// A match formed across a deletion point by this same call is not counted.
// An empty word removes nothing, and so does a word holding a NUL byte: NUL
// stands for a character that has no code page 932 form, which matches nothing.
std::int64_t RemoveAll(std::string& text, std::string_view word);

// The same, appending to `starts` where each occurrence began, as offsets
// into the text as it was before the call (under 4 GiB).
std::int64_t RemoveAll(std::string& text, std::string_view word, std::vector<std::uint32_t>& starts);

// The same, handing the starts to `take` in ascending pieces of at most
// `piece`, so that they are never all held (a text can hold as many as bytes).
std::int64_t RemoveAll(std::string& text, std::string_view word, std::size_t piece,
                       const std::function<void(std::span<std::uint32_t>)>& take);

}  // namespace quenbol
