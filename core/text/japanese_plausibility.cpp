// The cost of a code page 932 text as Japanese, by the rule in the header.
#include "core/text/japanese_plausibility.h"

#include <array>

#include "core/text/cp932.h"

namespace quenbol {
namespace {

constexpr std::int64_t kFault = 60;

// Bytes that are a character by themselves.
constexpr std::array<unsigned char, 256> kSingleCost = [] {
    std::array<unsigned char, 256> cost{};
    for (int b = 0; b < 256; ++b) {
        if ((b >= 0x20 && b < 0x7F) || b == '\t' || b == '\n' || b == '\r') cost[b] = 12;
        else if (b >= 0xA1 && b <= 0xDF) cost[b] = 13;  // half-width katakana and punctuation
        else cost[b] = kFault;  // controls, NUL (no form), and what Windows maps only to private codes
    }
    return cost;
}();

std::int64_t PairCost(unsigned lead, unsigned trail) {
    const unsigned code = lead << 8 | trail;
    if (code < 0x819F) return 14;  // row 1: 、。「」・ー and the like
    if (code < 0x824F) return 24;  // row 2: symbols
    if (code < 0x829F) return 20;  // row 3: full-width digits and letters
    if (code < 0x8340) return 14;  // row 4: hiragana
    if (code < 0x839F) return 18;  // row 5: katakana
    if (code < 0x8740) return 34;  // rows 6 to 8: Greek, Cyrillic, box drawing
    if (code < 0x889F) return 40;  // the vendors' row 13
    if (code < 0x989F) return 24;  // first-level kanji
    if (code < 0xED40) return 34;  // second-level kanji
    return 40;                     // the vendors' rows at 0xED and from 0xFA on
}

// A half-width voiced or semi-voiced mark after a letter that takes it.
bool VoicedMark(const unsigned char* p, std::size_t i) {
    if (i == 0 || (p[i] != 0xDE && p[i] != 0xDF)) return false;
    const unsigned char letter = p[i - 1];
    return letter == 0xB3 || (letter >= 0xB6 && letter <= 0xC4) || (letter >= 0xCA && letter <= 0xCE);
}

}  // namespace

std::int64_t Implausibility(std::string_view cp932) {
    std::int64_t cost = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        if (!IsLeadByte(b)) {
            cost += VoicedMark(p, i) ? 9 : kSingleCost[b];
            ++i;
        } else if (i + 1 < n && IsDefinedCp932Pair(b, p[i + 1])) {
            cost += PairCost(b, p[i + 1]);
            i += 2;
        } else {
            cost += kFault;
            ++i;
        }
    }
    return cost;
}

}  // namespace quenbol
