// The 21 display names in roster order, written out so that tests compare the
// labels and the member list with the names, not with the program's table.
#pragma once

#include <string>
#include <vector>

namespace quenbol::testing {

inline const std::vector<std::wstring> kDisplayNames = {
    L"椎葉澄香", L"鷲尾柚子", L"芦屋千鶴", L"柾木みのり", L"楠瀬睦美", L"鳴海朱音", L"蒔田紗羅",
    L"月岡瑠衣", L"柏葉小梅", L"高篠七緒", L"沢渡ゆりえ", L"榎琴音",   L"氷見千紗", L"来栖凪",
    L"真壁若菜", L"宮路杏樹", L"小此木蛍", L"久我美園", L"御影梢",   L"紫藤ふゆね", L"蓮見ひなの",
};

}  // namespace quenbol::testing
