// The encodings by name, the automatic choice, and decoding by either.
//
// The choice: a byte-order mark; ISO-2022-JP; UTF-8 that is well-formed or
// almost (below); otherwise the cheapest reading by Implausibility
// (japanese_plausibility.h) among UTF-8 (when almost well-formed), EUC-JP,
// code page 932 and, costed on the text's first 4 KB against the others on
// the same bytes, UTF-16LE and UTF-16BE without a mark. A text of at least
// 256 bytes that is well-formed UTF-8 with a code page 932 form for every
// character is UTF-8 at once; a shorter one, or one with a character that
// has no form, is costed like the others (a few EUC-JP kanji can be
// well-formed UTF-8 by chance, as Greek or unassigned characters). Ties go
// to UTF-8, then code page 932, then EUC-JP, then UTF-16.
//
// Almost well-formed UTF-8: ill-formed sequences (a byte that starts no
// well-formed sequence counts as one) apart from a character cut short by
// the end of the text, at most one for each full 1,000 bytes and at most 1%
// of the sequences beyond ASCII (well-formed or not). A download cut inside
// its last character, or a stray Latin-1 byte in a long text, stays UTF-8,
// each ill-formed sequence matching nothing. Japanese in code page 932 or
// EUC-JP is far from it: its kana alone make ill-formed sequences of most
// of its characters.
#include <algorithm>
#include <array>
#include <limits>

#include "core/text/cp932.h"
#include "core/text/japanese_plausibility.h"
#include "core/text/text_encodings.h"

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

constexpr std::size_t kSureUtf8From = 256;
constexpr std::size_t kUtf16Sample = 4096;
constexpr std::int64_t kNoReading = std::numeric_limits<std::int64_t>::max();

// The bytes at the end of the text that begin a well-formed multibyte
// sequence the end cuts short (0 to 3), each an ill-formed sequence.
std::size_t CutTail(std::string_view bytes) {
    for (std::size_t k = 1; k <= 3 && k <= bytes.size(); ++k) {
        const auto b = static_cast<unsigned char>(bytes[bytes.size() - k]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (length <= k) return 0;
        // Cut short when some continuation completes it (0xE0, 0xED, 0xF0
        // and 0xF4 narrow their second byte: one of these fits each).
        for (const char filler : {'\x80', '\x90', '\xA0'}) {
            if (IsValidUtf8(std::string(bytes.substr(bytes.size() - k)) + std::string(length - k, filler))) return k;
        }
        return 0;
    }
    return 0;
}

// Whether UTF-8 with `illFormed` ill-formed sequences is almost well-formed.
bool AlmostWellFormedUtf8(std::string_view bytes, std::size_t illFormed) {
    if (illFormed == 0) return true;
    const std::size_t counted = illFormed - std::min(illFormed, CutTail(bytes));
    if (counted == 0) return true;
    if (counted > bytes.size() / 1000) return false;
    std::size_t beyondAscii = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        std::size_t length = 1;  // as long as the well-formed sequence it starts, if any
        while (length < 4 && pos + length <= bytes.size() && !IsValidUtf8(bytes.substr(pos, length))) ++length;
        pos += pos + length <= bytes.size() && IsValidUtf8(bytes.substr(pos, length)) ? length : 1;
        ++beyondAscii;
    }
    return counted * 100 <= beyondAscii;
}

// The cheaper of the two UTF-16 readings of `sample`, when it costs less
// than `others`, the cheapest other reading of the same bytes.
std::optional<Encoding> Utf16Reading(std::string_view sample, std::int64_t others) {
    const std::int64_t le = Implausibility(Utf16ToCp932Bytes(sample, false));
    const std::int64_t be = Implausibility(Utf16ToCp932Bytes(sample, true));
    if (std::min(le, be) >= others) return std::nullopt;
    return le <= be ? Encoding::Utf16Le : Encoding::Utf16Be;
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

Encoding DecodeDetected(std::string_view bytes, std::string& decoded, std::size_t* illFormed) {
    if (illFormed) *illFormed = 0;
    const auto as = [&](Encoding e) {
        DecodeToCp932(bytes, e, decoded, illFormed);
        return e;
    };
    if (StartsWith(bytes, kUtf8Bom)) return as(Encoding::Utf8);
    if (StartsWith(bytes, kUtf16LeBom)) return as(Encoding::Utf16Le);
    if (StartsWith(bytes, kUtf16BeBom)) return as(Encoding::Utf16Be);
    if (LooksLikeIso2022Jp(bytes)) return as(Encoding::Iso2022Jp);
    const std::string_view sample = bytes.substr(0, kUtf16Sample);
    if (!HasHighBytes(bytes)) {
        // ASCII reads alike either way and the code page 932 path keeps it
        // byte for byte; UTF-16 kana and many kanji are 7-bit too.
        const std::optional<Encoding> utf16 = Utf16Reading(sample, Implausibility(sample));
        return as(utf16 ? *utf16 : Encoding::Cp932);
    }
    std::size_t bad = 0;
    bool lossless = true;
    const bool utf8 = Utf8ToCp932Within(bytes, decoded, bytes.size() / 1000 + 3, bad, lossless) &&
                      AlmostWellFormedUtf8(bytes, bad);
    if (utf8 && bad == 0 && lossless && bytes.size() >= kSureUtf8From) return Encoding::Utf8;

    std::string asEuc = EucJpToCp932(bytes);
    const std::int64_t utf8Cost = utf8 ? Implausibility(decoded) : kNoReading;
    const std::int64_t cp932Cost = Implausibility(bytes);
    const std::int64_t eucCost = Implausibility(asEuc);
    const std::int64_t best = std::min({utf8Cost, cp932Cost, eucCost});
    if (bytes.size() > sample.size()) {
        const std::int64_t sampleUtf8Cost = utf8 ? Implausibility(Utf8ToCp932(sample)) : kNoReading;
        const std::int64_t sampleBest =
            std::min({sampleUtf8Cost, Implausibility(sample), Implausibility(EucJpToCp932(sample))});
        if (const std::optional<Encoding> utf16 = Utf16Reading(sample, sampleBest)) return as(*utf16);
    } else if (const std::optional<Encoding> utf16 = Utf16Reading(bytes, best)) {
        return as(*utf16);
    }
    if (utf8Cost == best) {
        if (illFormed) *illFormed = bad;
        return Encoding::Utf8;
    }
    if (cp932Cost == best) return as(Encoding::Cp932);
    decoded = std::move(asEuc);
    return Encoding::EucJp;
}

Encoding DetectEncoding(std::string_view bytes) {
    std::string decoded;
    return DecodeDetected(bytes, decoded);
}

void DecodeToCp932(std::string_view bytes, Encoding encoding, std::string& out, std::size_t* illFormed) {
    if (illFormed) *illFormed = 0;
    switch (encoding) {
        case Encoding::Cp932: out.clear(); return;
        case Encoding::Utf8:
            if (StartsWith(bytes, kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
            Utf8ToCp932(bytes, out, illFormed);
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
