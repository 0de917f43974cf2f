// The keyword file: a header line, then the 147 keyword entries in entry
// order, one per line, CR LF after every line. Pure functions over bytes; the
// window program and the command-line counter add the file access.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/roster.h"

namespace quenbol {

// The texts, in code page 932, are in texts/keyword_file_texts.cpp.
// Line 1 of every keyword file, 58 bytes.
extern const char KeywordFileHeader[];

// The messages shown when a file operation fails.
extern const char kMsgCannotOpenForWriting[];  // save: the file cannot be opened for writing
extern const char kMsgCannotOpen[];            // load: the file cannot be opened
extern const char kMsgNotKeywordFile[];        // load: line 1 is not the header
extern const char kMsgWriteFailed[];           // save: writing failed after the open
extern const char kMsgReadFailed[];            // load: reading failed after the open
extern const char kMsgMayBeDamaged[];          // save in place: the old content could not be put back
extern const char kMsgUnwritableKeyword[];     // save: an entry holds a byte the file cannot hold

// The window program's file prompts: titles and description|pattern| filters.
extern const char kSaveKeywordFileTitle[];
extern const char kSaveKeywordFileFilter[];
extern const char kOpenKeywordFileTitle[];
extern const char kOpenKeywordFileFilter[];

// Whether every entry reads back from a file exactly as it is: none holds a
// NUL or 0x1A, which a written file never holds (another reader stops at
// them), nor an LF, which would end its line.
bool FileCanHold(const Keywords& table);

// The whole file as the save writes it: header and 147 entries, CR LF each.
std::string FormatKeywordFile(const Keywords& table);

// Reads a file's bytes by the loading rules: a line runs to the next LF, which
// is removed together with one CR right before it; line 1 must equal the
// header exactly; lines 2 to 148 become entries 0 to 146 as they stand, an
// entry with no line becomes empty, later lines are ignored. Every other byte
// stays, NUL included (such a keyword matches nothing, and a save refuses
// it). Returns nothing for a foreign file (another first line, or no line at
// all), and then no table is built.
std::optional<Keywords> ParseKeywordFile(std::string_view bytes);

}  // namespace quenbol
