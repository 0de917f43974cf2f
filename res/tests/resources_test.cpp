// The compiled resources, read back from this test program (which links the
// same resource objects as quenbol.exe): the three dialog templates field by
// field against tables of how the windows are meant to be laid out, the About
// string, the icon group, the version record and the manifest.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "testing/dialog_template.h"
#include "ui/member_rows.h"

namespace quenbol::test {
namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);  // 0x0411
constexpr std::uint16_t kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kComboBox = 0x0085;
const std::u16string kDialogFont = u"ＭＳ Ｐゴシック";

// Resource types by number.
constexpr WORD kIconType = 3, kDialogType = 5, kStringType = 6, kIconGroupType = 14, kVersionType = 16,
               kManifestType = 24;

// The bytes of one resource in language 0x0411; empty when it is missing.
std::string ResourceBytes(WORD type, WORD name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(name), kJapanese);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

DialogTemplate LoadTemplate(int id) {
    std::string bytes = ResourceBytes(kDialogType, id);
    if (bytes.empty()) ADD_FAILURE() << "dialog template " << id << " is missing";
    auto parsed = ParseDialogTemplate(bytes.data(), bytes.size());
    if (!parsed) {
        ADD_FAILURE() << "dialog template " << id << " does not parse";
        return {};
    }
    return *parsed;
}

// ---------------------------------------------------------------------------
// Expected layouts.

