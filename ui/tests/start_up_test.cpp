// The main window as it opens and closes, and the application object.
#include <gtest/gtest.h>

#include "core/top_member.h"
#include "testing/display_names.h"
#include "testing/import_hook.h"
#include "testing/modal_script.h"
#include "ui/counter_app.h"
#include "ui/minimised_icon.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

constexpr int kManualWordIds[kManualWordCount] = {IDC_MANUAL_WORD1, IDC_MANUAL_WORD2, IDC_MANUAL_WORD3,
                                                  IDC_MANUAL_WORD4, IDC_MANUAL_WORD5, IDC_MANUAL_WORD6,
                                                  IDC_MANUAL_WORD7};

TEST(StartUp, OpensWithTheTemplateCaptionNamesPromptManualWordsAndZeroCounts) {
    MainWindow w;
    KeywordTable.fill("stale");  // the window restores the defaults as it opens
    ASSERT_TRUE(w.Run([&] {
        EXPECT_EQ(w.Caption(), ToWide(InitialCaption));
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            EXPECT_EQ(w.Text(kMemberRows[m].label), kDisplayNames[m]) << "member " << m;
            EXPECT_EQ(w.Current(m), L"0") << "member " << m;
            EXPECT_EQ(w.Total(m), L"0") << "member " << m;
        }
        EXPECT_EQ(w.Text(IDC_MANUAL_CURRENT), L"0");
        EXPECT_EQ(w.Text(IDC_MANUAL_TOTAL), L"0");
        EXPECT_EQ(w.Bytes(IDC_TEXT), InitialPrompt);
        EXPECT_EQ(w.Text(IDC_TEXT).substr(0, 2), L"\r\n");  // an empty first line
        const ManualWordList initial = InitialManualWords();
        for (int i = 0; i < kManualWordCount; ++i) EXPECT_EQ(w.Bytes(kManualWordIds[i]), initial[i]) << "word " << i + 1;
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD6), L"");
        EXPECT_EQ(w.Text(IDC_MANUAL_WORD7), L"");
        EXPECT_EQ(GetFocus(), w.Item(IDC_MANUAL_WORD1));
        for (int n = 0; n < kKeywordEntries; ++n) EXPECT_EQ(KeywordTable[n], DefaultKeyword(n)) << "entry " << n;
        // The pane's limit is in place from the first exchange on.
        EXPECT_EQ(SendMessageW(w.Item(IDC_TEXT), EM_GETLIMITTEXT, 0, 0), CCounterDlg::kTextLimitBytes);
        // Both icons are icon 128.
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(w.Hwnd(), WM_GETICON, ICON_BIG, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(w.Hwnd(), WM_GETICON, ICON_SMALL, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(w.Hwnd(), WM_QUERYDRAGICON, 0, 0)), icon);
        // Centred on the screen.
        RECT rect{}, work{};
        GetWindowRect(w.Hwnd(), &rect);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
        EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);
    }));
    // The fields hold what the controls showed.
    EXPECT_EQ(w.dlg.State().text, InitialPrompt);
}

