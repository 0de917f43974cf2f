// The simplest good counter, kept beside the engine for comparison: one pass
// over the text per keyword. memmem finds the next candidate, a short walk
// over character starts checks that it begins a character, and the bytes
// kept are moved left as the pass goes. Every member keyword in
// roster and slot order on one working copy, then the manual words on a
// fresh copy of the whole text.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/roster.h"
#include "core/text/cp932.h"

namespace quenbol::baseline {

inline std::int64_t RemoveAllOnePass(std::string& text, std::string_view word) {
    if (word.empty() || word.find('\0') != std::string_view::npos) return 0;
    char* const bytes = text.data();
    const std::size_t n = text.size();
    std::size_t read = 0;   // a character start in the original bytes
    std::size_t write = 0;  // end of the kept text
    std::int64_t count = 0;
    while (read < n) {
        const void* hit = memmem(bytes + read, n - read, word.data(), word.size());
        if (!hit) break;
        const std::size_t candidate = static_cast<const char*>(hit) - bytes;
        // The byte after any byte outside the lead range starts a character,
        // so the walk need only begin where the lead-range run before the
        // candidate begins.
        std::size_t pos = candidate;
        while (pos > read && IsLeadByte(static_cast<unsigned char>(bytes[pos - 1]))) --pos;
        while (pos < candidate) pos += IsLeadByte(static_cast<unsigned char>(bytes[pos])) ? 2 : 1;
        if (pos != candidate) {
            // Begins on a second byte: keep the bytes walked over, look again
            // from the next start.
            std::memmove(bytes + write, bytes + read, pos - read);
            write += pos - read;
            read = pos;
            continue;
        }
        std::memmove(bytes + write, bytes + read, candidate - read);
        write += candidate - read;
        read = candidate + word.size();
        ++count;
    }
    std::memmove(bytes + write, bytes + read, n - read);
    text.resize(write + n - read);
    return count;
}

struct Result {
    std::int64_t members[kMemberCount] = {};
    std::int64_t manual = 0;
};

inline Result SearchAll(std::string_view text, const Keywords& table,
                        const ManualWordList& manual) {
    Result result;
    std::string work(text);
    for (int m = 0; m < kMemberCount; ++m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            result.members[m] += RemoveAllOnePass(work, table[EntryIndex(m, s)]);
        }
    }
    work = text;
    for (const std::string& w : manual) result.manual += RemoveAllOnePass(work, w);
    return result;
}

}  // namespace quenbol::baseline