struct Control {
    int id;
    std::uint16_t window_class;
    std::u16string text;  // ignored when text_ordinal is set
    std::int16_t x, y, cx, cy;
    DWORD style;
    std::uint16_t text_ordinal = 0;  // an icon static names its icon by number
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kWordEdit = kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kCountEdit = kChild | ES_RIGHT | ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kManualCountEdit = kChild | ES_LEFT | ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kPushButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kTallButton = kPushButton | BS_MULTILINE;
constexpr DWORD kMemberLabel = kChild | SS_RIGHT | SS_CENTERIMAGE | WS_GROUP;
constexpr DWORD kHeading = kChild | SS_LEFT | SS_CENTERIMAGE | WS_GROUP;
constexpr DWORD kNumber = kChild | SS_RIGHT | SS_CENTERIMAGE | WS_GROUP;
const std::u16string kColumnHeading = u"今回\u3000\u3000\u3000\u3000累計";

// One member row of the main window: label, current and total count field.
struct MemberRow {
    int label;
    std::int16_t label_x, label_y, label_cx;
    int current;
    std::int16_t current_x, current_y;
    int total;
    std::int16_t total_x, total_y;
};

// Members 0 to 20; the one-unit departures from the grid are deliberate.
const MemberRow kRows[kMemberCount] = {
    {1014, 9, 23, 43, 1010, 58, 23, 1011, 89, 23},
    {1015, 9, 38, 42, 1012, 58, 38, 1035, 89, 38},
    {1016, 9, 53, 42, 1013, 58, 53, 1036, 89, 53},
    {1017, 9, 68, 43, 1026, 58, 68, 1037, 89, 68},
    {1018, 9, 83, 42, 1027, 58, 83, 1038, 89, 83},
    {1019, 9, 98, 42, 1028, 58, 98, 1039, 89, 98},
    {1020, 9, 113, 43, 1029, 58, 113, 1040, 89, 113},
    {1021, 9, 128, 42, 1030, 58, 128, 1041, 89, 128},
    {1022, 9, 143, 42, 1031, 58, 143, 1042, 89, 143},
    {1023, 9, 158, 43, 1032, 58, 158, 1043, 89, 158},
    {1024, 9, 173, 42, 1033, 58, 173, 1044, 88, 173},  // total at x = 88
    {1025, 119, 24, 42, 1034, 165, 24, 1045, 195, 24},
    {1046, 119, 39, 42, 1054, 165, 39, 1062, 195, 39},
    {1047, 119, 54, 42, 1055, 165, 54, 1063, 195, 54},
    {1048, 119, 69, 42, 1056, 165, 69, 1064, 195, 69},
    {1049, 119, 84, 42, 1057, 165, 84, 1065, 195, 84},
    {1050, 119, 99, 42, 1058, 165, 99, 1066, 195, 99},
    {1051, 119, 114, 42, 1059, 165, 114, 1067, 195, 114},
    {1052, 119, 129, 42, 1060, 165, 129, 1068, 195, 129},
    {1053, 119, 144, 42, 1061, 165, 144, 1069, 195, 144},
    {1076, 119, 160, 42, 1074, 165, 160, 1075, 195, 160},  // y = 160, not 159
};

Control Label(int member) {
    const MemberRow& r = kRows[member];
    return {r.label, kStatic, u"Static", r.label_x, r.label_y, r.label_cx, 12, kMemberLabel};
}

// The main window's controls in template order, identifiers as numbers so
// that a wrong name in res/resource.h shows here.
std::vector<Control> MainWindowControls() {
    std::vector<Control> c;
    struct Word { int id; std::int16_t x, y; };
    const Word words[] = {{1001, 311, 22}, {1006, 311, 38}, {1007, 311, 54}, {1070, 311, 70},
                          {1071, 311, 86}, {1072, 310, 102}, {1073, 311, 119}};  // manual words 1 to 7
    for (const Word& w : words) c.push_back({w.id, kEdit, u"", w.x, w.y, 49, 12, kWordEdit});
    auto counts = [&](int m) {
        const MemberRow& r = kRows[m];
        c.push_back({r.current, kEdit, u"", r.current_x, r.current_y, 21, 12, kCountEdit});
        c.push_back({r.total, kEdit, u"", r.total_x, r.total_y, 21, 12, kCountEdit});
    };
    for (int m = 0; m < 20; ++m) counts(m);
    c.insert(c.end(), {
        {1004, kEdit, u"", 303, 154, 28, 12, kManualCountEdit},
        {1005, kEdit, u"", 336, 154, 28, 12, kManualCountEdit},
        {1009, kButton, u"全検索", 25, 194, 64, 14, kPushButton},
        {1008, kButton, u"累計リセット", 100, 194, 59, 14, kPushButton},
        {1003, kButton, u"文章クリア", 168, 194, 60, 13, kPushButton},
        {1002, kButton, u"手動ワードのみ検索", 299, 177, 63, 14, kPushButton},
        {1000, kEdit, u"", 25, 219, 337, 215,
         kChild | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
             ES_AUTOHSCROLL | ES_WANTRETURN},
        Label(0), Label(1),
        {-1, kStatic, kColumnHeading, 65, 9, 51, 11, kHeading}});
    for (int m = 2; m <= 11; ++m) c.push_back(Label(m));
    c.push_back({-1, kStatic, kColumnHeading, 170, 10, 51, 11, kHeading});
    for (int m = 12; m <= 19; ++m) c.push_back(Label(m));
    c.insert(c.end(), {
        {-1, kStatic, u"手動検索ワード", 297, 9, 52, 10, kHeading},
        {-1, kStatic, u"1.", 299, 23, 10, 11, kNumber},
        {-1, kStatic, u"2.", 299, 38, 10, 11, kNumber},
        {-1, kStatic, u"3.", 298, 54, 10, 11, kNumber},
        {-1, kStatic, u"4.", 298, 71, 10, 11, kNumber},
        {-1, kStatic, u"5.", 298, 87, 10, 11, kNumber},
        {-1, kStatic, kColumnHeading, 318, 140, 51, 11, kHeading},
        {-1, kStatic, u"6.", 298, 103, 10, 11, kNumber},
        {-1, kStatic, u"7.", 299, 120, 10, 11, kNumber}});
    counts(20);
    c.insert(c.end(), {
        Label(20),
        {1077, kButton, u"クリップボードに\r結果を貼付", 231, 68, 54, 36, kTallButton},
        {1078, kButton, u"検索ワード設定", 231, 23, 53, 36, kTallButton}});
    return c;
}

std::vector<Control> KeywordDialogControls() {
    constexpr DWORD kSlot = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
    constexpr DWORD kText = kChild | SS_LEFT | WS_GROUP;
    std::vector<Control> c = {
        {1, kButton, u"戻る", 168, 14, 49, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
        {3, kButton, u"すべて初期設定に戻す", 9, 70, 73, 14, kPushButton},
        {4, kButton, u"設定ファイルにSAVE", 9, 105, 73, 14, kPushButton},
        {5, kButton, u"設定ファイルをLOAD", 9, 128, 73, 14, kPushButton},
        {-1, kStatic, u"検索キーワード", 109, 21, 52, 10, kText},
    };
    // Slots 0 to 6: fields 1016 to 1022 at y = 35, 51, ..., 131.
    for (int s = 0; s < 7; ++s) c.push_back({1016 + s, kEdit, u"", 110, std::int16_t(35 + 16 * s), 47, 12, kSlot});
    c.push_back({1023, kComboBox, u"", 9, 35, 84, 244, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP});
    c.push_back({-1, kStatic, u"設定対象", 10, 21, 82, 10, kText});
    return c;
}

std::vector<Control> AboutBoxControls() {
    return {
        {-1, kStatic, u"", 11, 17, 20, 20, kChild | SS_ICON, 128},
        {-1, kStatic, u"quenbol Version 1.0", 40, 10, 119, 8,
         kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP},
        {-1, kStatic, u"<notice>", 40, 25, 119, 8, kChild | SS_LEFT | WS_GROUP},
        {1, kButton, u"OK", 178, 7, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
    };
}

// Compares every item of a template with the expected list, in order. Texts
// given as "<...>" are free wording: only required to be non-empty.
void ExpectControls(const DialogTemplate& t, const std::vector<Control>& expected) {
    ASSERT_EQ(t.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = t.items[i];
        const Control& want = expected[i];
        SCOPED_TRACE("control #" + std::to_string(i) + ", id " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.window_class.kind, NameOrOrdinal::Kind::kOrdinal) << "class stored as a name";
        EXPECT_EQ(item.window_class.ordinal, want.window_class);
        if (want.text_ordinal != 0) {
            EXPECT_EQ(item.text.kind, NameOrOrdinal::Kind::kOrdinal);
            EXPECT_EQ(item.text.ordinal, want.text_ordinal);
        } else if (want.text.starts_with(u"<")) {
            EXPECT_FALSE(item.text.name.empty());
        } else {
            EXPECT_EQ(item.text.name, want.text);
        }
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style, want.style) << std::hex << "0x" << item.style << " vs 0x" << want.style;
        EXPECT_EQ(item.ex_style, 0u);
        EXPECT_EQ(item.help_id, 0u);
        EXPECT_TRUE(item.creation_data.empty());
    }
}

// ---------------------------------------------------------------------------
// Dialog templates.

TEST(DialogTemplates, FramesAndControlsAsLaidOut) {
    struct Frame {
        int id;
        std::int16_t cx, cy;
        DWORD style, ex_style;
        std::u16string title;
        std::vector<Control> controls;
    };
    const Frame frames[] = {
        {102, 374, 441, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
         WS_EX_APPWINDOW, u"川*\u2019ー\u2019）テキスト中のピポラの名前の登場回数を数えるんやよー。",
         MainWindowControls()},
        // No WS_SYSMENU: no system menu and no close box.
        {129, 225, 156, WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, 0, u"検索キーワード設定画面",
         KeywordDialogControls()},
        {100, 235, 55, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
         u"quenbolのﾊﾞｰｼﾞｮﾝ情報", AboutBoxControls()},
    };
    for (const Frame& f : frames) {
        SCOPED_TRACE("template " + std::to_string(f.id));
        const DialogTemplate t = LoadTemplate(f.id);
        EXPECT_EQ(t.menu.kind, NameOrOrdinal::Kind::kNone);
        EXPECT_EQ(t.window_class.kind, NameOrOrdinal::Kind::kNone);
        EXPECT_EQ(t.x, 0);  // (0, 0): centred by the framework
        EXPECT_EQ(t.y, 0);
        EXPECT_EQ(t.cx, f.cx);
        EXPECT_EQ(t.cy, f.cy);
        EXPECT_EQ(t.style, f.style);
        EXPECT_EQ(t.ex_style, f.ex_style);
        EXPECT_EQ(t.title, f.title);
        EXPECT_TRUE(t.has_font);  // 9 point, normal weight, upright, default character set
        EXPECT_EQ(t.point_size, 9);
        EXPECT_EQ(t.typeface, kDialogFont);
        if (t.extended) {
            EXPECT_EQ(t.weight, FW_NORMAL);
            EXPECT_EQ(t.italic, 0);
            EXPECT_EQ(t.charset, DEFAULT_CHARSET);
        }
        ExpectControls(t, f.controls);
    }
}

TEST(DialogTemplates, TheCodesRowTableAgreesWithTheMainWindowsRows) {
    for (int m = 0; m < kMemberCount; ++m) {
        SCOPED_TRACE("member " + std::to_string(m));
        EXPECT_EQ(kMemberRows[m].label, kRows[m].label);
        EXPECT_EQ(kMemberRows[m].current, kRows[m].current);
        EXPECT_EQ(kMemberRows[m].total, kRows[m].total);
    }
}

// The dialog manager itself must accept each template: every class resolves,
// the icon static finds its icon, the font is the one asked for.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(DialogTemplates, CreateRealWindows) {
    for (int id : {102, 129, 100}) {
        SCOPED_TRACE("template " + std::to_string(id));
        HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr,
                                         QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        int children = 0;
        EnumChildWindows(dialog, CountChild, reinterpret_cast<LPARAM>(&children));
        EXPECT_EQ(children, static_cast<int>(LoadTemplate(id).items.size()));

        auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        LOGFONTW log{};
        ASSERT_NE(font, nullptr);
        ASSERT_NE(GetObjectW(font, sizeof log, &log), 0);
        EXPECT_EQ(std::wstring(log.lfFaceName), L"ＭＳ Ｐゴシック");

        if (id == 100) {
            HWND icon = GetDlgItem(dialog, -1);  // the first static is the icon
            EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
        }
        if (id == 102) {
            wchar_t text[64] = {};
            GetDlgItemTextW(dialog, 1077, text, 64);
            EXPECT_EQ(std::wstring(text), L"クリップボードに\r結果を貼付");
        }
        DestroyWindow(dialog);
    }
}

// ---------------------------------------------------------------------------
// Inventory, string, icon.

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR out) {
    auto key = [](LPCWSTR n) {
        return IS_INTRESOURCE(n) ? std::to_string(reinterpret_cast<ULONG_PTR>(n)) : std::string("?");
    };
    reinterpret_cast<std::set<std::string>*>(out)->insert(key(type) + "/" + key(name) + "/" +
                                                          std::to_string(language));
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR out) {
    EnumResourceLanguagesW(module, type, name, CollectLanguage, out);
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPWSTR type, LONG_PTR out) {
    EnumResourceNamesW(module, type, CollectName, out);
    return TRUE;
}

