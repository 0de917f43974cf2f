// The clipboard button, text without a code page 932 form in the controls,
// and the pane's limit of 9,999,999 bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "testing/clipboard_contents.h"
#include "testing/message_box_catcher.h"
#include "ui/tests/faulty_clipboard.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

// The line for 21 counts, written out field by field.
std::string Line(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? " " : "") + fields[i];
    return line + "\n";
}

TEST(ClipboardButton, CopiesTheCurrentCountsAsTheyStandWithoutReadingTheFields) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.Click(IDC_COPY_RESULTS);
        const std::string zeros = ClipboardTextBytes(w.Hwnd());
        EXPECT_EQ(zeros, Line(std::vector<std::string>(21, "  0")));
        EXPECT_EQ(zeros.size(), 84u);

        w.SetText(IDC_TEXT, L"椎葉 椎葉 椎葉 みのり 蓮見ひなの");
        w.Click(IDC_SEARCH_ALL);
        w.Click(IDC_RESET_TOTALS);  // totals are not on the line
        w.SetText(kMemberRows[1].current, L"9");  // typed, not yet taken over
        w.Click(IDC_COPY_RESULTS);
        std::vector<std::string> fields(21, "  0");
        fields[0] = "  3";
        fields[3] = "  1";
        fields[20] = "  1";
        EXPECT_EQ(ClipboardTextBytes(w.Hwnd()), Line(fields));

        w.SetText(kMemberRows[0].current, L"1234");
        w.Click(IDC_SEARCH_MANUAL_ONLY);  // takes the typed counts over
        w.Click(IDC_COPY_RESULTS);
        fields[0] = "1234";
        fields[1] = "  9";
        EXPECT_EQ(ClipboardTextBytes(w.Hwnd()), Line(fields));
    }));
}

TEST(ClipboardButton, WhenTheClipboardFailsNothingIsPlacedOrLeakedAndNothingIsShown) {
    MessageBoxCatcher boxes;
    MainWindow w;
    w.dlg.SetClipboardApi(FaultyClipboard::Api());
    ASSERT_TRUE(w.Run([&] {
        struct Case {
            bool open, alloc, set;
            const char* left;  // what the clipboard holds afterwards
        };
        // Out of memory keeps what the clipboard held; a refused hand-over comes
        // after it was emptied.
        for (const Case& c : {Case{true, false, false, "marker"}, Case{false, true, false, "marker"},
                              Case{false, false, true, "<none>"}}) {
            PutClipboardMarker(w.Hwnd());
            FaultyClipboard::Reset(c.open, c.alloc, c.set);
            w.Click(IDC_COPY_RESULTS);
            EXPECT_EQ(ClipboardTextBytes(w.Hwnd()), c.left);
            EXPECT_EQ(FaultyClipboard::allocated, FaultyClipboard::freed);
            EXPECT_EQ(FaultyClipboard::opened, FaultyClipboard::closed);
            EXPECT_EQ(FaultyClipboard::handedOver, 0);
        }
        FaultyClipboard::Reset(false, false, false);
        w.Click(IDC_COPY_RESULTS);
        EXPECT_EQ(ClipboardTextBytes(w.Hwnd()), Line(std::vector<std::string>(21, "  0")));
        EXPECT_EQ(FaultyClipboard::allocated, 1);
        EXPECT_EQ(FaultyClipboard::handedOver, 1);
        EXPECT_EQ(FaultyClipboard::freed, 0);  // the clipboard owns it now
        EXPECT_EQ(FaultyClipboard::closed, 1);
    }));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(Text, CharactersWithoutACodePage932FormSurviveEveryActionAndMatchNothing) {
    MainWindow w;
    // Emoji, a kanji outside the BMP (U+20BB7) and the em dash, next to keywords.
    const std::wstring pane = L"\U0001F600椎葉\U00020BB7\r\n鞍馬透子\u2014椎葉\U0001F431\u2014";
    ASSERT_TRUE(w.Run([&] {
        w.SetText(IDC_TEXT, pane);
        w.SetText(IDC_MANUAL_WORD6, L"\U0001F600");  // a word that is all NUL in bytes
        w.SetText(IDC_MANUAL_WORD7, L"鞍\U0001F600");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Text(IDC_TEXT), pane);
        EXPECT_EQ(w.Current(0), L"2");  // next to the emoji, still found
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"1");
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD6), L"\U0001F600");
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD7), L"鞍\U0001F600");
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        w.Click(IDC_RESET_TOTALS);
        EXPECT_EQ(w.Text(IDC_TEXT), pane);
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD6), L"\U0001F600");
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"1");
        EXPECT_EQ(w.Current(0), L"2");
        w.Click(IDC_CLEAR_TEXT);
        EXPECT_EQ(w.Text(IDC_TEXT), L"");
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD7), L"鞍\U0001F600");
        // A NUL in the text does not join the characters around it.
        w.SetText(IDC_TEXT, L"椎\U0001F600葉");
        w.Click(IDC_SEARCH_ALL);
        EXPECT_EQ(w.Current(0), L"0");
    }));
}

