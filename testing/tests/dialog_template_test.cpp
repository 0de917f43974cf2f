// The dialog template reader on hand-built templates: both forms, item
// alignment, ordinals and names, and truncated input.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testing/dialog_template.h"

namespace quenbol::test {
namespace {

// Builds little-endian template bytes.
class Bytes {
public:
    Bytes& Word(std::uint16_t w) {
        data.push_back(static_cast<std::uint8_t>(w));
        data.push_back(static_cast<std::uint8_t>(w >> 8));
        return *this;
    }
    Bytes& Dword(std::uint32_t d) { return Word(static_cast<std::uint16_t>(d)).Word(static_cast<std::uint16_t>(d >> 16)); }
    Bytes& Byte(std::uint8_t b) {
        data.push_back(b);
        return *this;
    }
    Bytes& String(const std::u16string& s) {
        for (char16_t c : s) Word(c);
        return Word(0);
    }
    Bytes& Ordinal(std::uint16_t id) { return Word(0xFFFF).Word(id); }
    Bytes& Align() {
        while (data.size() % 4) data.push_back(0);
        return *this;
    }
    std::vector<std::uint8_t> data;
};

constexpr std::uint32_t kSetFont = 0x40;

Bytes ExtendedTemplate() {
    Bytes b;
    b.Word(1).Word(0xFFFF).Dword(7).Dword(0x40000).Dword(0x80C00000 | kSetFont);
    b.Word(2).Word(1).Word(2).Word(300).Word(200);  // two items at (1, 2), 300 x 200
    b.Word(0).Word(0).String(u"Title");             // no menu, default class
    b.Word(9).Word(400).Byte(1).Byte(0x80).String(u"Face");
    // Item 1: a button by ordinal with a text, id -1.
    b.Align().Dword(0).Dword(0).Dword(0x50010000).Word(5).Word(6).Word(70).Word(14);
    b.Dword(0xFFFFFFFF).Ordinal(0x80).String(u"OK").Word(0);
    // Item 2: a named class, an ordinal text (an icon), two bytes of creation data.
    b.Align().Dword(3).Dword(0x200).Dword(0x50000003).Word(-4).Word(8).Word(20).Word(20);
    b.Dword(1234).String(u"MyClass").Ordinal(128).Word(2).Byte(0xAB).Byte(0xCD);
    return b;
}

TEST(DialogTemplateReader, ReadsTheExtendedForm) {
    Bytes b = ExtendedTemplate();
    auto t = ParseDialogTemplate(b.data.data(), b.data.size());
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->extended);
    EXPECT_EQ(t->help_id, 7u);
    EXPECT_EQ(t->ex_style, 0x40000u);
    EXPECT_EQ(t->style, 0x80C00040u);
    EXPECT_EQ(t->x, 1);
    EXPECT_EQ(t->cy, 200);
    EXPECT_EQ(t->menu.kind, NameOrOrdinal::Kind::kNone);
    EXPECT_EQ(t->title, u"Title");
    EXPECT_TRUE(t->has_font);
    EXPECT_EQ(t->point_size, 9);
    EXPECT_EQ(t->weight, 400);
    EXPECT_EQ(t->italic, 1);
    EXPECT_EQ(t->charset, 0x80);
    EXPECT_EQ(t->typeface, u"Face");
    ASSERT_EQ(t->items.size(), 2u);

    const DialogItem& ok = t->items[0];
    EXPECT_EQ(ok.id, -1);
    EXPECT_EQ(ok.style, 0x50010000u);
    EXPECT_EQ(ok.window_class.kind, NameOrOrdinal::Kind::kOrdinal);
    EXPECT_EQ(ok.window_class.ordinal, 0x80);
    EXPECT_EQ(ok.text.name, u"OK");
    EXPECT_EQ(ok.cx, 70);

    const DialogItem& icon = t->items[1];
    EXPECT_EQ(icon.help_id, 3u);
    EXPECT_EQ(icon.ex_style, 0x200u);
    EXPECT_EQ(icon.x, -4);
    EXPECT_EQ(icon.id, 1234);
    EXPECT_EQ(icon.window_class.kind, NameOrOrdinal::Kind::kName);
    EXPECT_EQ(icon.window_class.name, u"MyClass");
    EXPECT_EQ(icon.text.kind, NameOrOrdinal::Kind::kOrdinal);
    EXPECT_EQ(icon.text.ordinal, 128);
    EXPECT_EQ(icon.creation_data, (std::vector<std::uint8_t>{0xAB, 0xCD}));
}

TEST(DialogTemplateReader, ReadsTheOldFormWithSixteenBitIds) {
    Bytes b;
    b.Dword(0x80C00000 | kSetFont).Dword(0).Word(1).Word(0).Word(0).Word(100).Word(50);
    b.Ordinal(5).String(u"MENUCLASS").String(u"");  // menu by ordinal, named class, empty title
    b.Word(8).String(u"F");                         // the old form has no weight, italic, charset
    b.Align().Dword(0x50000000).Dword(0).Word(1).Word(2).Word(3).Word(4).Word(0xFFFF);
    b.Ordinal(0x82).String(u"x").Word(0);
    auto t = ParseDialogTemplate(b.data.data(), b.data.size());
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->extended);
    EXPECT_EQ(t->style, 0x80C00040u);
    EXPECT_EQ(t->menu.kind, NameOrOrdinal::Kind::kOrdinal);
    EXPECT_EQ(t->menu.ordinal, 5);
    EXPECT_EQ(t->window_class.name, u"MENUCLASS");
    EXPECT_EQ(t->point_size, 8);
    EXPECT_EQ(t->typeface, u"F");
    ASSERT_EQ(t->items.size(), 1u);
    EXPECT_EQ(t->items[0].id, -1);  // IDC_STATIC, sign-extended
    EXPECT_EQ(t->items[0].window_class.ordinal, 0x82);
    EXPECT_EQ(t->items[0].cy, 4);
}

TEST(DialogTemplateReader, RefusesEveryTruncation) {
    Bytes b = ExtendedTemplate();
    for (size_t size = 0; size < b.data.size(); ++size) {
        EXPECT_FALSE(ParseDialogTemplate(b.data.data(), size)) << "cut at " << size;
    }
    EXPECT_TRUE(ParseDialogTemplate(b.data.data(), b.data.size()));
}

}  // namespace
}  // namespace quenbol::test