TEST(ResourceInventory, ExactlyTheProgramsResourcesAllInJapanese) {
    std::set<std::string> found;
    EnumResourceTypesW(GetModuleHandleW(nullptr), CollectType, reinterpret_cast<LONG_PTR>(&found));
    // type/name/language: icons 1 and 2, dialogs, string block 7 (ids 96 to
    // 111), icon group 128, version record, manifest.
    std::set<std::string> expected = {"3/1/1041",   "3/2/1041",  "5/100/1041", "5/102/1041",
                                      "5/129/1041", "6/7/1041",  "14/128/1041", "16/1/1041",
                                      "24/1/1041"};
    EXPECT_EQ(found, expected);
}

TEST(AboutString, IsTheOnlyStringAndReadsExactly) {
    wchar_t buffer[128] = {};
    int length = LoadStringW(GetModuleHandleW(nullptr), 101, buffer, 128);
    // Half-width katakana, a space after the name, mnemonic A, three dots.
    const std::wstring expected =
        L"quenbol \u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831(&A)...";
    EXPECT_EQ(length, static_cast<int>(expected.size()));
    EXPECT_EQ(std::wstring(buffer, std::max(length, 0)), expected);

    // Block 7 holds ids 96 to 111 as 16 counted strings; only 101 has text.
    std::string block = ResourceBytes(kStringType, 7);
    size_t pos = 0;
    for (int id = 96; id < 112; ++id) {
        ASSERT_LE(pos + 2, block.size());
        uint16_t count = static_cast<uint8_t>(block[pos]) | static_cast<uint8_t>(block[pos + 1]) << 8;
        EXPECT_EQ(count != 0, id == 101) << "string " << id;
        pos += 2 + 2 * count;
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Icon, GroupHoldsA32And16PixelImageOf16Colours) {
    std::string group = ResourceBytes(kIconGroupType, 128);
    ASSERT_EQ(group.size(), 6 + 2 * sizeof(IconGroupEntry));
    const WORD* header = reinterpret_cast<const WORD*>(group.data());
    EXPECT_EQ(header[0], 0);  // reserved
    EXPECT_EQ(header[1], 1);  // icons, not cursors
    ASSERT_EQ(header[2], 2);
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + 6);
    std::set<int> sizes;
    for (int i = 0; i < 2; ++i) {
        const IconGroupEntry& e = entries[i];
        SCOPED_TRACE("image " + std::to_string(e.width));
        sizes.insert(e.width);
        EXPECT_EQ(e.height, e.width);
        EXPECT_EQ(e.colours, 16);
        EXPECT_EQ(e.bit_count, 4);
        std::string image = ResourceBytes(kIconType, e.id);
        ASSERT_EQ(image.size(), e.bytes);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER info;
        memcpy(&info, image.data(), sizeof info);
        EXPECT_EQ(info.biWidth, e.width);
        EXPECT_EQ(info.biHeight, 2 * e.width);  // colour bits and mask
        EXPECT_EQ(info.biBitCount, 4);
        // Header, 16 palette entries, 4-bit rows and a 1-bit mask, rows padded to 4 bytes.
        size_t colour_row = (e.width * 4 + 31) / 32 * 4, mask_row = (e.width + 31) / 32 * 4;
        EXPECT_EQ(image.size(), 40 + 16 * 4 + e.width * (colour_row + mask_row));
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));

    for (int side : {32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128),
                                                   IMAGE_ICON, side, side, 0));
        EXPECT_NE(icon, nullptr) << side;
        if (icon) DestroyIcon(icon);
    }
}

