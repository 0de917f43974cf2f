// Fuzz target: the ordinary-word check on any bytes. The first two bytes
// choose the occurrence (its start and length in characters); the rest is
// the text. Whatever the text, a word found holds the whole occurrence and
// at least one more byte, within the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"
#include "core/words/inside_word.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::vector<std::size_t> marks;  // character boundaries, as the counter walks them
    for (std::size_t at = 0; at < text.size();) {
        marks.push_back(at);
        at += quenbol::IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    marks.push_back(text.size());
    const std::size_t first = data[0] % marks.size();
    const std::size_t last = std::min(marks.size() - 1, first + 1 + data[1] % 8);
    if (last <= first) return 0;
    const std::size_t start = marks[first], length = marks[last] - start;
    // The occurrence itself is a keyword, as in the counter, and so is a piece of text.
    static const quenbol::InsideWordCheck check({std::string("\x82\xe9\x82\xa2"), std::string("\x83\x8b\x83\x43")});
    if (const auto word = check.Find(text, start, length)) {
        if (word->start > start || word->end < start + length || word->end > text.size()) std::abort();
        if (word->end - word->start <= length) std::abort();
    }
    return 0;
}
