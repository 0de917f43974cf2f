// JIS X 0208, the character set that EUC-JP, ISO-2022-JP and code page 932
// share: a row and a cell, each from 0x21 to 0x7E, turned into the code page
// 932 pair by the fixed JIS-to-Shift-JIS arithmetic.
#pragma once

#include <string>

#include "core/text/cp932.h"

namespace quenbol {

// Appends the code page 932 form of JIS code (j1, j2), both 0x21-0x7E, or
// kUnmappable when code page 932 defines no character there. Returns whether
// it did.
inline bool AppendJisAsCp932(std::string& out, unsigned j1, unsigned j2) {
    const unsigned lead = (j1 + 1) / 2 + (j1 <= 0x5E ? 0x70 : 0xB0);
    const unsigned trail = (j1 & 1) ? j2 + (j2 <= 0x5F ? 0x1F : 0x20) : j2 + 0x7E;
    if (!IsDefinedCp932Pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))) {
        out += kUnmappable;
        return false;
    }
    out += static_cast<char>(lead);
    out += static_cast<char>(trail);
    return true;
}

}  // namespace quenbol