// ---------------------------------------------------------------------------
// Version record.

// One node of a VS_VERSIONINFO tree: key, value (text values as UTF-16 with
// the terminator removed, binary values as bytes) and children.
struct VersionNode {
    std::u16string key;
    bool text = false;
    std::u16string text_value;
    std::string binary_value;
    std::vector<VersionNode> children;
};

bool ParseVersionNode(const std::string& data, size_t begin, VersionNode& node) {
    auto word = [&](size_t at) {
        return static_cast<uint16_t>(static_cast<uint8_t>(data[at]) | static_cast<uint8_t>(data[at + 1]) << 8);
    };
    auto align = [](size_t at) { return (at + 3) & ~size_t{3}; };
    if (begin + 6 > data.size()) return false;
    size_t length = word(begin), value_length = word(begin + 2);
    node.text = word(begin + 4) == 1;
    size_t end = begin + length;
    if (end > data.size() || length < 6) return false;
    size_t at = begin + 6;
    for (; at + 2 <= end && word(at) != 0; at += 2) node.key.push_back(static_cast<char16_t>(word(at)));
    at = align(at + 2);
    size_t value_bytes = node.text ? 2 * value_length : value_length;
    if (at + value_bytes > end) return false;
    if (node.text) {
        for (size_t i = 0; i < value_length; ++i) node.text_value.push_back(static_cast<char16_t>(word(at + 2 * i)));
        while (!node.text_value.empty() && node.text_value.back() == 0) node.text_value.pop_back();
    } else {
        node.binary_value = data.substr(at, value_bytes);
    }
    at = align(at + value_bytes);
    while (at < end) {
        VersionNode child;
        if (!ParseVersionNode(data, at, child)) return false;
        at = align(at + word(at));
        node.children.push_back(std::move(child));
    }
    return true;
}

