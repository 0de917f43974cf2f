// Whether a counted occurrence sits inside an ordinary word of the text: a
// word of ordinary Japanese vocabulary (word_table.h) that contains it with
// at least one more character, or that its start or end falls inside (it
// straddles two words). "るい" in あるいは and 明るい is; "ルイ" in
// マニュアルインターフェース straddles; "るい" in るいちゃん or るいは is not.
//
// A dictionary word merely overlapping is not enough: in るいは the
// dictionary also holds いは-like words and in 澄香さん a noun may end in 香.
// So the neighbourhood of the occurrence is segmented the way a morphological
// analyser would, into the sequence of dictionary words (and unknown
// characters) of lowest total cost, with the occurrence itself offered as a
// name; the occurrence is inside a word when that best sequence does not keep
// it as a token (or tokens) of its own. The keywords themselves are never
// taken as ordinary words: a member's nickname that the dictionary also holds
// is still a name.
//
// Works on code page 932 text; knows nothing of members or counting. The
// count is never changed: this only describes an occurrence.
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenbol {

class WordTable;

// Bytes [start, end) of the text: the word an occurrence sits in.
struct WordSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

class InsideWordCheck {
public:
    // keywords: every word being counted (code page 932), none of which is
    // ever an ordinary word. Uses the built-in table.
    explicit InsideWordCheck(std::vector<std::string> keywords);
    InsideWordCheck(std::vector<std::string> keywords, const WordTable& table);

    // The ordinary word that the occurrence of `length` bytes at `start` sits
    // inside, or nothing when it stands as its own token. start and length
    // must lie on character boundaries of text.
    std::optional<WordSpan> Find(std::string_view text, std::size_t start, std::size_t length) const;

private:
    bool IsKeyword(std::string_view word) const;

    std::vector<std::string> keywords_;  // sorted
    std::bitset<65536> keywordStarts_;  // the first two bytes of each keyword, to rule most words out at once
    const WordTable& table_;
};

}  // namespace quenbol
