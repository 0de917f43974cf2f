// CDialog: the modal loop, the keyboard filter's place in it, owners,
// placement and the message map.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "framework/app.h"
#include "testing/cp932_text.h"
#include "testing/message_box_catcher.h"
#include "testing/modal_script.h"
#include "framework/tests/exchange_dialog.h"

using quenbol::testing::MessageBoxCatcher;
using quenbol::testing::ModalScript;

namespace {

void PostKey(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(Dialog, PreTranslateMessageSeesKeysBeforeTheDialogManager) {
    CExchangeDlg dlg;
    INT_PTR result = 0;
    ModalScript script;
    script.Then([&] { PostKey(dlg.GetDlgItem(IDC_NAME), VK_F2); })
        .Then([&] {
            EXPECT_EQ(dlg.keyDownsSeen, std::vector<WPARAM>{VK_F2});
            PostKey(dlg.GetDlgItem(IDC_NAME), VK_ESCAPE);  // the dialog manager turns it into IDCANCEL
        });
    ASSERT_TRUE(script.Run([&] { result = dlg.DoModal(); }));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.keyDownsSeen, (std::vector<WPARAM>{VK_F2, VK_ESCAPE}));
    EXPECT_EQ(dlg.initCount, 1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, EnterRunsOnOkWhichEndsOnlyWhenTheFieldsRead) {
    MessageBoxCatcher boxes;
    CExchangeDlg dlg;
    INT_PTR result = 0;
    ModalScript script;
    script.Then([&] {
              SetDlgItemTextW(dlg.m_hWnd, IDC_NUMBER2, L"x1");
              PostKey(dlg.GetDlgItem(IDC_NAME), VK_RETURN);
          })
        .Then([&] {
            ASSERT_EQ(boxes.boxes.size(), 1u);  // the warning, and the dialog is still open
            EXPECT_TRUE(IsWindow(dlg.m_hWnd));
            SetDlgItemTextW(dlg.m_hWnd, IDC_NUMBER2, L"-42");
            SetDlgItemTextW(dlg.m_hWnd, IDC_NAME, L"太郎");
            PostKey(dlg.GetDlgItem(IDC_NAME), VK_RETURN);
        });
    ASSERT_TRUE(script.Run([&] { result = dlg.DoModal(); }));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_nNumber2, -42);
    EXPECT_EQ(dlg.m_strName, quenbol::testing::Cp932("太郎"));
}

TEST(Dialog, CloseBoxCancelsAndSystemCommandsReachTheMap) {
    CExchangeDlg dlg;
    INT_PTR result = 0;
    ModalScript script;
    script.Then([&] { SendMessageW(dlg.m_hWnd, WM_SYSCOMMAND, 0x0013, 0); })
        .Then([&] {
            EXPECT_EQ(dlg.sysCommandsTaken, std::vector<WPARAM>{0x0013});
            EXPECT_TRUE(IsWindow(dlg.m_hWnd));
            // Passed on by Default(): the system closes the dialog through IDCANCEL.
            PostMessageW(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    ASSERT_TRUE(script.Run([&] { result = dlg.DoModal(); }));
    EXPECT_EQ(result, IDCANCEL);
}

TEST(Dialog, TemplateAtOriginIsCentredOnTheScreenOrOverItsOwner) {
    CExchangeDlg outer;
    CDialog inner(IDD_BOX);  // no parent: owned by the active dialog
    HWND innerOwner = nullptr, outerHwnd = nullptr;
    bool outerEnabledDuringInner = true;
    RECT outerRect{}, innerRect{};
    INT_PTR innerResult = 0;
    ModalScript script;
    script.Then([&] {
              outerHwnd = outer.m_hWnd;
              SetWindowPos(outer.m_hWnd, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
              outerRect = WindowRect(outer.m_hWnd);
              innerResult = inner.DoModal();  // blocks: the next steps run inside it
          })
        .Then([&] {
            innerOwner = GetWindow(inner.m_hWnd, GW_OWNER);
            outerEnabledDuringInner = IsWindowEnabled(outer.m_hWnd);
            innerRect = WindowRect(inner.m_hWnd);
            PostMessageW(inner.m_hWnd, WM_COMMAND, IDOK, 0);
        })
        .Then([&] {
            EXPECT_EQ(innerResult, IDOK);
            EXPECT_TRUE(IsWindowEnabled(outer.m_hWnd));
            EXPECT_EQ(GetActiveWindow(), outer.m_hWnd);
            outer.EndDialog(IDCANCEL);
        });
    RECT screenRect{};
    ModalScript first;  // the outer dialog's own placement, before it is moved
    first.Then([&] {
        screenRect = WindowRect(outer.m_hWnd);
        outer.EndDialog(IDOK);
    });
    ASSERT_TRUE(first.Run([&] { outer.DoModal(); }));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(Centre(screenRect).x, Centre(work).x, 1);
    EXPECT_NEAR(Centre(screenRect).y, Centre(work).y, 1);

    ASSERT_TRUE(script.Run([&] { outer.DoModal(); }));
    EXPECT_EQ(innerOwner, outerHwnd);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_NEAR(Centre(innerRect).x, Centre(outerRect).x, 1);
    EXPECT_NEAR(Centre(innerRect).y, Centre(outerRect).y, 1);
}

// A fault inside a step is swallowed by the timer's dispatch and the loop
// goes on; the script must still fail the test.
void RunScriptWithAFaultingStep() {
    CExchangeDlg dlg;
    ModalScript script;
    script.Then([] { RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr); })
        .Then([&] { PostKey(dlg.GetDlgItem(IDC_NAME), VK_ESCAPE); });
    script.Run([&] { dlg.DoModal(); });
}

TEST(ModalScript, AStepThatCrashesFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(RunScriptWithAFaultingStep(), "never returned: it crashed");
}

TEST(Dialog, MissingTemplateReturnsAtOnce) {
    CDialog missing(999);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(MessageBoxes, CaptionIsTheProgramNameWithAWarningIconOwnedByTheActiveDialog) {
    MessageBoxCatcher boxes;
    CExchangeDlg dlg;
    int answer = 0;
    ModalScript script;
    script.Then([&] { answer = AfxMessageBox(quenbol::testing::Cp932("ファイルをオープンできませんでした。"), MB_OK); })
        .Then([&] { dlg.EndDialog(IDOK); });
    ASSERT_TRUE(script.Run([&] { dlg.DoModal(); }));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(boxes.boxes[0].caption, L"framework_tests");
    EXPECT_EQ(boxes.boxes[0].text, L"ファイルをオープンできませんでした。");
    EXPECT_TRUE(boxes.boxes[0].hasIcon);
    EXPECT_NE(boxes.boxes[0].owner, nullptr);
}

}  // namespace