TEST(VersionRecord, FixedPartAndStringTableInOrder) {
    std::string data = ResourceBytes(kVersionType, VS_VERSION_INFO);
    VersionNode root;
    ASSERT_TRUE(ParseVersionNode(data, 0, root));
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    ASSERT_EQ(root.binary_value.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    memcpy(&fixed, root.binary_value.data(), sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);  // 1.0
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000001u);  // .0.1
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);

    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode& strings = root.children[0];
    EXPECT_EQ(strings.key, u"StringFileInfo");
    ASSERT_EQ(strings.children.size(), 1u);
    const VersionNode& table = strings.children[0];
    EXPECT_EQ(table.key, u"041104b0");
    // Every entry, in order, empty ones included. "<...>" is free wording.
    const std::vector<std::pair<std::u16string, std::u16string>> expected = {
        {u"Comments", u""},
        {u"CompanyName", u""},
        {u"FileDescription", u"quenbol MFC ｱﾌﾟﾘｹｰｼｮﾝ"},
        {u"FileVersion", u"1, 0, 0, 1"},
        {u"InternalName", u"quenbol"},
        {u"LegalCopyright", u"<notice>"},
        {u"LegalTrademarks", u""},
        {u"OriginalFilename", u"quenbol.EXE"},
        {u"PrivateBuild", u""},
        {u"ProductName", u"quenbol ｱﾌﾟﾘｹｰｼｮﾝ"},
        {u"ProductVersion", u"1, 0, 0, 1"},
        {u"SpecialBuild", u""},
    };
    ASSERT_EQ(table.children.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(table.children[i].key, expected[i].first);
        EXPECT_TRUE(table.children[i].text);
        if (expected[i].second == u"<notice>") {
            EXPECT_FALSE(table.children[i].text_value.empty());
        } else {
            EXPECT_EQ(table.children[i].text_value, expected[i].second);
        }
    }

    const VersionNode& var = root.children[1];
    EXPECT_EQ(var.key, u"VarFileInfo");
    ASSERT_EQ(var.children.size(), 1u);
    EXPECT_EQ(var.children[0].key, u"Translation");
    EXPECT_EQ(var.children[0].binary_value, std::string("\x11\x04\xb0\x04", 4));  // 0x0411, 1200
}

