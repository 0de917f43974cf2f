// RemoveAll: count-by-deletion of one word, one forward pass over the text.
// The engine hands it the words whose deletion could shift character
// boundaries, and every word when a text holds too many occurrences to keep.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "core/engine/boundary_map.h"
#include "core/engine/remove_all.h"
#include "core/text/cp932.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenbol {
namespace {

// One forward pass: the walk over character boundaries, the search for the
// next candidate and the closing-up of the text all move left to right, so the
// result equals "find from the scan position, erase, repeat" without its
// quadratic cost. After a match the walk resumes right behind it, where the
// erased text would have put the scan position. The kept bytes move down
// within the one buffer, so the ranges overlap: memmove, not std::copy.
// `matched` hears of each match's start, in the text as it was before the call.
template <class Matched>
std::int64_t RemoveAllWith(std::string& text, std::string_view word, Matched matched);

// A one-byte word: a single walk over the characters, copying those kept. For
// a common byte (a lone lead byte matches every hiragana's first byte) this
// beats a search per occurrence; for a rare one the walk costs little more.
template <class Matched>
std::int64_t RemoveAllOfByte(std::string& text, unsigned char byte, Matched matched) {
    unsigned char* const bytes = reinterpret_cast<unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t read = 0;   // a character start
    std::size_t write = 0;  // end of the kept text
    std::int64_t count = 0;
    while (read < n) {
        const unsigned char b = bytes[read++];
        if (b == byte) {
            matched(read - 1);
            ++count;  // the byte after it now starts a character, as after any match
            continue;
        }
        bytes[write++] = b;
        if (IsLeadByte(b) && read < n) bytes[write++] = bytes[read++];
    }
    text.resize(write);
    return count;
}

template <class Matched>
std::int64_t RemoveAllWith(std::string& text, std::string_view word, Matched matched) {
    // A NUL stands for a character with no code page 932 form; it never matches.
    if (word.empty() || word.find('\0') != std::string_view::npos) return 0;
    if (word.size() == 1) return RemoveAllOfByte(text, static_cast<unsigned char>(word[0]), matched);
    const std::size_t n = text.size();
    const std::string_view view(text);
    std::size_t read = 0;   // next boundary of the walk, in the original bytes
    std::size_t write = 0;  // end of the kept text
    std::int64_t count = 0;
    const auto keep = [&](std::size_t to) {
        std::memmove(text.data() + write, text.data() + read, to - read);
        write += to - read;
    };
    while (read < n) {
        std::size_t candidate = view.find(word, read);
        if (candidate == std::string_view::npos) break;
        // The walk need only begin where the run of lead-range bytes before
        // the candidate begins: the byte after any other byte (a character of
        // its own, or a second byte) starts a character.
        std::size_t pos = candidate;
        while (pos > read && IsLeadByte(static_cast<unsigned char>(text[pos - 1]))) --pos;
        while (pos < candidate) {
            pos += (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < n) ? 2 : 1;
        }
        if (pos != candidate) {  // the candidate starts on a second byte
            // Keep the bytes walked over, then look again from the boundary reached.
            keep(pos);
            read = pos;
            continue;
        }
        keep(candidate);
        matched(candidate);
        read = candidate + word.size();
        ++count;
    }
    keep(n);
    text.resize(write);
    return count;
}

}  // namespace

std::int64_t RemoveAll(std::string& text, std::string_view word) {
    return RemoveAllWith(text, word, [](std::size_t) {});
}

std::int64_t RemoveAll(std::string& text, std::string_view word, std::vector<std::uint32_t>& starts) {
    return RemoveAllWith(text, word,
                         [&starts](std::size_t start) { starts.push_back(static_cast<std::uint32_t>(start)); });
}

std::int64_t RemoveAll(std::string& text, std::string_view word, std::size_t piece,
                       const std::function<void(std::span<std::uint32_t>)>& take) {
    std::vector<std::uint32_t> starts;
    starts.reserve(piece);
    const std::int64_t n = RemoveAllWith(text, word, [&](std::size_t start) {
        starts.push_back(static_cast<std::uint32_t>(start));
        if (starts.size() == piece) {
            take(starts);
            starts.clear();
        }
    });
    if (!starts.empty()) take(starts);
    return n;
}

}  // namespace quenbol
