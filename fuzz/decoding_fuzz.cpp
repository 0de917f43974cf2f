// Fuzz target: reading a text file into code page 932 (the automatic choice
// of encoding, every decoder, and the conversions under them).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/decode/text_decoding.h"
#include "core/text/cp932.h"
#include "core/text/text_encodings.h"

using quenbol::Encoding;
using quenbol::cli::DecodeText;
using quenbol::cli::EncodingChoice;
using quenbol::cli::Utf8ToCp932InTwo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (EncodingChoice encoding : {EncodingChoice(), EncodingChoice(Encoding::Cp932), EncodingChoice(Encoding::Utf8),
                                    EncodingChoice(Encoding::Utf16Le), EncodingChoice(Encoding::Utf16Be),
                                    EncodingChoice(Encoding::EucJp), EncodingChoice(Encoding::Iso2022Jp)}) {
        const std::string text = DecodeText(bytes, encoding);
        // No decoder ever grows a text: code page 932 needs at most as many
        // bytes for a character as any of these encodings does.
        if (text.size() > bytes.size()) std::abort();
        if (encoding == Encoding::Cp932 && text != bytes) std::abort();
    }
    // The automatic choice decodes as the encoding it names would, in one go
    // or in two, and code page 932 stays as it is.
    const quenbol::Encoding detected = quenbol::DetectEncoding(bytes);
    std::string decoded;
    if (quenbol::DecodeDetected(bytes, decoded) != detected) std::abort();
    const std::string twoSteps = quenbol::DecodeToCp932(bytes, detected);
    if (detected == quenbol::Encoding::Cp932 ? (twoSteps != bytes || !decoded.empty()) : decoded != twoSteps)
        std::abort();
    if (DecodeText(bytes, std::nullopt) != twoSteps) std::abort();
    // What the encoder produces decodes and re-encodes to itself; converted
    // in two halves, or over the text itself, it is the same.
    const std::string encoded = quenbol::Utf8ToCp932(bytes);
    std::string inTwo(bytes.size(), '\0');
    inTwo.resize(Utf8ToCp932InTwo(bytes, inTwo.data()));
    if (inTwo != encoded) std::abort();
    std::string over(bytes);  // over the text itself, in one go and in two halves
    over.resize(quenbol::Utf8ToCp932InPlace(over.data(), over.size()));
    if (over != encoded) std::abort();
    over = bytes;
    over.resize(quenbol::cli::Utf8ToCp932InTwoInPlace(over.data(), over.size()));
    if (over != encoded) std::abort();
    if (quenbol::Utf16ToCp932(quenbol::Cp932ToUtf16(encoded)) != encoded) std::abort();
    if (quenbol::Utf8ToCp932(quenbol::Cp932ToUtf8(encoded)) != encoded) std::abort();
    return 0;
}
