// Keyword file format.
#include "settings/keyword_format.h"

#include <cstring>

namespace quenbol {

bool FileCanHold(const Keywords& table) {
    for (const std::string& entry : table) {
        if (entry.find_first_of(std::string_view("\0\x1A\n", 3)) != std::string::npos) return false;
    }
    return true;
}

std::string FormatKeywordFile(const Keywords& table) {
    std::string out;
    std::size_t size = std::strlen(KeywordFileHeader) + 2;
    for (const std::string& entry : table) size += entry.size() + 2;
    out.reserve(size);
    out += KeywordFileHeader;
    out += "\r\n";
    for (const std::string& entry : table) {
        out += entry;
        out += "\r\n";
    }
    return out;
}

namespace {

// Hands out the file's lines one by one, line ends removed.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}

    std::optional<std::string_view> Next() {
        if (done_ || rest_.empty()) return std::nullopt;
        std::string_view line;
        const std::size_t lf = rest_.find('\n');
        if (lf == std::string_view::npos) {
            line = rest_;
            done_ = true;  // the last line may lack its line end
        } else {
            line = rest_.substr(0, lf);
            rest_.remove_prefix(lf + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        return line;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

}  // namespace

std::optional<Keywords> ParseKeywordFile(std::string_view bytes) {
    LineReader lines(bytes);
    const std::optional<std::string_view> first = lines.Next();
    if (!first || *first != std::string_view(KeywordFileHeader)) return std::nullopt;
    Keywords table;
    for (std::string& entry : table) {
        const std::optional<std::string_view> line = lines.Next();
        entry = line ? std::string(*line) : std::string();
    }
    return table;
}

}  // namespace quenbol
