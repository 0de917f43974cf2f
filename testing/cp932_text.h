// Japanese text in tests, written as it reads: plain literals are UTF-8, and
// the code under test works on code page 932 bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/text/cp932.h"

namespace quenbol::testing {

// The code page 932 bytes of `utf8`, through the core's conversion. Throws
// when a character has no code page 932 form, so that a test's text is never
// silently changed.
inline std::string Cp932(std::string_view utf8) {
    bool lossless = true;
    std::string bytes = Utf8ToCp932(utf8, &lossless);
    return lossless ? bytes : throw std::invalid_argument("no code page 932 form: " + std::string(utf8));
}

}  // namespace quenbol::testing
