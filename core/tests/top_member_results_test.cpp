// The leading member's choice and the clipboard's results line.
#include <gtest/gtest.h>

#include <cstring>

#include "core/results_line.h"
#include "core/top_member.h"

namespace quenbol {
namespace {

TEST(FindTopMember, NeedsThreeMentionsAndNoTie) {
    MemberCounts c{};
    EXPECT_EQ(FindTopMember(c), -1);
    c[4] = 2;
    c[9] = 1;
    EXPECT_EQ(FindTopMember(c), -1);  // 2 is not enough
    c[9] = 3;
    EXPECT_EQ(FindTopMember(c), 9);
    c[20] = 7;
    c[0] = 7;
    EXPECT_EQ(FindTopMember(c), -1);  // a tie at the top, at any height
    c[0] = 6;
    EXPECT_EQ(FindTopMember(c), 20);
    c.fill(0);
    c[0] = 3;
    EXPECT_EQ(FindTopMember(c), 0);
    c[20] = 3;
    EXPECT_EQ(FindTopMember(c), -1);
}

TEST(FindTopMember, CaptionIsTheLeadersMessageOrTheDefault) {
    EXPECT_STREQ(CaptionFor(-1), DefaultCaption);
    for (MemberIndex m = 0; m < kMemberCount; ++m) EXPECT_STREQ(CaptionFor(m), TopMessages[m]);
}

TEST(ResultsLine, TwentyOneRightAlignedFieldsAndALineFeed) {
    MemberCounts c{};
    std::string zeros;
    for (int m = 0; m < kMemberCount; ++m) zeros += m ? "   0" : "  0";
    EXPECT_EQ(FormatResultsLine(c), zeros + "\n");
    EXPECT_EQ(FormatResultsLine(c).size(), 84u);

    for (int m = 0; m < kMemberCount; ++m) c[m] = m * 7;
    c[1] = 1234;       // wider than three: printed whole, no leading space
    c[2] = 2147483647;
    const std::string line = FormatResultsLine(c);
    EXPECT_EQ(line.substr(0, 23), "  0 1234 2147483647  21");
    EXPECT_EQ(line.substr(line.size() - 8), "133 140\n");
    EXPECT_EQ(line.find('\r'), std::string::npos);
}

TEST(ResultsLine, CopyHandsTheLineToTheClipboard) {
    struct Recorder : ClipboardSink {
        std::string got;
        int calls = 0;
        bool PlaceText(std::string_view text) override {
            got = text;
            ++calls;
            return true;
        }
    } clipboard;
    MemberCounts c{};
    c[20] = 5;
    CopyResultsToClipboard(c, clipboard);
    EXPECT_EQ(clipboard.calls, 1);
    EXPECT_EQ(clipboard.got, FormatResultsLine(c));
    EXPECT_EQ(clipboard.got.substr(clipboard.got.size() - 4), "  5\n");
}

}  // namespace
}  // namespace quenbol
