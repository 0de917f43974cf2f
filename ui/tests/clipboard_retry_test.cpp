// The copy button waits a moment for a clipboard another program holds open.
#include <gtest/gtest.h>

#include "testing/busy_clipboard.h"
#include "testing/clipboard_contents.h"
#include "ui/tests/main_window.h"

namespace quenbol::testing {
namespace {

TEST(ClipboardButton, WaitsBrieflyForABusyClipboardThenGivesUpSilently) {
    MainWindow w;
    ASSERT_TRUE(w.Run([&] {
        PutClipboardMarker(w.Hwnd());
        {
            BusyClipboard busy(100);  // released while the button waits
            ASSERT_TRUE(busy.Holding());
            w.Click(IDC_COPY_RESULTS);
        }
        std::string line;
        for (int i = 0; i < 21; ++i) line += i ? "   0" : "  0";
        EXPECT_EQ(ClipboardTextBytes(w.Hwnd()), line + "\n");
        PutClipboardMarker(w.Hwnd());
        {
            BusyClipboard busy(1500);  // longer than it waits: nothing placed
            w.Click(IDC_COPY_RESULTS);
        }
        EXPECT_EQ(ClipboardTextBytes(w.Hwnd()), "marker");
    }));
}

}  // namespace
}  // namespace quenbol::testing