TEST(VersionRecord, ReadableThroughTheSystemsVersionFunctions) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<WORD*>(value)[0], 0x0411);
    EXPECT_EQ(static_cast<WORD*>(value)[1], 1200);

    auto query = [&](const wchar_t* key) {
        std::wstring sub = std::wstring(L"\\StringFileInfo\\041104b0\\") + key;
        if (!VerQueryValueW(info.data(), sub.c_str(), &value, &length) || value == nullptr) return std::wstring(L"<none>");
        return std::wstring(static_cast<const wchar_t*>(value));
    };
    EXPECT_EQ(query(L"FileDescription"), L"quenbol MFC ｱﾌﾟﾘｹｰｼｮﾝ");
    EXPECT_EQ(query(L"ProductName"), L"quenbol ｱﾌﾟﾘｹｰｼｮﾝ");
    EXPECT_EQ(query(L"FileVersion"), L"1, 0, 0, 1");
    EXPECT_EQ(query(L"OriginalFilename"), L"quenbol.EXE");
}

// ---------------------------------------------------------------------------
// Manifest.

// The value of attribute name inside element (line breaks already made
// spaces), or "<absent>".
std::string Attribute(const std::string& element, const std::string& name) {
    std::string marker = " " + name + "=\"";
    size_t at = element.find(marker);
    if (at == std::string::npos) return "<absent>";
    at += marker.size();
    size_t end = element.find('"', at);
    return end == std::string::npos ? "<absent>" : element.substr(at, end - at);
}

// The text of every element that starts with <tag, up to its closing '>'.
std::vector<std::string> Elements(const std::string& xml, const std::string& tag) {
    std::vector<std::string> found;
    for (size_t at = xml.find("<" + tag); at != std::string::npos; at = xml.find("<" + tag, at + 1)) {
        size_t end = xml.find('>', at);
        if (end == std::string::npos) break;
        std::string element = xml.substr(at, end - at + 1);
        std::replace(element.begin(), element.end(), '\n', ' ');
        found.push_back(element);
    }
    return found;
}

