// The caption messages: one line per member in her own voice, shown in the
// main window's title bar when she leads the count, and the two neutral captions.
// Written as UTF-8 and compiled to code page 932 (-fexec-charset=CP932); every
// message is a face, an ideographic space, then the remark.
#include "core/top_member.h"

namespace quenbol {

// clang-format off
const char* const TopMessages[kMemberCount] = {
    // 0: 椎葉澄香
    "从#~∀~#从　やっぱし女は三十からやんな～",
    // 1: 鷲尾柚子
    "（ ` ・ゝ´）　よーし、４人目行くか～！",
    // 2: 芦屋千鶴
    "（＾＿＾）　千鶴がトップ？ほんまに？うれしいわぁ",
    // 3: 柾木みのり
    "（*´ω｀*）　みのりが一番なんて、夢みたいやね",
    // 4: 楠瀬睦美
    "（0゜-゜0）　・・・・マニア",
    // 5: 鳴海朱音
    "（・∀・）　朱音ちゃんの時代がついに来た！",
    // 6: 蒔田紗羅
    "（～＾◇＾～）　よ～し！お前見る目あるぞ！オイラがほめてやる！",
    // 7: 月岡瑠衣
    "ヽ＾∀＾ノ　お願い、私のことは忘れて！",
    // 8: 柏葉小梅
    "（´～｀）　トップって、おいしいもんなん？",
    // 9: 高篠七緒
    "（　＾▽＾）　またわたしがトップぅ！？この面食いめ～♪",
    // 10: 沢渡ゆりえ
    "（０＾～＾０）　やせた甲斐があったみたい",
    // 11: 榎琴音
    "（￣ー￣）　琴音の実力、やっと分かったみたいやな",
    // 12: 氷見千紗
    "（◎＿◎）　えっ、千紗がトップ！？ちょっと信じられへん",
    // 13: 来栖凪
    "（＞＜）　凪、がんばったもん！一等賞もらうね",
    // 14: 真壁若菜
    "∬´▽｀∬　痩せろ痩せろってうるさいんだよぉー",
    // 15: 宮路杏樹
    "川o･-･）　トップ賞は食べ物ですか？そうでないならどうでもいいです。",
    // 16: 小此木蛍
    "（　・e・）　え～！！！？？？わ、わたしがトップなんですか～？？？？",
    // 17: 久我美園
    "（‐＾▽＾‐）　美園のこと、ちゃんと見とってくれたんや",
    // 18: 御影梢
    "ﾉﾉ*＾ｰ＾）　かわいくてごめんなさい。人気者でごめんなさい。",
    // 19: 紫藤ふゆね
    "从*・ ｡.・）　よしっ！今日もかわいいからトップ取れたっ！！",
    // 20: 蓮見ひなの
    "（。・ω・。）　ひなの、まだ新人やけどトップ取っちゃった",
};
// clang-format on

const char DefaultCaption[] = "テキスト中のピポラの名前の登場回数を数えるのだ。";

const char InitialCaption[] = "川*’ー’）テキスト中のピポラの名前の登場回数を数えるんやよー。";

}  // namespace quenbol
