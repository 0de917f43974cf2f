// Loading a keyword file for the counter.
#include "cli/read/keyword_file_load.h"

#include <optional>

#include "cli/system_io.h"
#include "core/text/cp932.h"
#include "settings/keyword_format.h"

namespace quenbol::cli {

std::string LoadKeywordTable(const std::string& path, Keywords& table) {
    std::string bytes;
    std::string reason;
    switch (ReadWholeFile(path, bytes, reason)) {
        case ReadStatus::CannotOpen: return Cp932ToUtf8(kMsgCannotOpen) + " (" + reason + ")";
        case ReadStatus::ReadFailed: return Cp932ToUtf8(kMsgReadFailed) + " (" + reason + ")";
        case ReadStatus::Ok: break;
    }
    std::optional<Keywords> loaded = ParseKeywordFile(bytes);
    if (!loaded) return Cp932ToUtf8(kMsgNotKeywordFile);
    table = std::move(*loaded);
    return {};
}

}  // namespace quenbol::cli
