// The ordinary vocabulary of Japanese: the IPA dictionary's words without
// proper nouns (person names, places, organisations and the rest), each with
// its lowest cost in the dictionary (lower is a more likely word), in code
// page 932, sorted bytewise. Built into the program as read-only data
// (core/words/CMakeLists.txt); nothing is built or allocated at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" const unsigned char quenbol_word_table_bytes[] asm("quenbol_word_table_bytes");
extern "C" const unsigned char quenbol_word_table_bytes_end[] asm("quenbol_word_table_bytes_end");

namespace quenbol {

class WordTable {
public:
    // The table built into the program.
    static const WordTable& BuiltIn();

    std::size_t size() const { return count_; }
    std::string_view Word(std::size_t i) const;
    int Cost(std::size_t i) const;

    // Calls found(length, cost) for every word that text begins with, shortest
    // first; length is in bytes.
    template <typename Found>
    void ForEachPrefix(std::string_view text, Found found) const {
        if (text.empty() || count_ == 0) return;
        std::size_t lo = 0, hi = 0;
        if (OneByteWord(static_cast<unsigned char>(text[0]), lo)) found(1, Cost(lo));
        if (text.size() < 2) return;
        // The index gives the words of the first two bytes at once.
        FirstTwo(static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]), lo, hi);
        if (lo < hi && Length(lo) == 2) found(2, Cost(lo));
        for (std::size_t depth = 2; depth < text.size() && lo < hi; ++depth) {
            Narrow(depth, static_cast<unsigned char>(text[depth]), lo, hi);
            if (lo < hi && Length(lo) == depth + 1) found(depth + 1, Cost(lo));
        }
    }

private:
    explicit WordTable(const unsigned char* bytes);
    std::size_t Offset(std::size_t i) const;
    std::size_t Length(std::size_t i) const { return Offset(i + 1) - Offset(i); }
    // Keeps in [lo, hi), whose words share their first `depth` bytes, those
    // whose next byte is b.
    void Narrow(std::size_t depth, unsigned char b, std::size_t& lo, std::size_t& hi) const;
    // Whether the one-byte word b is in the table, and where.
    bool OneByteWord(unsigned char b, std::size_t& at) const;
    // The words whose first two bytes are b0 and b1, from the index.
    void FirstTwo(unsigned char b0, unsigned char b1, std::size_t& lo, std::size_t& hi) const;

    const unsigned char* first_ = nullptr;
    const unsigned char* offsets_ = nullptr;
    const unsigned char* costs_ = nullptr;
    const unsigned char* words_ = nullptr;
    std::size_t count_ = 0;
};

}  // namespace quenbol
