// Generated inputs that provoke the hard cases of counting by deletion:
// double-byte characters, lead bytes as second bytes, lone lead bytes, NUL,
// words built from one another, and texts in which words are cut in two by
// other words so that deleting the inner one joins the outer.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace quenbol::testing {

inline const std::vector<std::string>& Atoms() {
    static const std::vector<std::string> atoms = {
        "\x82\xa0", "\x82\xa2", "\x83\x4a", "\x81\x81", "\x81", "\xe0\xe0",     "J",
        "\\",       "a",        "b",        "\xb1",     "\x83\x5c", "\x9f\x40", std::string("\0", 1),
    };
    return atoms;
}

inline std::string RandomAtoms(std::mt19937& rng, std::size_t count) {
    std::string s;
    for (; count > 0; --count) s += Atoms()[rng() % Atoms().size()];
    return s;
}

// Runs of atoms, and prefixes, suffixes, repeats and concatenations of words
// already drawn; now and then empty or ending in a lead byte.
inline std::vector<std::string> RandomWordList(std::mt19937& rng, std::size_t count) {
    std::vector<std::string> words;
    while (words.size() < count) {
        const int kind = static_cast<int>(rng() % 10);
        std::string w;
        if (kind < 4 || words.empty()) {
            w = RandomAtoms(rng, 1 + rng() % 3);
        } else {
            const std::string& other = words[rng() % words.size()];
            const std::size_t cut = other.empty() ? 0 : rng() % (other.size() + 1);
            switch (kind) {
                case 4: w = other.substr(0, cut); break;
                case 5: w = other.substr(cut); break;
                case 6: w = other + RandomAtoms(rng, 1); break;
                case 7: w = RandomAtoms(rng, 1) + other; break;
                case 8: w = rng() % 3 ? other + words[rng() % words.size()] : ""; break;
                default: w = RandomAtoms(rng, 1) + "\x82"; break;
            }
        }
        words.push_back(w);
    }
    return words;
}

// A text holding the words, many of them with other words inserted inside.
inline std::string NestingText(std::mt19937& rng, const std::vector<std::string>& words,
                               std::size_t inserts) {
    std::string text = RandomAtoms(rng, rng() % 8);
    for (; inserts > 0; --inserts) {
        const std::string& w = words[rng() % words.size()];
        const std::size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
        text.insert(at, rng() % 4 == 0 ? RandomAtoms(rng, 1 + rng() % 2) : w);
    }
    return text;
}

}  // namespace quenbol::testing
