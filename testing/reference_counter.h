// A deliberately simple counter, written straight from the rules, against
// which the real one is checked: find the leftmost match at or after the scan
// position by walking characters from there, erase it, resume at the match.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/counting.h"
#include "core/sjis.h"

namespace quenbol::reference {

inline std::int64_t RemoveAll(std::string& text, std::string_view word) {
    if (word.empty() || word.find('\0') != std::string_view::npos) return 0;
    std::int64_t count = 0;
    std::size_t scan = 0;
    for (;;) {
        std::size_t pos = scan;
        bool found = false;
        while (pos < text.size()) {
            if (text.compare(pos, word.size(), word) == 0) {
                found = true;
                break;
            }
            const bool twoBytes =
                IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size();
            pos += twoBytes ? 2 : 1;
        }
        if (!found) return count;
        text.erase(pos, word.size());
        ++count;
        scan = pos;
    }
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

}  // namespace quenbol::reference
