// Turns the bytes of a text file into the code page 932 bytes that counting
// works on, by the encoding the user chose or by a guess, and keeps the way
// back: where in the file each byte of the decoded text came from.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quenbol::cli {

enum class TextEncoding {
    Auto,   // UTF-8 when it has a byte-order mark, or is valid UTF-8 beyond ASCII
    Cp932,  // the bytes as they are
    Utf8,   // converted; a character with no code page 932 form becomes a NUL
};

// True when `bytes` would be read as UTF-8 by the automatic choice.
bool LooksLikeUtf8(std::string_view bytes);

// True when `bytes` are read as UTF-8 under `encoding`; otherwise they are
// code page 932 already and need no decoding.
bool ReadsAsUtf8(std::string_view bytes, TextEncoding encoding);

// The text as code page 932 bytes. A UTF-8 byte-order mark is dropped
// whenever the text is read as UTF-8.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

// A file's bytes together with the decoded text and the map between them.
class DecodedText {
public:
    DecodedText(std::string fileBytes, TextEncoding encoding);

    const std::string& text() const { return text_; }  // code page 932
    const std::string& fileBytes() const { return file_; }
    bool readAsUtf8() const { return utf8_; }
    bool hadByteOrderMark() const { return bom_; }

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
    std::string file_;
    std::string text_;
    std::vector<std::size_t> origins_;  // UTF-8 only: file offset per text byte
    bool utf8_ = false;
    bool bom_ = false;
};

}  // namespace quenbol::cli
