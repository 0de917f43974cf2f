// Endurance of the main window: a thousand searches in a row over a text of
// about a megabyte, each a click on 全検索 handled by the window's own modal
// loop. The totals must stay exact (one of them held at the largest count
// once it gets there) and the process must hold no more GDI or USER objects,
// and no more than a little more memory, after the 1,000th search than after
// the 100th. The figures are printed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "testing/process_resources.h"
#include "testing/reference_counter.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

constexpr int kSearches = 1000;
constexpr std::int32_t kLargest = 2147483647;

// About 1 MB of lines that name several members among ordinary words,
// characters without a code page 932 form and half-width katakana.
std::wstring MegabyteText() {
    const std::wstring line =
        L"椎葉澄香と高篠七緒、それに御影梢がみのりの話をしていた \U0001F600 ﾅﾙﾅﾙ？ナルナル！ "
        L"鞍馬透子も来た。score 12-3\r\n";
    const std::size_t lineBytes = ToCp932(line).size();
    std::wstring text;
    for (std::size_t bytes = 0; bytes < 1'000'000; bytes += lineBytes) text += line;
    return text;
}


void Print(const char* when, const ProcessResources& r) {
    std::printf("  %-22s GDI %4ld  USER %4ld  private %8.1f KB\n", when, r.gdiObjects, r.userObjects,
                static_cast<double>(r.privateBytes) / 1024.0);
}

// The counts must be able to move: objects made and freed show in them.
TEST(Endurance, TheResourceCountsFollowObjectsMadeAndFreed) {
    const ProcessResources before = MeasureProcessResources();
    HBRUSH brushes[8];
    for (HBRUSH& b : brushes) b = CreateSolidBrush(RGB(1, 2, 3));
    HMENU menu = CreatePopupMenu();
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    void* block = VirtualAlloc(nullptr, 4 << 20, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const ProcessResources during = MeasureProcessResources();
    for (HBRUSH b : brushes) DeleteObject(b);
    DestroyMenu(menu);
    DestroyWindow(window);
    VirtualFree(block, 0, MEM_RELEASE);
    const ProcessResources after = MeasureProcessResources();
    std::printf("resource counts from: %s\n", ProcessResourceSources().c_str());
    EXPECT_EQ(during.gdiObjects - before.gdiObjects, 8);
    EXPECT_GE(during.userObjects - before.userObjects, 2);
    EXPECT_GE(during.privateBytes - before.privateBytes, std::size_t{4} << 20);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_LE(after.userObjects, during.userObjects - 2);
    EXPECT_LE(after.privateBytes, during.privateBytes - (std::size_t{4} << 20));
}

TEST(Endurance, AThousandSearchesOverAMegabyteKeepExactTotalsAndLeakNothing) {
    const std::wstring text = MegabyteText();
    Keywords defaults;
    LoadDefaultKeywords(defaults);
    const reference::SearchResult once = reference::SearchAll(ToCp932(text), defaults, InitialManualWords());
    for (std::int64_t n : once.members) ASSERT_LE(n * kSearches, kLargest);
    // Member 0's total starts where the 500th search takes it past the largest count.
    const std::int64_t perSearch0 = once.members[0];
    ASSERT_GT(perSearch0, 0);
    const std::int64_t start0 = kLargest - 500 * perSearch0 + 1;

    MainWindow w;
    int posted = 0;
    std::wstring totalAfter499;
    ProcessResources atStart, at100, at1000;
    std::chrono::steady_clock::time_point began, ended;
    ModalScript script;
    script.Then([&] {
        w.SetText(IDC_TEXT, text);
        w.SetText(kMemberRows[0].total, Number(start0));
        atStart = MeasureProcessResources();
        began = std::chrono::steady_clock::now();
    });
    // One click per tick: the loop handles a posted click before the next tick,
    // so each tick sees the searches posted so far done.
    script.WaitFor(
        [&] {
            if (posted == 100) at100 = MeasureProcessResources();
            if (posted == 499) totalAfter499 = w.Total(0);
            if (posted == kSearches) return true;
            PostMessageW(w.Item(IDC_SEARCH_ALL), BM_CLICK, 0, 0);
            ++posted;
            return false;
        },
        "1,000 searches");
    script.Then([&] {
        ended = std::chrono::steady_clock::now();
        at1000 = MeasureProcessResources();
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            EXPECT_EQ(w.Current(m), Number(once.members[m])) << "member " << m;
            if (m != 0) {
                EXPECT_EQ(w.Total(m), Number(once.members[m] * kSearches)) << "member " << m;
            }
        }
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), Number(once.manual));
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), Number(once.manual * kSearches));
        EXPECT_EQ(w.Total(0), Number(kLargest));
        EXPECT_EQ(w.Text(IDC_TEXT), text);
    });
    ASSERT_TRUE(w.Run(script, 600000));
    EXPECT_EQ(totalAfter499, Number(kLargest - perSearch0 + 1));

    const double ms = std::chrono::duration<double, std::milli>(ended - began).count();
    std::printf("%d searches over %zu bytes: %.1f s, %.1f ms each\n", kSearches, ToCp932(text).size(), ms / 1000.0,
                ms / kSearches);
    std::printf("resource counts from: %s\n", ProcessResourceSources().c_str());
    Print("before the searches", atStart);
    Print("after search 100", at100);
    Print("after search 1000", at1000);
    std::fflush(stdout);
    EXPECT_EQ(at1000.gdiObjects, at100.gdiObjects);
    EXPECT_EQ(at1000.userObjects, at100.userObjects);
    EXPECT_LT(static_cast<double>(at1000.privateBytes) - static_cast<double>(at100.privateBytes), 1024.0 * 1024.0);
}

}  // namespace
}  // namespace quenbol::testing
