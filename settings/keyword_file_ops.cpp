// Saving and loading the keyword table at the user's request.
#include "settings/keyword_file_ops.h"

namespace quenbol {

const FilePrompt kSaveKeywordFilePrompt = {
    false, L"設定ファイルを保存", L"zavo-keyword-file", L"ini", L"zavo設定ファイル|*.ini|", 0};

const FilePrompt kOpenKeywordFilePrompt = {
    true, L"設定ファイルを開く", nullptr, L"ini", L"zavo設定ファイル|*.ini|All Files(*.*)|*.*|",
    OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES};

}  // namespace quenbol
