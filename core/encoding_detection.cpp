// The encodings by name, the automatic choice, and decoding by either.
//
// EUC-JP or code page 932: both readings are scored on the code page 932
// characters they give, and EUC-JP is chosen only when it scores strictly
// higher. A plausible character scores 2 for each byte it takes in the
// file: a character of JIS rows 1 to 8 (punctuation, symbols, full-width
// letters and digits, hiragana, katakana, Greek, Cyrillic, box drawing) or a
// first-level kanji scores 4; a half-width katakana letter (ｦ to ﾟ) 2 as one
// byte of code page 932, 4 as EUC-JP's 0x8E and the letter. ASCII and other
// characters score nothing; every ill-formed sequence or undefined code
// costs 8.
// Japanese in code page 932 is ill-formed as EUC-JP almost at once (its kana
// and punctuation start with 0x81-0x84), while EUC-JP read as code page 932
// never gives a character of rows 1 to 8, only half-width katakana (2 at most
// for each byte) and kanji, so the kana and punctuation of real text decide.
// A run of half-width katakana in code page 932 scores 4 for each pair of
// letters, as much as any EUC-JP character they could form, and a tie goes
// to code page 932.
#include <algorithm>
#include <array>

#include "core/cp932.h"
#include "core/sjis.h"
#include "core/text_encodings.h"

namespace quenbol {
namespace {

constexpr std::array<std::pair<Encoding, std::string_view>, 6> kNames{{
    {Encoding::Cp932, "cp932"},
    {Encoding::Utf8, "utf-8"},
    {Encoding::Utf16Le, "utf-16le"},
    {Encoding::Utf16Be, "utf-16be"},
    {Encoding::EucJp, "euc-jp"},
    {Encoding::Iso2022Jp, "iso-2022-jp"},
}};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

constexpr long kFaultCost = 8;

// How much a double-byte character counts as evidence of Japanese text.
long PairScore(unsigned lead, unsigned trail) {
    const unsigned code = lead << 8 | trail;
    const bool rows1To8 = lead >= 0x81 && lead <= 0x84;
    const bool kanjiLevel1 = code >= 0x889F && code <= 0x9872;
    return rows1To8 || kanjiLevel1 ? 4 : 0;
}

// The plausibility of code page 932 bytes as Japanese, by the rule above.
long Plausibility(std::string_view bytes, long halfWidthScore) {
    long score = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsLeadByte(b)) {
            const auto t = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0u;
            if (IsDefinedCp932Pair(b, static_cast<unsigned char>(t))) {
                score += PairScore(b, t);
                i += 2;
                continue;
            }
            score -= kFaultCost;
        } else if (b >= 0xA6 && b <= 0xDF) {
            score += halfWidthScore;
        } else if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
            score -= kFaultCost;  // bytes Windows maps only to private or control codes
        }
        ++i;
    }
    return score;
}

bool HasHighBytes(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

std::string_view EncodingName(Encoding encoding) {
    for (const auto& [e, name] : kNames) {
        if (e == encoding) return name;
    }
    return {};
}

std::optional<Encoding> EncodingByName(std::string_view name) {
    for (const auto& [e, n] : kNames) {
        if (n == name) return e;
    }
    return std::nullopt;
}

Encoding DecodeDetected(std::string_view bytes, std::string& decoded) {
    const auto as = [&](Encoding e) {
        DecodeToCp932(bytes, e, decoded);
        return e;
    };
    if (StartsWith(bytes, kUtf8Bom)) return as(Encoding::Utf8);
    if (StartsWith(bytes, kUtf16LeBom)) return as(Encoding::Utf16Le);
    if (StartsWith(bytes, kUtf16BeBom)) return as(Encoding::Utf16Be);
    if (LooksLikeIso2022Jp(bytes)) return as(Encoding::Iso2022Jp);
    // Pure ASCII reads alike either way; the code page 932 path keeps it byte for byte.
    if (!HasHighBytes(bytes)) return as(Encoding::Cp932);
    if (WellFormedUtf8ToCp932(bytes, decoded)) return Encoding::Utf8;
    std::size_t eucFaults = 0;
    std::string asEuc = EucJpToCp932(bytes, &eucFaults);
    const long eucScore = Plausibility(asEuc, 4) - kFaultCost * static_cast<long>(eucFaults);
    if (eucScore <= Plausibility(bytes, 2)) return as(Encoding::Cp932);
    decoded = std::move(asEuc);
    return Encoding::EucJp;
}

Encoding DetectEncoding(std::string_view bytes) {
    std::string decoded;
    return DecodeDetected(bytes, decoded);
}

void DecodeToCp932(std::string_view bytes, Encoding encoding, std::string& out) {
    switch (encoding) {
        case Encoding::Cp932: out.clear(); return;
        case Encoding::Utf8:
            if (StartsWith(bytes, kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
            Utf8ToCp932(bytes, out);
            return;
        default: out = DecodeToCp932(bytes, encoding); return;
    }
}

std::string DecodeToCp932(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
        case Encoding::Cp932: return std::string(bytes);
        case Encoding::Utf8:
            if (StartsWith(bytes, kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
            return Utf8ToCp932(bytes);
        case Encoding::Utf16Le:
            if (StartsWith(bytes, kUtf16LeBom)) bytes.remove_prefix(kUtf16LeBom.size());
            return Utf16ToCp932Bytes(bytes, false);
        case Encoding::Utf16Be:
            if (StartsWith(bytes, kUtf16BeBom)) bytes.remove_prefix(kUtf16BeBom.size());
            return Utf16ToCp932Bytes(bytes, true);
        case Encoding::EucJp: return EucJpToCp932(bytes);
        case Encoding::Iso2022Jp: return Iso2022JpToCp932(bytes);
    }
    return std::string(bytes);
}

}  // namespace quenbol
