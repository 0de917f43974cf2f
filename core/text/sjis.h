// Character boundaries of code page 932 (Shift-JIS), the encoding of every
// byte string the core handles.
#pragma once

namespace quenbol {

// A byte from 0x81 to 0x9F or from 0xE0 to 0xFC starts a two-byte character;
// every other byte is a character by itself.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace quenbol