// 99,999 lines of 49 あ and CR LF, then 49 あ and "a": 9,999,999 bytes.
std::wstring FullPane() {
    std::wstring line(49, L'あ');
    line += L"\r\n";
    std::wstring text;
    text.reserve(line.size() * 100000);
    for (int i = 0; i < 99999; ++i) text += line;
    text += std::wstring(49, L'あ') + L"a";
    return text;
}

TEST(TextPane, HoldsAtMost9999999BytesAndRefusesInputBeyond) {
    MessageBoxCatcher boxes;
    MainWindow w;
    const std::wstring full = FullPane();
    ASSERT_EQ(ToCp932(full).size(), 9'999'999u);
    HWND pane = nullptr;
    ModalScript script;
    script.Then([&] {
              pane = w.Item(IDC_TEXT);
              w.SetText(IDC_TEXT, full);
              SetFocus(pane);
              SendMessageW(pane, EM_SETSEL, full.size(), full.size());
              PostMessageW(pane, WM_CHAR, L'b', 1);  // one byte too many
          })
        .Then([&] {
            EXPECT_EQ(static_cast<std::size_t>(GetWindowTextLengthW(pane)), full.size());
            PutClipboardMarker(w.Hwnd());  // one more byte by paste
            SendMessageW(pane, WM_PASTE, 0, 0);
            EXPECT_EQ(static_cast<std::size_t>(GetWindowTextLengthW(pane)), full.size());
            SendMessageW(pane, EM_SETSEL, full.size() - 1, full.size());  // the final "a" ...
            PostMessageW(pane, WM_CHAR, L'い', 1);                        // ... for 2 bytes: refused
        })
        .Then([&] {
            EXPECT_EQ(w.Text(IDC_TEXT), full);
            PostMessageW(pane, WM_CHAR, L'c', 1);  // 1 byte for 1 byte: fits
        })
        .Then([&] {
            EXPECT_EQ(GetWindowTextLengthW(pane), static_cast<int>(full.size()));
            EXPECT_EQ(w.Text(IDC_TEXT).back(), L'c');
            // A full pane is read without a warning and stays as it is.
            w.Click(IDC_SEARCH_ALL);
            EXPECT_EQ(GetWindowTextLengthW(pane), static_cast<int>(full.size()));
            EXPECT_EQ(w.Current(0), L"0");
        });
    ASSERT_TRUE(w.Run(script, 120000));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(TextPane, ALongerTextSetFromOutsideIsWarnedAboutOnRead) {
    MessageBoxCatcher boxes;
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        w.SetText(IDC_TEXT, FullPane() + L"z");  // WM_SETTEXT is not limited
        w.SetText(IDC_MANUAL_WORD1, L"新");       // after the text: not read
        w.Click(IDC_SEARCH_MANUAL_ONLY);
        EXPECT_EQ(w.Bytes(IDC_MANUAL_WORD1), InitialManualWords()[0]);
    }, 120000));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"9999999 バイト以下で入力してください。");
}

// A one-off measurement, run by hand (--gtest_also_run_disabled_tests):
// how long a search-all takes with a full pane (pull, count, push).
TEST(TextPane, DISABLED_MeasureSearchAllWithAFullPane) {
    MainWindow w;
    // A realistic text: keywords of several members among ordinary words.
    const std::wstring line = L"椎葉澄香と高篠七緒、それに御影梢がみのりの話をしていた。ナルナルも来た。\r\n";
    const std::size_t lineBytes = ToCp932(line).size();
    std::wstring text;
    for (std::size_t bytes = 0; bytes + lineBytes <= 9'999'999; bytes += lineBytes) text += line;
    ASSERT_TRUE(w.Run([&] {
        auto start = std::chrono::steady_clock::now();
        const auto ms = [&] { return static_cast<long long>((std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1)); };
        w.SetText(IDC_TEXT, text);
        std::printf("pane: %zu bytes, set in %lld ms\n", ToCp932(w.Text(IDC_TEXT)).size(), ms());
        std::fflush(stdout);
        for (int run = 0; run < 3; ++run) {
            start = std::chrono::steady_clock::now();
            w.Click(IDC_SEARCH_ALL);
            std::printf("search-all %d: %lld ms (member 0: %s)\n", run + 1, ms(), w.Bytes(kMemberRows[0].current).c_str());
            std::fflush(stdout);
        }
    }, 600000));
}

}  // namespace
}  // namespace quenbol::testing
