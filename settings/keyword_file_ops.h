// The settings dialog's two file operations: saving the process-wide keyword
// table to a file the user names, and replacing it with a file the user
// chooses. Failures are reported in message boxes; cancels and successes
// are silent.
#pragma once

#include "settings/file_prompt.h"
#include "settings/file_system.h"

namespace quenbol {

// The file dialogs the two operations show.
extern const FilePrompt kSaveKeywordFilePrompt;
extern const FilePrompt kOpenKeywordFilePrompt;

}  // namespace quenbol
