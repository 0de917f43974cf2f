// Count-by-deletion and the four counting actions of the main window.
#include "core/counting.h"

#include <algorithm>
#include <limits>

#include "core/sjis.h"

namespace quenbol {
namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinCount = std::numeric_limits<std::int32_t>::min();

std::int32_t ClampToCount(std::int64_t n) {
    return static_cast<std::int32_t>(std::clamp(n, kMinCount, kMaxCount));
}

}  // namespace

std::int32_t SaturatingAdd(std::int32_t total, std::int64_t n) {
    return ClampToCount(static_cast<std::int64_t>(total) + n);
}

// One forward pass: the walk over character boundaries, the search for the
// next candidate and the closing-up of the text all move left to right, so the
// result equals "find from the scan position, erase, repeat" without its
// quadratic cost. After a match the walk resumes right behind it, where the
// erased text would have put the scan position.
std::int64_t RemoveAll(std::string& text, std::string_view word) {
    // A NUL stands for a character with no code page 932 form; it never matches.
    if (word.empty() || word.find('\0') != std::string_view::npos) return 0;
    const std::size_t n = text.size();
    const std::string_view view(text);
    std::size_t read = 0;   // next boundary of the walk, in the original bytes
    std::size_t write = 0;  // end of the kept text
    std::int64_t count = 0;
    while (read < n) {
        std::size_t candidate = view.find(word, read);
        if (candidate == std::string_view::npos) break;
        std::size_t pos = read;
        while (pos < candidate) {
            pos += (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < n) ? 2 : 1;
        }
        if (pos != candidate) {  // the candidate starts on a second byte
            // Keep the bytes walked over, then look again from the boundary reached.
            std::copy(text.begin() + read, text.begin() + pos, text.begin() + write);
            write += pos - read;
            read = pos;
            continue;
        }
        std::copy(text.begin() + read, text.begin() + candidate, text.begin() + write);
        write += candidate - read;
        read = candidate + word.size();
        ++count;
    }
    std::copy(text.begin() + read, text.end(), text.begin() + write);
    write += n - read;
    text.resize(write);
    return count;
}

void CountAndRemove(std::string& text, const std::string* words, int wordCount,
                    std::int32_t& current, std::int32_t& total) {
    std::int64_t n = 0;
    for (int i = 0; i < wordCount; ++i) {
        if (!words[i].empty()) n += RemoveAll(text, words[i]);
    }
    current = ClampToCount(n);
    total = SaturatingAdd(total, n);
}

MemberIndex SearchAll(CountingState& state, const Keywords& table) {
    std::string work = state.text;
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        CountAndRemove(work, &table[EntryIndex(m, 0)], kSlotsPerMember, state.current[m],
                       state.total[m]);
    }
    SearchManualOnly(state);
    return FindTopMember(state.current);
}

void SearchManualOnly(CountingState& state) {
    std::string work = state.text;
    CountAndRemove(work, state.manualWords.data(), kManualWordCount, state.manualCurrent,
                   state.manualTotal);
}

void ResetTotals(CountingState& state) {
    state.total.fill(0);
    state.manualTotal = 0;
}

void ClearText(CountingState& state) { state.text.clear(); }

}  // namespace quenbol
