// Choosing how a text is read, and reading it into code page 932.
#include "cli/text_decoding.h"

#include <algorithm>

#include "core/cp932.h"

namespace quenbol::cli {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HasBom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

}  // namespace

bool LooksLikeUtf8(std::string_view bytes) {
    if (HasBom(bytes)) return true;
    // Pure ASCII reads alike either way; the code page 932 path keeps it byte for byte.
    const bool beyondAscii = std::any_of(bytes.begin(), bytes.end(),
                                         [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return beyondAscii && IsValidUtf8(bytes);
}

bool ReadsAsUtf8(std::string_view bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ||
           (encoding == TextEncoding::Auto && LooksLikeUtf8(bytes));
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    if (!ReadsAsUtf8(bytes, encoding)) return std::string(bytes);
    if (HasBom(bytes)) bytes.remove_prefix(kUtf8Bom.size());
    return Utf8ToCp932(bytes);
}

DecodedText::DecodedText(std::string fileBytes, TextEncoding encoding) : file_(std::move(fileBytes)) {
    utf8_ = ReadsAsUtf8(file_, encoding);
    if (!utf8_) {
        text_ = file_;
        return;
    }
    bom_ = HasBom(file_);
    const std::size_t skip = bom_ ? kUtf8Bom.size() : 0;
    text_ = Utf8ToCp932Tracked(std::string_view(file_).substr(skip), origins_);
    for (std::size_t& o : origins_) o += skip;
}

std::size_t DecodedText::FileStart(std::size_t i) const {
    if (i >= text_.size()) return file_.size();
    return utf8_ ? origins_[i] : i;
}

std::size_t DecodedText::FileEnd(std::size_t i) const {
    if (!utf8_ || i == 0) return FileStart(i);
    // Byte i - 1's character ends where the next character begins.
    std::size_t next = i;
    while (next < text_.size() && origins_[next] == origins_[i - 1]) ++next;
    return FileStart(next);
}

std::string DecodedText::Utf8Of(std::size_t from, std::size_t to) const {
    to = std::min(to, text_.size());
    if (from >= to) return {};
    if (!utf8_) return Cp932ToUtf8(std::string_view(text_).substr(from, to - from));
    const std::size_t a = FileStart(from), b = FileEnd(to);
    return SanitizeUtf8(std::string_view(file_).substr(a, b - a));
}

}  // namespace quenbol::cli
