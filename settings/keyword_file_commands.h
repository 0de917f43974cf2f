// The settings dialog's two file operations on the process-wide keyword
// table: saving it to a file the user names, and replacing it with a file the
// user chooses. Failures are reported in message boxes; cancels and
// successes are silent.
#pragma once

#include "settings/file_prompt.h"
#include "settings/file_system.h"

namespace quenbol {

// The file dialogs the two operations show.
extern const FilePrompt kSaveKeywordFilePrompt;
extern const FilePrompt kOpenKeywordFilePrompt;

// Asks for a file name and writes the whole of KeywordTable there.
void SaveKeywordFile();

// Asks for a file and replaces the whole of KeywordTable with its content.
// True when the table was replaced; on every other outcome it is unchanged.
bool LoadKeywordFile();

// The file access both operations use (null: the real one). Returns the one
// it replaced. For tests that make a write or a read fail.
FileSystem* SetKeywordFileSystem(FileSystem* files);

}  // namespace quenbol
