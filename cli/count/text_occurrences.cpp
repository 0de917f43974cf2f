// A text's occurrences in text order.
#include "cli/count/text_occurrences.h"

#include <algorithm>

namespace quenbol::cli {

TextOccurrences::Cursor::Cursor(const TextOccurrences& occurrences) {
    for (int group = 0; group < 2; ++group) {
        const MatchReport& report = occurrences.reports_[group];
        for (std::size_t r = 0; r < report.runCount(); ++r) {
            Run run{report.ReadRun(r), group == 1};
            if (run.reader.Next()) heap_.push_back(std::move(run));
        }
    }
    std::make_heap(heap_.begin(), heap_.end(), Later);
}

bool TextOccurrences::Cursor::Later(const Run& a, const Run& b) {
    // No two occurrences of one group share a start.
    const std::uint32_t sa = a.reader.spans().front().start, sb = b.reader.spans().front().start;
    return sa != sb ? sa > sb : a.manual && !b.manual;
}

bool TextOccurrences::Cursor::Next() {
    if (taken_) {
        std::pop_heap(heap_.begin(), heap_.end(), Later);
        if (heap_.back().reader.Next()) {
            std::push_heap(heap_.begin(), heap_.end(), Later);
        } else {
            heap_.pop_back();
        }
    }
    taken_ = !heap_.empty();
    if (!taken_) return false;
    const Run& top = heap_.front();
    const int word = static_cast<int>(top.reader.word());
    if (top.manual) {
        current_ = {true, -1, word, top.reader.spans()};
    } else {
        current_ = {false, word / kSlotsPerMember, word % kSlotsPerMember, top.reader.spans()};
    }
    return true;
}

}  // namespace quenbol::cli
