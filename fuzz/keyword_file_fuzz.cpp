// Fuzz target: the keyword file reader. Whatever it accepts, writing the table
// back and reading it again must give the same table, and the written file
// must have the size its entries dictate.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "settings/keyword_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto table = quenbol::ParseKeywordFile(bytes);
    if (!table) return 0;
    const std::string written = quenbol::FormatKeywordFile(*table);
    std::size_t expected = std::strlen(quenbol::KeywordFileHeader) + 2;
    for (const auto& entry : *table) {
        if (entry.find('\n') != std::string::npos) std::abort();
        expected += entry.size() + 2;
    }
    if (written.size() != expected) std::abort();
    const auto again = quenbol::ParseKeywordFile(written);
    if (!again || *again != *table) std::abort();
    return 0;
}
