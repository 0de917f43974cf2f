// Turns the bytes of a text file into the code page 932 bytes that counting
// works on, by the encoding the user chose or by the automatic choice
// (core/text/text_encodings.h), and for code page 932 and UTF-8 keeps the way
// back: where in the file each byte of the decoded text came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/read/read_buffer.h"
#include "core/text/text_encodings.h"

namespace quenbol::cli {

// How texts are to be read: the encoding given with --encoding, or unset
// for the automatic choice per text (byte-order mark, ISO-2022-JP, UTF-8,
// or the most plausible Japanese reading).
using EncodingChoice = std::optional<Encoding>;

// A text as code page 932 bytes, and how it was read.
struct DecodedBytes {
    Encoding encoding = Encoding::Cp932;
    std::string_view text;     // the file's bytes themselves for code page 932
    std::size_t illFormed = 0;  // ill-formed sequences replaced in a text read as UTF-8
};

// Reads texts into code page 932, one after another, in buffers kept from
// text to text. A byte-order mark is dropped whenever the text is read in
// the encoding it marks.
class TextDecoder {
public:
    // With `twoThreads`, a long text forced as UTF-8 is converted in two
    // halves at once (Utf8ToCp932InTwo). The result refers to `bytes` or to
    // this decoder's buffers, until the next call.
    DecodedBytes Decode(std::string_view bytes, EncodingChoice choice, bool twoThreads = false);
    // As Decode, for bytes the caller no longer needs: a text forced as UTF-8
    // is converted over them (the result then refers to them), which spares
    // taking and writing fresh memory of the text's size.
    DecodedBytes DecodeOver(char* bytes, std::size_t size, EncodingChoice choice, bool twoThreads = false);

private:
    std::string decoded_;  // every encoding but UTF-8 forced
    ReadBuffer text_{ReadBuffer::Present::AsWritten};  // UTF-8 forced
};

// The text as code page 932 bytes, as a TextDecoder reads it.
std::string DecodeText(std::string_view bytes, EncodingChoice choice);

// UTF-8 (without a byte-order mark) into code page 932 as Utf8ToCp932 does,
// the two halves on two threads: the text is cut where a character starts
// (a byte that does not continue a sequence), so that each half converts
// exactly as it does within the whole. Written into `out`, which has room
// for utf8.size() bytes; returns the bytes written, and the number of
// ill-formed sequences in `illFormed`.
std::size_t Utf8ToCp932InTwo(std::string_view utf8, char* out, std::size_t* illFormed = nullptr);
// The same over the text itself (Utf8ToCp932InPlace), which then starts with
// its code page 932 form.
std::size_t Utf8ToCp932InTwoInPlace(char* utf8, std::size_t size, std::size_t* illFormed = nullptr);

// Texts from this size on are converted in two halves when forced as UTF-8.
constexpr std::size_t kConvertInTwoFrom = 2 * 1024 * 1024;

// A file's bytes together with the decoded text and the map between them,
// for texts read as code page 932 or UTF-8 (the encodings whose offsets the
// occurrence reports give; Maps); the caller refuses the others. The file's bytes
// are not copied: they must outlive the object. A code page 932 text is the
// file's bytes themselves; a UTF-8 one is held with about 1.1 bytes of map
// per byte of text.
class DecodedText {
public:
    DecodedText(std::string_view fileBytes, Encoding encoding);

    std::string_view text() const { return utf8_ ? std::string_view(text_) : file_; }  // code page 932
    std::string_view fileBytes() const { return file_; }
    bool readAsUtf8() const { return utf8_; }
    bool hadByteOrderMark() const { return bom_; }
    // The ill-formed sequences replaced in a text read as UTF-8.
    std::size_t illFormed() const { return illFormed_; }
    // True when the text was read in an encoding the map can go back from.
    static bool Maps(Encoding encoding) { return encoding == Encoding::Cp932 || encoding == Encoding::Utf8; }

    // The file offset of the character that holds byte i of the text; the
    // file's size for i = text().size().
    std::size_t FileStart(std::size_t i) const;
    // The file offset just after the character that holds byte i - 1: where
    // a stretch of the text ending before byte i ends in the file.
    std::size_t FileEnd(std::size_t i) const;

    // Text bytes [from, to) as UTF-8: the file's own bytes for a UTF-8 file
    // (ill-formed sequences as U+FFFD), converted from code page 932 otherwise.
    std::string Utf8Of(std::size_t from, std::size_t to) const;

private:
    // UTF-8 only: where each text byte came from, as the step from the file
    // offset of the byte before (0 for a character's second byte; at most 4),
    // with the offset itself at every kStride-th byte.
    static constexpr std::size_t kStride = 64;

    std::string_view file_;
    std::string text_;  // UTF-8 only
    std::vector<std::uint8_t> steps_;
    std::vector<std::size_t> strideStarts_;
    bool utf8_ = false;
    bool bom_ = false;
    std::size_t illFormed_ = 0;
};

}  // namespace quenbol::cli
