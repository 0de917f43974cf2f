// Generated benchmark prose and tables, in code page 932 (the characters are
// written in UTF-8 and converted).
#include "bench/bench_text.h"

#include <random>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"

namespace quenbol::bench {
namespace {

// Characters as byte strings, most frequent first within each class.
std::vector<std::string> Characters(std::string_view utf8) {
    const std::string bytes = Utf8ToCp932(utf8);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const std::size_t n = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
        out.emplace_back(bytes.substr(i, n));
        i += n;
    }
    return out;
}

// Kanji of the first JIS level (lead bytes 0x88 to 0x98), every valid second byte.
std::vector<std::string> Kanji() {
    std::vector<std::string> out;
    for (int lead = 0x89; lead <= 0x97; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            out.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    return out;
}

// Picks index i with weight about 1/(i+1): a few characters are common,
// most are rare, as in real text.
class ZipfPicker {
public:
    explicit ZipfPicker(std::size_t n) {
        std::vector<double> w(n);
        for (std::size_t i = 0; i < n; ++i) w[i] = 1.0 / static_cast<double>(i + 1);
        dist_ = std::discrete_distribution<std::size_t>(w.begin(), w.end());
    }
    std::size_t operator()(std::mt19937& rng) { return dist_(rng); }

private:
    std::discrete_distribution<std::size_t> dist_;
};

}  // namespace

std::string JapaneseText(std::size_t size, std::size_t bytesPerName, unsigned seed) {
    const std::vector<std::string> hiragana = Characters(
        "のいにしてはたとるかなっがでうをもれすらくこまあんりきおよさつせだやけめみそえ"
        "ちじわひろばどごずぶげぎほふへねむゆぐびぜべぼぱぴぷぺぽゃゅょぁぃぅぇぉ");
    const std::vector<std::string> katakana = Characters(
        "ンールトスイクラリタカシコッドレマテアプジロフメオバィブデキパグエナミハツサヌ"
        "ビホモヘセソゴゲズダチニネノヒムヤユヨワヲヴァゥェォャュョ");
    const std::vector<std::string> ascii = Characters(
        " eatoinsrhldcumfpgwybvk0123456789.,-:/!?()ETAOINSRHLDCUMFPGWYBVKjxqzJXQZ");
    const std::vector<std::string> halfWidth = Characters("ｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝﾞﾟ");
    const std::vector<std::string> punctuation = Characters("、。「」！？・（）…ー〜『』");
    const std::vector<std::string> kanji = Kanji();
    std::vector<std::string> names;
    for (int e = 0; e < kKeywordEntries; ++e) {
        if (*kDefaultKeywordTable[e]) names.emplace_back(kDefaultKeywordTable[e]);
    }
    for (const char* w : kInitialManualWordTexts) {
        if (*w) names.emplace_back(w);
    }

    std::mt19937 rng(seed);
    ZipfPicker pickHiragana(hiragana.size()), pickKatakana(katakana.size()),
        pickAscii(ascii.size()), pickHalf(halfWidth.size()), pickPunct(punctuation.size()),
        pickKanji(kanji.size());
    // Per character: hiragana 52%, kanji 26%, katakana 9%, punctuation 6%,
    // ASCII 5%, half-width katakana 1%, line break 1%.
    std::discrete_distribution<int> pickClass({52, 26, 9, 6, 5, 1, 1});
    std::uniform_int_distribution<std::size_t> pickName(0, names.size() - 1);
    std::uniform_int_distribution<std::size_t> nameGap(bytesPerName / 2, bytesPerName * 3 / 2);
    const std::string honorifics[] = {Utf8ToCp932("さん"), Utf8ToCp932("ちゃん"), "", Utf8ToCp932("が"),
                                      Utf8ToCp932("は"), Utf8ToCp932("の")};

    std::string text;
    text.reserve(size + 64);
    std::size_t nextName = nameGap(rng);
    while (text.size() < size) {
        if (text.size() >= nextName) {
            text += names[pickName(rng)];
            text += honorifics[rng() % 6];
            nextName = text.size() + nameGap(rng);
            continue;
        }
        switch (pickClass(rng)) {
            case 0: text += hiragana[pickHiragana(rng)]; break;
            case 1: text += kanji[pickKanji(rng)]; break;
            case 2: text += katakana[pickKatakana(rng)]; break;
            case 3: text += punctuation[pickPunct(rng)]; break;
            case 4: text += ascii[pickAscii(rng)]; break;
            case 5: text += halfWidth[pickHalf(rng)]; break;
            default: text += "\r\n"; break;
        }
    }
    text.resize(size);  // may cut the last character in half, as a real paste can
    return text;
}

Keywords DefaultTable() {
    Keywords table;
    LoadDefaultKeywords(table);
    return table;
}

Keywords SevenPerMemberTable() {
    Keywords table = DefaultTable();
    const char* const extras[] = {"たん", "っち", "ぴょん", "りん", "ちゃま", "にゃん", "ぽん"};
    for (int m = 0; m < kMemberCount; ++m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            std::string& slot = table[EntryIndex(m, s)];
            if (slot.empty()) slot = table[EntryIndex(m, 1)] + Utf8ToCp932(extras[(m + s) % 7]);
        }
    }
    return table;
}

Keywords AwkwardTable() {
    Keywords table = DefaultTable();
    table[EntryIndex(0, 5)] = "!";               // a single ASCII byte
    table[EntryIndex(2, 6)] = "\xB1";            // a single half-width katakana, ｱ
    table[EntryIndex(4, 5)] = "\x82";            // a lone lead byte
    table[EntryIndex(17, 6)] = Utf8ToCp932("澄") + "\x88";  // a word ending in a lead byte
    table[EntryIndex(20, 5)] = "\x9f\x82\xa0";   // begins with a byte that is usually second
    table[EntryIndex(20, 6)] = "e";
    return table;
}

}  // namespace quenbol::bench
