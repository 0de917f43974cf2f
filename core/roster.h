// The roster of 21 members, the process-wide keyword table with its built-in
// defaults, the manual words' initial values and the text pane's first text.
// Every string here is code page 932 bytes.
#pragma once

#include <array>
#include <string>

namespace quenbol {

constexpr int kMemberCount = 21;
constexpr int kSlotsPerMember = 7;
constexpr int kKeywordEntries = kMemberCount * kSlotsPerMember;  // 147
constexpr int kManualWordCount = 7;

// 0 to 20, roster order; -1 where "no member" is a possible answer.
using MemberIndex = int;

// Member-major: member m, slot s is entry 7*m + s. An empty entry is an empty slot.
using Keywords = std::array<std::string, kKeywordEntries>;
using ManualWordList = std::array<std::string, kManualWordCount>;

constexpr int EntryIndex(MemberIndex m, int slot) { return m * kSlotsPerMember + slot; }

// The one keyword table of the process. Empty until LoadDefaultKeywords runs.
extern Keywords KeywordTable;

// Assigns the built-in default to all 147 entries, empty slots included.
void LoadDefaultKeywords(Keywords& table = KeywordTable);

// The built-in default of one entry (empty string for an empty slot).
const char* DefaultKeyword(int entry);

// The fixed display name of member m: its default slot 0 (the full name).
// Never changes when the table is edited, reset or loaded.
const char* DisplayName(MemberIndex m);

// Manual words 1 to 7 as the main window starts with them (6 and 7 empty).
ManualWordList InitialManualWords();

// The text pane's first content: CR LF, then the prompt.
extern const char InitialPrompt[];

// The built-in data, defined in texts/roster_data.cpp.
extern const char* const kDefaultKeywordTable[kKeywordEntries];
extern const char* const kInitialManualWordTexts[kManualWordCount];

}  // namespace quenbol
