// The occurrences a scan finds: for each keyword, its start positions in
// ascending order, read back once, front to back, by the simulation.
//
// A text full of names holds about one occurrence per five bytes, so the
// store is kept small: each start is written as its distance from the one
// before, in two bytes (a distance too large for them takes three entries),
// on pages that never move once written. Growing then costs no copy, and the
// room not used is at most the last page of each keyword.
//
// A text scanned in two stretches at once fills two stores: the second,
// the store's rest, holds the starts from where the second stretch begins,
// and is read after the first as if one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quenbol {

class Occurrences {
    struct List;

public:
    // Empties the store and makes room for `keywords` keywords. Each list
    // keeps its first page, so that a store kept for many small texts does
    // not allocate again for every keyword each text holds.
    void Reset(std::size_t keywords) {
        lists_.resize(keywords);
        for (List& list : lists_) list.Clear();
        rest_.reset();
    }

    // An empty store for the starts from `from` on, after all of this
    // one's, of the same keywords, read after them.
    Occurrences& StartRest(std::uint32_t from) {
        restFrom_ = from;
        rest_ = std::make_unique<Occurrences>();
        rest_->Reset(lists_.size());
        return *rest_;
    }

    // Adds an occurrence of `keyword`; starts must ascend per keyword.
    void Add(std::size_t keyword, std::uint32_t start) {
        List& list = lists_[keyword];
        ++list.count;
        const std::uint32_t distance = start - list.last;
        list.last = start;
        if (distance < kEscape) {
            list.Push(static_cast<std::uint16_t>(distance));
            return;
        }
        list.Push(kEscape);
        list.Push(static_cast<std::uint16_t>(start >> 16));
        list.Push(static_cast<std::uint16_t>(start));
    }

    // The starts of one keyword, front to back.
    class Reader {
    public:
        bool done() const { return done_; }
        std::uint32_t value() const { return value_; }
        // Moves to the next start, or past the last.
        void Next() {
            if (at_ == end_ && !NextPage()) {
                done_ = true;
                return;
            }
            const std::uint16_t entry = *at_++;
            if (entry != kEscape) {
                value_ += entry;
                return;
            }
            const std::uint32_t high = Pull();
            value_ = high << 16 | Pull();
        }

    private:
        friend class Occurrences;
        Reader(const Occurrences& store, std::size_t keyword)
            : list_(&store.lists_[keyword]), rest_(store.rest_.get()), keyword_(keyword) {
            Next();
        }

        // An escape's entries are always written whole, so they are there.
        std::uint16_t Pull() {
            if (at_ == end_) NextPage();
            return *at_++;
        }
        bool NextPage() {
            while (page_ == list_->pages.size() || (page_ == 0 && list_->at == list_->pages[0].get())) {
                // This list is read (or holds nothing): on to the rest's, whose
                // first entry is a start itself, not a distance.
                if (!rest_) return false;
                list_ = &rest_->lists_[keyword_];
                rest_ = rest_->rest_.get();
                page_ = 0;
                value_ = 0;
            }
            at_ = list_->pages[page_].get();
            end_ = page_ + 1 == list_->pages.size() ? list_->at : at_ + PageSize(page_);
            ++page_;
            return at_ != end_;
        }

        const List* list_;
        const Occurrences* rest_;  // read after list_
        std::size_t keyword_;
        std::size_t page_ = 0;  // the page after the one being read
        const std::uint16_t* at_ = nullptr;
        const std::uint16_t* end_ = nullptr;
        std::uint32_t value_ = 0;
        bool done_ = false;
    };
    std::size_t CountOf(std::size_t keyword) const {
        return lists_[keyword].count + (rest_ ? rest_->CountOf(keyword) : 0);
    }
    // Positioned on the first start (done() at once when there is none).
    Reader Of(std::size_t keyword) const { return Reader(*this, keyword); }
    // Positioned on the first start at or after `start`, read from the
    // store that holds it.
    Reader From(std::size_t keyword, std::uint32_t start) const {
        const Occurrences* store = this;
        while (store->rest_ && start >= store->restFrom_) store = store->rest_.get();
        Reader reader(*store, keyword);
        while (!reader.done() && reader.value() < start) reader.Next();
        return reader;
    }

private:
    static constexpr std::uint16_t kEscape = 0xFFFF;
    // Pages grow from 16 entries to 8,192, so a keyword seen a few times
    // takes a few bytes and a common one wastes at most 16 KiB.
    static std::size_t PageSize(std::size_t page) { return std::size_t{16} << (page < 9 ? page : 9); }

    struct List {
        std::vector<std::unique_ptr<std::uint16_t[]>> pages;
        std::uint16_t* at = nullptr;   // where the next entry goes, in the last page
        std::uint16_t* end = nullptr;  // the last page's end
        std::uint32_t last = 0;        // the start added last (0 before the first)
        std::size_t count = 0;         // starts added

        void Clear() {
            if (!pages.empty()) {
                pages.resize(1);
                at = pages[0].get();
                end = at + PageSize(0);
            }
            last = 0;
            count = 0;
        }

        void Push(std::uint16_t entry) {
            if (at == end) {
                const std::size_t size = PageSize(pages.size());
                pages.push_back(std::make_unique_for_overwrite<std::uint16_t[]>(size));
                at = pages.back().get();
                end = at + size;
            }
            *at++ = entry;
        }
    };

    std::vector<List> lists_;
    std::unique_ptr<Occurrences> rest_;
    std::uint32_t restFrom_ = 0;  // where the rest's starts begin
};

}  // namespace quenbol
