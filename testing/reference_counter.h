// A deliberately simple counter, written straight from the rules, against
// which the real one is checked: find the leftmost match at or after the scan
// position by walking characters from there, erase it, resume at the match.
// Its tracked form carries, beside every byte of the working copy, that
// byte's offset in the original text, and so says where each counted
// occurrence came from.
#pragma once

#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "core/counting.h"
#include "core/occurrence.h"
#include "core/text/cp932.h"

namespace quenbol::reference {

// A working copy and, for each of its bytes, where that byte stood in the
// original text.
struct TrackedText {
    std::string bytes;
    std::vector<std::size_t> origin;

    explicit TrackedText(std::string_view text) : bytes(text), origin(text.size()) {
        std::iota(origin.begin(), origin.end(), std::size_t{0});
    }
};

// The leftmost match of `word` at or after `scan` on a character start, or npos.
inline std::size_t FindFrom(const std::string& text, std::string_view word, std::size_t scan) {
    for (std::size_t pos = scan; pos < text.size();) {
        if (text.compare(pos, word.size(), word) == 0) return pos;
        const bool twoBytes = IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size();
        pos += twoBytes ? 2 : 1;
    }
    return std::string::npos;
}

// Removes every occurrence as RemoveAll does; returns each one's stretches of
// the original text, in the order they were removed.
inline std::vector<std::vector<TextSpan>> RemoveAllTracked(TrackedText& text, std::string_view word) {
    std::vector<std::vector<TextSpan>> removed;
    if (word.empty() || word.find('\0') != std::string_view::npos) return removed;
    for (std::size_t pos = FindFrom(text.bytes, word, 0); pos != std::string::npos;
         pos = FindFrom(text.bytes, word, pos)) {
        std::vector<TextSpan> spans;
        for (std::size_t i = pos; i < pos + word.size(); ++i) {
            const auto at = static_cast<std::uint32_t>(text.origin[i]);
            if (!spans.empty() && spans.back().end == at) {
                ++spans.back().end;
            } else {
                spans.push_back({at, at + 1});
            }
        }
        removed.push_back(std::move(spans));
        text.bytes.erase(pos, word.size());
        text.origin.erase(text.origin.begin() + static_cast<std::ptrdiff_t>(pos),
                          text.origin.begin() + static_cast<std::ptrdiff_t>(pos + word.size()));
    }
    return removed;
}

inline std::int64_t RemoveAll(std::string& text, std::string_view word) {
    if (word.empty() || word.find('\0') != std::string_view::npos) return 0;
    std::int64_t count = 0;
    for (std::size_t pos = FindFrom(text, word, 0); pos != std::string::npos;
         pos = FindFrom(text, word, pos)) {
        text.erase(pos, word.size());
        ++count;
    }
    return count;
}

inline std::int64_t CountWords(std::string& text, const std::string* words, int count) {
    std::int64_t n = 0;
    for (int i = 0; i < count; ++i) n += RemoveAll(text, words[i]);
    return n;
}

// Member counts and the manual count of one search-all over `text`.
struct SearchResult {
    std::int64_t members[kMemberCount] = {};
    std::int64_t manual = 0;
};

inline SearchResult SearchAll(const std::string& text, const Keywords& table,
                              const ManualWordList& manual) {
    SearchResult result;
    std::string work = text;
    for (int m = 0; m < kMemberCount; ++m) {
        result.members[m] = CountWords(work, &table[EntryIndex(m, 0)], kSlotsPerMember);
    }
    work = text;
    result.manual = CountWords(work, manual.data(), kManualWordCount);
    return result;
}

// Every occurrence one search-all counts, members then the manual words, in
// text order.
inline OccurrenceList SearchAllOccurrences(const std::string& text, const Keywords& table,
                                           const ManualWordList& manual) {
    OccurrenceList list;
    const auto run = [&list](TrackedText& work, const std::string* words, bool isManual, int member) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            for (auto& spans : RemoveAllTracked(work, words[s])) {
                list.push_back({isManual, member, s, std::move(spans)});
            }
        }
    };
    TrackedText members(text);
    for (int m = 0; m < kMemberCount; ++m) run(members, &table[EntryIndex(m, 0)], false, m);
    TrackedText whole(text);
    run(whole, manual.data(), true, -1);
    SortInTextOrder(list);
    return list;
}

}  // namespace quenbol::reference