TEST(Manifest, DependsOnCommonControls6) {
    std::string xml = ResourceBytes(kManifestType, 1);
    ASSERT_FALSE(xml.empty());
    EXPECT_TRUE(xml.starts_with("<?xml")) << "no BOM, XML declaration first";
    std::vector<std::string> declaration = Elements(xml, "?xml");
    ASSERT_EQ(declaration.size(), 1u);
    EXPECT_EQ(Attribute(declaration[0], "encoding"), "UTF-8");
    EXPECT_EQ(Attribute(declaration[0], "standalone"), "yes");

    std::vector<std::string> assembly = Elements(xml, "assembly ");
    ASSERT_EQ(assembly.size(), 1u);
    EXPECT_EQ(Attribute(assembly[0], "xmlns"), "urn:schemas-microsoft-com:asm.v1");
    EXPECT_EQ(Attribute(assembly[0], "manifestVersion"), "1.0");
    EXPECT_NE(xml.find("<description>"), std::string::npos);

    std::vector<std::string> identities = Elements(xml, "assemblyIdentity");
    ASSERT_EQ(identities.size(), 2u);
    EXPECT_EQ(Attribute(identities[0], "version"), "1.0.0.0");
    EXPECT_EQ(Attribute(identities[0], "processorArchitecture"), "X86");
    EXPECT_EQ(Attribute(identities[0], "type"), "win32");
    EXPECT_NE(Attribute(identities[0], "name"), "<absent>");

    // The second identity is inside <dependency><dependentAssembly>.
    size_t dependency = xml.find("<dependentAssembly>");
    ASSERT_NE(dependency, std::string::npos);
    EXPECT_GT(xml.find(identities[1]), dependency);
    EXPECT_EQ(Attribute(identities[1], "name"), "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(Attribute(identities[1], "version"), "6.0.0.0");
    EXPECT_EQ(Attribute(identities[1], "processorArchitecture"), "X86");
    EXPECT_EQ(Attribute(identities[1], "publicKeyToken"), "6595b64144ccf1df");
    EXPECT_EQ(Attribute(identities[1], "language"), "*");
    EXPECT_EQ(Attribute(identities[1], "type"), "win32");
}

TEST(Manifest, DeclaresSystemDpiAwareness) {
    // The dialogs are laid out in dialog units and scale with the system
    // font, so the program draws itself at the screen's resolution instead of
    // being stretched (and blurred) by the system.
    std::string xml = ResourceBytes(kManifestType, 1);
    std::vector<std::string> application = Elements(xml, "application");
    ASSERT_EQ(application.size(), 1u);
    EXPECT_EQ(Attribute(application[0], "xmlns"), "urn:schemas-microsoft-com:asm.v3");
    size_t settings = xml.find("<windowsSettings>");
    ASSERT_NE(settings, std::string::npos);
    EXPECT_GT(settings, xml.find(application[0]));
    std::vector<std::string> aware = Elements(xml, "dpiAware");
    ASSERT_EQ(aware.size(), 1u);
    EXPECT_EQ(Attribute(aware[0], "xmlns"), "http://schemas.microsoft.com/SMI/2005/WindowsSettings");
    EXPECT_GT(xml.find(aware[0]), settings);
    EXPECT_EQ(xml.substr(xml.find(aware[0]) + aware[0].size(), 15), "true</dpiAware>");

    // This test program links the same manifest, so the loader has read it.
    EXPECT_TRUE(IsProcessDPIAware());
}

TEST(Manifest, TheLoaderRedirectsCommonControlsToVersion6) {
    // The manifest becomes the process's default activation context, which
    // redirects comctl32.dll to the side-by-side version 6 assembly; without
    // it the lookup fails with ERROR_SXS_KEY_NOT_FOUND. (Wine's version 6
    // library reports 5.81 from DllGetVersion, so the redirection is what we
    // can check.)
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &data))
        << "error " << GetLastError();
}

}  // namespace
}  // namespace quenbol::test