TEST(StartUp, InitInstanceRunsTheMainWindowAsMainWindowAndReturnsFalse) {
    CCounterApp app;
    CWnd* mainDuringRun = nullptr;
    HWND mainHwnd = nullptr;
    BOOL result = TRUE;
    ModalScript script;
    script.Then([&] {
        mainDuringRun = AfxGetMainWnd();
        mainHwnd = mainDuringRun ? mainDuringRun->m_hWnd : nullptr;
        if (mainHwnd) PostMessageW(mainHwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    ASSERT_TRUE(script.Run([&] { result = app.InitInstance(); }));
    EXPECT_EQ(result, FALSE);
    ASSERT_NE(mainDuringRun, nullptr);
    EXPECT_EQ(GetWindowTextWide(mainHwnd), L"");  // gone
    EXPECT_FALSE(IsWindow(mainHwnd));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST(MinimisedIcon, IsCentredWithTheOriginalRounding) {
    struct Case { int width, height, x, y; };  // 32-pixel icons
    const Case cases[] = {{36, 36, 2, 2}, {35, 35, 2, 2}, {29, 36, -1, 2}, {30, 36, 0, 2}, {36, 28, 2, -1}};
    for (const Case& c : cases) {  // truncation toward zero: (-2) / 2 = -1, (-1) / 2 = 0, (-3) / 2 = -1
        EXPECT_EQ(CentredIconOrigin(c.width, c.height, 32, 32).x, c.x) << c.width;
        EXPECT_EQ(CentredIconOrigin(c.width, c.height, 32, 32).y, c.y) << c.height;
    }
}

// The paint handler's calls to the system, caught: the client size it is
// told, its erase message, and where and with what it draws the icon.
struct PaintCalls {
    HWND window = nullptr;
    SIZE client{};
    HDC erasedWith = nullptr;
    LPARAM eraseParameter = -1;
    int draws = 0;
    bool erasedBeforeDrawing = false;
    HDC drawnOn = nullptr;
    POINT at{};
    HICON icon = nullptr;
};
PaintCalls g_paint;
ImportHook* g_send = nullptr;

BOOL WINAPI FakeClientRect(HWND hwnd, RECT* rect) {
    if (hwnd != g_paint.window) return ::GetClientRect(hwnd, rect);
    *rect = {0, 0, g_paint.client.cx, g_paint.client.cy};
    return TRUE;
}
int WINAPI IconsOf32Pixels(int index) {
    return index == SM_CXICON || index == SM_CYICON ? 32 : ::GetSystemMetrics(index);
}
LRESULT WINAPI SeeErase(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd == g_paint.window && message == WM_ICONERASEBKGND) {
        g_paint.erasedWith = reinterpret_cast<HDC>(wParam);
        g_paint.eraseParameter = lParam;
    }
    return g_send->Original<decltype(&SendMessageW)>()(hwnd, message, wParam, lParam);
}
BOOL WINAPI SeeDraw(HDC dc, int x, int y, HICON icon) {
    ++g_paint.draws;
    g_paint.erasedBeforeDrawing = g_paint.erasedWith != nullptr;
    g_paint.drawnOn = dc;
    g_paint.at = {x, y};
    g_paint.icon = icon;
    return TRUE;
}

TEST(MinimisedIcon, ThePaintHandlerDrawsTheIconCentredAfterErasing) {
    struct Case { SIZE client; POINT at; };
    const Case cases[] = {{{36, 36}, {2, 2}}, {{35, 35}, {2, 2}}, {{29, 36}, {-1, 2}}, {{30, 35}, {0, 2}}};
    MainWindow w;
    ModalScript script;
    script.Then([&] { ShowWindow(w.Hwnd(), SW_MINIMIZE); })
        .WaitFor([&] { return IsIconic(w.Hwnd()) != FALSE; }, "the window to be minimised")
        .Then([&] {
            const auto icon = reinterpret_cast<HICON>(SendMessageW(w.Hwnd(), WM_QUERYDRAGICON, 0, 0));
            ImportHook client("user32.dll", "GetClientRect", reinterpret_cast<void*>(FakeClientRect));
            ImportHook metrics("user32.dll", "GetSystemMetrics", reinterpret_cast<void*>(IconsOf32Pixels));
            ImportHook draw("user32.dll", "DrawIcon", reinterpret_cast<void*>(SeeDraw));
            ImportHook send("user32.dll", "SendMessageW", reinterpret_cast<void*>(SeeErase));
            g_send = &send;
            for (const Case& c : cases) {
                g_paint = {w.Hwnd(), c.client};
                SendMessageW(w.Hwnd(), WM_PAINT, 0, 0);
                SCOPED_TRACE("client " + std::to_string(c.client.cx) + " x " + std::to_string(c.client.cy));
                EXPECT_EQ(g_paint.draws, 1);
                EXPECT_EQ(std::pair(g_paint.at.x, g_paint.at.y), std::pair(c.at.x, c.at.y));
                EXPECT_EQ(g_paint.icon, icon);
                EXPECT_TRUE(g_paint.erasedBeforeDrawing && g_paint.drawnOn != nullptr);
                EXPECT_EQ(g_paint.erasedWith, g_paint.drawnOn);  // the paint context
                EXPECT_EQ(g_paint.eraseParameter, 0);
            }
            ShowWindow(w.Hwnd(), SW_RESTORE);
            g_paint = {w.Hwnd(), {36, 36}};
            SendMessageW(w.Hwnd(), WM_PAINT, 0, 0);
            EXPECT_EQ(g_paint.draws, 0) << "not minimised: the default painting";
            g_paint = {};
        });
    ASSERT_TRUE(w.Run(script));
}

}  // namespace
}  // namespace quenbol::testing
