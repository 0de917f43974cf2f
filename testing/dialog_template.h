// A reader for compiled dialog templates (DLGTEMPLATE and DLGTEMPLATEEX with
// their items), so that tests can compare a template's every field with what
// the window is meant to look like. Header-only; needs no window system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace quenbol::test {

// A field that is absent, a 16-bit ordinal, or a string (menu, class, text).
struct NameOrOrdinal {
    enum class Kind { kNone, kOrdinal, kName } kind = Kind::kNone;
    std::uint16_t ordinal = 0;
    std::u16string name;
};

struct DialogItem {
    std::uint32_t help_id = 0;
    std::uint32_t ex_style = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::int32_t id = 0;  // sign-extended, so IDC_STATIC reads -1 in both forms
    NameOrOrdinal window_class;
    NameOrOrdinal text;
    std::vector<std::uint8_t> creation_data;
};

struct DialogTemplate {
    bool extended = false;  // DLGTEMPLATEEX
    std::uint32_t help_id = 0;
    std::uint32_t ex_style = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal window_class;
    std::u16string title;
    bool has_font = false;  // DS_SETFONT or DS_SHELLFONT
    std::uint16_t point_size = 0;
    std::uint16_t weight = 0;  // extended form only
    std::uint8_t italic = 0;   // extended form only
    std::uint8_t charset = 0;  // extended form only
    std::u16string typeface;
    std::vector<DialogItem> items;
};

namespace detail {

// Little-endian reads with bounds checks; any overrun sets failed.
class TemplateReader {
public:
    TemplateReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool failed() const { return failed_; }
    std::size_t offset() const { return pos_; }

    std::uint8_t Byte() { return Take(1) ? data_[pos_ - 1] : 0; }
    std::uint16_t Word() {
        if (!Take(2)) return 0;
        return static_cast<std::uint16_t>(data_[pos_ - 2] | data_[pos_ - 1] << 8);
    }
    std::uint32_t Dword() {
        std::uint32_t low = Word();
        return low | static_cast<std::uint32_t>(Word()) << 16;
    }
    std::int16_t Short() { return static_cast<std::int16_t>(Word()); }

    std::u16string String() {
        std::u16string s;
        for (;;) {
            char16_t c = Word();
            if (failed_ || c == 0) return s;
            s.push_back(c);
        }
    }

    NameOrOrdinal NameOrId() {
        NameOrOrdinal field;
        std::uint16_t first = Word();
        if (failed_ || first == 0) return field;
        if (first == 0xFFFF) {
            field.kind = NameOrOrdinal::Kind::kOrdinal;
            field.ordinal = Word();
            return field;
        }
        field.kind = NameOrOrdinal::Kind::kName;
        field.name.push_back(static_cast<char16_t>(first));
        field.name += String();
        return field;
    }

    std::vector<std::uint8_t> Bytes(std::size_t n) {
        if (!Take(n)) return {};
        return {data_ + pos_ - n, data_ + pos_};
    }

    // Items start on a 4-byte boundary from the start of the template.
    void AlignToDword() {
        std::size_t aligned = (pos_ + 3) & ~std::size_t{3};
        if (aligned > size_) {
            failed_ = true;
            return;
        }
        pos_ = aligned;
    }

private:
    bool Take(std::size_t n) {
        if (failed_ || n > size_ - pos_) {
            failed_ = true;
            return false;
        }
        pos_ += n;
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace detail

// Reads a whole template; nullopt when it is truncated or malformed.
inline std::optional<DialogTemplate> ParseDialogTemplate(const void* bytes, std::size_t size) {
    constexpr std::uint32_t kSetFont = 0x40;    // DS_SETFONT
    constexpr std::uint32_t kShellFont = 0x48;  // DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS
    detail::TemplateReader in(static_cast<const std::uint8_t*>(bytes), size);
    DialogTemplate t;

    std::uint16_t version = in.Word();
    std::uint16_t signature = in.Word();
    t.extended = version == 1 && signature == 0xFFFF;
    std::uint16_t count = 0;
    if (t.extended) {
        t.help_id = in.Dword();
        t.ex_style = in.Dword();
        t.style = in.Dword();
    } else {
        t.style = version | static_cast<std::uint32_t>(signature) << 16;
        t.ex_style = in.Dword();
    }
    count = in.Word();
    t.x = in.Short();
    t.y = in.Short();
    t.cx = in.Short();
    t.cy = in.Short();
    t.menu = in.NameOrId();
    t.window_class = in.NameOrId();
    t.title = in.String();
    t.has_font = (t.style & kSetFont) != 0 || (t.style & kShellFont) == kShellFont;
    if (t.has_font) {
        t.point_size = in.Word();
        if (t.extended) {
            t.weight = in.Word();
            t.italic = in.Byte();
            t.charset = in.Byte();
        }
        t.typeface = in.String();
    }

    for (std::uint16_t i = 0; i < count && !in.failed(); ++i) {
        in.AlignToDword();
        DialogItem item;
        if (t.extended) {
            item.help_id = in.Dword();
            item.ex_style = in.Dword();
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            item.ex_style = in.Dword();
        }
        item.x = in.Short();
        item.y = in.Short();
        item.cx = in.Short();
        item.cy = in.Short();
        item.id = t.extended ? static_cast<std::int32_t>(in.Dword()) : in.Short();
        item.window_class = in.NameOrId();
        item.text = in.NameOrId();
        // A count of creation-data bytes, then those bytes (read as the
        // dialog manager reads them, in both forms).
        std::uint16_t extra = in.Word();
        item.creation_data = in.Bytes(extra);
        t.items.push_back(std::move(item));
    }
    if (in.failed()) return std::nullopt;
    return t;
}

}  // namespace quenbol::test
