// The keyword table and access to the built-in roster data.
#include "core/roster.h"

namespace quenbol {

Keywords KeywordTable;

void LoadDefaultKeywords(Keywords& table) {
    for (int n = 0; n < kKeywordEntries; ++n) table[n] = kDefaultKeywordTable[n];
}

const char* DefaultKeyword(int entry) { return kDefaultKeywordTable[entry]; }

const char* DisplayName(MemberIndex m) { return kDefaultKeywordTable[EntryIndex(m, 0)]; }

ManualWordList InitialManualWords() {
    ManualWordList words;
    for (int i = 0; i < kManualWordCount; ++i) words[i] = kInitialManualWordTexts[i];
    return words;
}

}  // namespace quenbol
