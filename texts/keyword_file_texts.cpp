// The keyword file's texts: its header line, the messages of a failed save or
// load, and the window program's file prompts. Written as UTF-8 and compiled
// to code page 932 (-fexec-charset=CP932).
#include "settings/keyword_format.h"

namespace quenbol {

const char KeywordFileHeader[] = "川*’ー’）このファイルはzavo2.exe用の設定ファイルやよー。";

const char kMsgCannotOpenForWriting[] = "ファイルを書き込み用にオープンできませんでした。";
const char kMsgCannotOpen[] = "ファイルをオープンできませんでした。";
const char kMsgNotKeywordFile[] = "設定ファイルがzavo2.exeのフォーマットではありません。";
const char kMsgWriteFailed[] =
    "ファイルの書き込み中にエラーが発生しました。元のファイルは変更されていません。";
const char kMsgReadFailed[] =
    "ファイルの読み込み中にエラーが発生しました。キーワードは変更されていません。";
const char kMsgMayBeDamaged[] =
    "ファイルの書き込み中にエラーが発生し、元の内容に戻せませんでした。ファイルが壊れているおそれがあります。";
const char kMsgUnwritableKeyword[] =
    "ファイルに書けない文字を含むキーワードがあるため、保存しませんでした。";

const char kSaveKeywordFileTitle[] = "設定ファイルを保存";
const char kSaveKeywordFileFilter[] = "zavo設定ファイル|*.ini|";
const char kOpenKeywordFileTitle[] = "設定ファイルを開く";
const char kOpenKeywordFileFilter[] = "zavo設定ファイル|*.ini|All Files(*.*)|*.*|";

}  // namespace quenbol
