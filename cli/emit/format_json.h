// The JSON form of the counting state, and the JSON strings every JSON
// output of quenbol-count uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/count/keyword_counts.h"
#include "core/counting.h"

namespace quenbol::cli {

// Appends a JSON string literal, quotes included, for UTF-8 text: quote,
// backslash and control characters escaped, and each byte that is not part
// of well-formed UTF-8 as U+FFFD.
void AppendJsonString(std::string& out, std::string_view utf8);
std::string JsonUtf8String(std::string_view utf8);

// The same for code page 932 bytes, converted to UTF-8.
std::string JsonString(std::string_view cp932);

// JSON made safe inside an HTML script element: each "<" as \u003C.
std::string ScriptSafe(std::string_view json);

// {"members": [{"name", "current", "total"} x 21], "manual": {"current",
// "total"}, "top": index or -1, "caption": text}. With `byKeyword`, each
// member also has "keywords": its 7 slots as {"slot", "word", "current",
// "total"}, and "manual" has "words": its 7 words as {"word", "current", "total"}.
// `"keywords": [...]`: member m's 7 slots as {"slot", "word", "current", "total"},
// and when the ordinary-word check ran, "inside_words" (the last text's
// occurrences inside ordinary words) and "inside_examples" (up to five of
// those words as {"word", "count"}, the most frequent first).
std::string MemberKeywordsJson(const KeywordCounts& byKeyword, MemberIndex m);

// "encoding_errors" comes last when `encodingErrors` (the ill-formed
// sequences replaced in texts read as UTF-8) is not 0.
std::string FormatJson(const CountingState& state, MemberIndex top,
                       const KeywordCounts* byKeyword = nullptr, std::uint64_t encodingErrors = 0);

}  // namespace quenbol::cli
