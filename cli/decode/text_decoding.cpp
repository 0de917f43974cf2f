// Choosing how a text is read, and reading it into code page 932.
#include "cli/decode/text_decoding.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HasBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

}  // namespace

DecodedBytes TextDecoder::Decode(std::string_view bytes, EncodingChoice choice, bool twoThreads) {
    DecodedBytes out;
    if (!choice) {
        // The automatic choice decodes as it chooses: one pass.
        out.encoding = DecodeDetected(bytes, decoded_, &out.illFormed);
        out.text = out.encoding == Encoding::Cp932 ? bytes : std::string_view(decoded_);
        return out;
    }
    out.encoding = *choice;
    if (*choice == Encoding::Cp932) {
        out.text = bytes;
    } else if (*choice != Encoding::Utf8) {
        DecodeToCp932(bytes, *choice, decoded_, &out.illFormed);
        out.text = decoded_;
    } else {
        // Straight into memory of the text's size (no character takes more
        // bytes in code page 932 than in UTF-8), neither filled first nor cut
        // to size after.
        const std::string_view utf8 = bytes.substr(HasBom(bytes) ? kUtf8Bom.size() : 0);
        text_.Trim();
        text_.Reserve(utf8.size(), 0);
        const std::size_t size = twoThreads && utf8.size() >= kConvertInTwoFrom
                                     ? Utf8ToCp932InTwo(utf8, text_.data(), &out.illFormed)
                                     : Utf8ToCp932(utf8, text_.data(), &out.illFormed);
        out.text = {text_.data(), size};
    }
    return out;
}

DecodedBytes TextDecoder::DecodeOver(char* bytes, std::size_t size, EncodingChoice choice, bool twoThreads) {
    if (choice != Encoding::Utf8) return Decode({bytes, size}, choice, twoThreads);
    DecodedBytes out;
    out.encoding = Encoding::Utf8;
    char* const utf8 = bytes + (HasBom({bytes, size}) ? kUtf8Bom.size() : 0);
    const std::size_t utf8Size = size - static_cast<std::size_t>(utf8 - bytes);
    const std::size_t written = twoThreads && utf8Size >= kConvertInTwoFrom
                                    ? Utf8ToCp932InTwoInPlace(utf8, utf8Size, &out.illFormed)
                                    : Utf8ToCp932InPlace(utf8, utf8Size, &out.illFormed);
    out.text = {utf8, written};
    return out;
}

std::string DecodeText(std::string_view bytes, EncodingChoice choice) {
    TextDecoder decoder;
    return std::string(decoder.Decode(bytes, choice).text);
}

std::size_t Utf8ToCp932InTwo(std::string_view utf8, char* out, std::size_t* illFormed) {
    std::size_t cut = utf8.size() / 2;
    while (cut < utf8.size() && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) ++cut;
    // The second half is written from `cut` on (the first takes at most `cut`
    // bytes), then moved down to follow the first.
    std::size_t second = 0, secondIllFormed = 0, firstIllFormed = 0;
    std::thread other([&] { second = Utf8ToCp932(utf8.substr(cut), out + cut, &secondIllFormed); });
    const std::size_t first = Utf8ToCp932(utf8.substr(0, cut), out, &firstIllFormed);
    other.join();
    if (illFormed) *illFormed = firstIllFormed + secondIllFormed;
    if (second > 0) std::memmove(out + first, out + cut, second);
    return first + second;
}

std::size_t Utf8ToCp932InTwoInPlace(char* utf8, std::size_t size, std::size_t* illFormed) {
    std::size_t cut = size / 2;
    while (cut < size && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) ++cut;
    // Each half over itself, then the second moved down to follow the first.
    std::size_t second = 0, secondIllFormed = 0, firstIllFormed = 0;
    std::thread other([&] { second = Utf8ToCp932InPlace(utf8 + cut, size - cut, &secondIllFormed); });
    const std::size_t first = Utf8ToCp932InPlace(utf8, cut, &firstIllFormed);
    other.join();
    if (illFormed) *illFormed = firstIllFormed + secondIllFormed;
    if (second > 0) std::memmove(utf8 + first, utf8 + cut, second);
    return first + second;
}

DecodedText::DecodedText(std::string_view fileBytes, Encoding encoding) : file_(fileBytes) {
    utf8_ = encoding == Encoding::Utf8;
    if (!utf8_) return;
    bom_ = HasBom(file_);
    // Converted a piece at a time, each cut where a character starts (as in
    // Utf8ToCp932InTwo), so that only one piece's offsets are ever held at
    // 8 bytes each.
    constexpr std::size_t kPiece = 1 << 20;
    std::vector<std::size_t> origins;
    std::size_t previous = 0;
    // A character's code page 932 form is never longer than its UTF-8; what
    // is reserved and not filled is never brought into memory.
    text_.reserve(file_.size());
    steps_.reserve(file_.size());
    strideStarts_.reserve(file_.size() / kStride + 1);
    for (std::size_t from = bom_ ? kUtf8Bom.size() : 0; from < file_.size();) {
        std::size_t to = std::min(from + kPiece, file_.size());
        while (to < file_.size() && (static_cast<unsigned char>(file_[to]) & 0xC0) == 0x80) ++to;
        std::size_t pieceIllFormed = 0;
        text_ += Utf8ToCp932Tracked(file_.substr(from, to - from), origins, &pieceIllFormed);
        illFormed_ += pieceIllFormed;
        for (const std::size_t o : origins) {
            const std::size_t origin = o + from;
            if (steps_.size() % kStride == 0) strideStarts_.push_back(origin);
            steps_.push_back(static_cast<std::uint8_t>(steps_.empty() ? 0 : origin - previous));
            previous = origin;
        }
        from = to;
    }
}

std::size_t DecodedText::FileStart(std::size_t i) const {
    if (i >= text().size()) return file_.size();
    if (!utf8_) return i;
    std::size_t origin = strideStarts_[i / kStride];
    for (std::size_t j = i - i % kStride + 1; j <= i; ++j) origin += steps_[j];
    return origin;
}

std::size_t DecodedText::FileEnd(std::size_t i) const {
    if (!utf8_ || i == 0) return FileStart(i);
    // Byte i - 1's character ends where the next character begins.
    std::size_t next = i;
    while (next < text_.size() && steps_[next] == 0) ++next;
    return FileStart(next);
}

std::string DecodedText::Utf8Of(std::size_t from, std::size_t to) const {
    to = std::min(to, text().size());
    if (from >= to) return {};
    if (!utf8_) return Cp932ToUtf8(file_.substr(from, to - from));
    const std::size_t a = FileStart(from), b = FileEnd(to);
    return SanitizeUtf8(file_.substr(a, b - a));
}

}  // namespace quenbol::cli
