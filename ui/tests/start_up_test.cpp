// The main window as it opens and closes, and the application object.
#include <gtest/gtest.h>

#include "core/top_member.h"
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
    ModalScript script;
    script.Then([&] {
        EXPECT_EQ(w.Caption(), ToWide(InitialCaption));
        for (MemberIndex m = 0; m < kMemberCount; ++m) {
            EXPECT_EQ(w.Text(kMemberRows[m].label), ToWide(DisplayName(m))) << "member " << m;
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
        w.Close();
    });
    ASSERT_TRUE(w.Run(script));
    // The fields hold what the controls showed.
    EXPECT_EQ(w.dlg.State().text, InitialPrompt);
}

TEST(StartUp, TheCloseBoxEndsTheWindow) {
    MainWindow w;
    INT_PTR result = 0;
    ModalScript script;
    script.Then([&] { w.Close(); });
    ASSERT_TRUE(script.Run([&] { result = w.dlg.DoModal(); }));
    EXPECT_EQ(result, IDCANCEL);
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
    EXPECT_EQ(CentredIconOrigin(36, 36, 32, 32).x, 2);
    EXPECT_EQ(CentredIconOrigin(36, 36, 32, 32).y, 2);
    EXPECT_EQ(CentredIconOrigin(35, 35, 32, 32).x, 2);
    EXPECT_EQ(CentredIconOrigin(35, 35, 32, 32).y, 2);
    EXPECT_EQ(CentredIconOrigin(29, 36, 32, 32).x, -1);  // truncation toward zero: (-2) / 2
    EXPECT_EQ(CentredIconOrigin(30, 36, 32, 32).x, 0);   // (-1) / 2
    EXPECT_EQ(CentredIconOrigin(36, 28, 32, 32).y, -1);  // (-3) / 2
}

TEST(MinimisedIcon, PaintingTheMinimisedWindowKeepsItsContents) {
    MainWindow w;
    ModalScript script;
    script.Then([&] {
              ShowWindow(w.Hwnd(), SW_MINIMIZE);
          })
        .WaitFor([&] { return IsIconic(w.Hwnd()) != FALSE; }, "the window to be minimised")
        .Then([&] {
            InvalidateRect(w.Hwnd(), nullptr, TRUE);
            UpdateWindow(w.Hwnd());
            SendMessageW(w.Hwnd(), WM_PAINT, 0, 0);
            EXPECT_TRUE(IsIconic(w.Hwnd()));
            ShowWindow(w.Hwnd(), SW_RESTORE);
            EXPECT_EQ(w.Bytes(IDC_TEXT), InitialPrompt);
            w.Close();
        });
    ASSERT_TRUE(w.Run(script));
}

}  // namespace
}  // namespace quenbol::testing
