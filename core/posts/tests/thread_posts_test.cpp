// The formats' detection and splitting, the .dat log against the same thread
// copied from a browser on generated threads, dates in file names and periods.
// Literals are UTF-8 (u8"...") turned into code page 932 at run time.
#include <gtest/gtest.h>

#include <random>

#include "core/posts/thread_posts.h"
#include "core/text/cp932.h"

namespace quenbol {
namespace {

std::string S(const char8_t* utf8) { return Utf8ToCp932(reinterpret_cast<const char*>(utf8)); }

PostDate Day(int y, int m, int d) { return PostDate{y, m, d}; }
PostDate At(int y, int m, int d, int hh, int mm, int ss) { return PostDate{y, m, d, true, hh, mm, ss}; }

const std::string kDat =
    S(u8"名無しさん<>sage<>2024/06/01(土) 20:00:12.34 ID:abCD1234<> 瑠衣ちゃん &gt; 七緒 <br> 二行目 &amp; &quot;引用&quot; <>"
      u8"【ピポラ】スレ Part1 &amp; 雑談<>\n") +
    S(u8"名無しさん<><>2024/06/01(土) 20:05:00.00 ID:Xy/9+zQ0<> <a href=\"../test/read.cgi/idol/1/1\" rel=\"noopener\" "
      u8"target=\"_blank\">&gt;&gt;1</a> <br> <b>太字</b>&#12354;&#x3044;&lt;br&gt; <>\n") +
    S(u8"あぼーん<>あぼーん<>あぼーん<>あぼーん<>\n");

TEST(LogFormats, EachFormatIsKnownByItsSigns) {
    EXPECT_EQ(DetectLogFormat(kDat), LogFormat::Dat);
    EXPECT_EQ(DetectLogFormat(S(u8"スレタイ\n\n1 名前：名無し [sage] 投稿日：2024/06/01(土) 20:00:12.34 ID:ab\n本文\n")),
              LogFormat::Thread);
    EXPECT_EQ(DetectLogFormat(S(u8"1：名無し：2024/06/01(土) 20:00:12.34 ID:a\nあ\n2：名無し：2024/06/01(土) 20:01:00.00\nい\n")),
              LogFormat::Thread);
    EXPECT_EQ(DetectLogFormat(S(u8"[LINE] ピポラ部のトーク履歴\n保存日時：2024/06/02 10:00\n\n2024/06/01(土)\n"
                                u8"20:00\tたろう\tるいちゃん\n")),
              LogFormat::LineTalk);
    EXPECT_EQ(DetectLogFormat(S(u8"今日は晴れ。\n\n瑠衣の話。\n")), LogFormat::Plain);
}

TEST(LogFormats, PlainTextWithNumberedLinesAndADateIsNoThread) {
    // One line of the "N: date" shape, and lists numbered "1." / "2)".
    const std::string text = S(u8"1：2024/06/01 に行ったライブの話\n2. 瑠衣\n3) 七緒\n\n4 名前の話\n");
    EXPECT_EQ(DetectLogFormat(text), LogFormat::Plain);
}

TEST(DatLog, MarkupEntitiesAnchorsAndBreaksBecomeText) {
    const std::vector<Post> posts = SplitPosts(kDat, LogFormat::Dat);
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].number, 1);
    EXPECT_EQ(posts[0].body, S(u8"【ピポラ】スレ Part1 & 雑談\n瑠衣ちゃん > 七緒\n二行目 & \"引用\""));
    EXPECT_EQ(posts[0].date, At(2024, 6, 1, 20, 0, 12));
    EXPECT_EQ(posts[0].id, "abCD1234");
    EXPECT_EQ(posts[1].body, S(u8">>1\n太字あい<br>"));
    EXPECT_EQ(posts[1].id, "Xy/9+zQ0");
    EXPECT_EQ(posts[2].number, 3);
    EXPECT_EQ(posts[2].date, std::nullopt);
    EXPECT_EQ(posts[2].id, "");
}

// The form the counter searches: every body followed by a NUL, in one
// buffer that the next text reuses.
TEST(DatLog, BodiesFollowOneAnotherInAListTheNextTextReuses) {
    PostList list;
    SplitPosts(S(u8"一段落目\n\n二段落目\n"), LogFormat::Plain, {}, list);
    // Breaks and spaces at a body's ends dropped; a body of breaks alone is empty.
    SplitPosts(S(u8"名無し<>sage<>2024/06/01 ID:a<> <br>  <br> x  <br> <br> <>タイトル\r\n\r\n"
                 u8"名無し<>sage<>2024/06/02 ID:b<> <br> <>\r\n"),
               LogFormat::Dat, {}, list);
    ASSERT_EQ(list.posts.size(), 2u);
    EXPECT_EQ(list.bodies, S(u8"タイトル\nx") + std::string(2, '\0'));
    EXPECT_EQ(list.Body(0), S(u8"タイトル\nx"));
    EXPECT_EQ(list.Body(1), "");
    EXPECT_EQ(list.posts[1].number, 2);
    EXPECT_EQ(list.posts[1].id, "b");
    EXPECT_EQ(list.posts[1].date, Day(2024, 6, 2));
}

TEST(CopiedThread, HeaderVariantsTitleAndBodies) {
    const std::string text = S(
        u8"【ピポラ】スレ Part1\n"
        u8"1 名前：名無しさん [sage] 投稿日：2024/06/01(土) 20:00:12.34 ID:abCD1234\n"
        u8"　本文一\n"
        u8"\n"
        u8"2：ソ連\\ID:偽：2024/06/01(土) 20:01:00.00 ID:Qw\n"  // a trail byte '\' and an ID-like name
        u8"1：2024/06/01 に始まった\n"                           // lower number: a body line
        u8"3 ：名無し ：2024/06/02(日) 08:00\n"
        u8"最後\n");
    const std::vector<Post> posts = SplitPosts(text, LogFormat::Thread);
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].body, S(u8"【ピポラ】スレ Part1\n　本文一"));
    EXPECT_EQ(posts[0].date, At(2024, 6, 1, 20, 0, 12));
    EXPECT_EQ(posts[1].number, 2);
    EXPECT_EQ(posts[1].id, "Qw");
    EXPECT_EQ(posts[1].body, S(u8"1：2024/06/01 に始まった"));
    EXPECT_EQ(posts[2].date, At(2024, 6, 2, 8, 0, 0));
    EXPECT_EQ(posts[2].id, "");
    EXPECT_EQ(posts[2].body, S(u8"最後"));
}

// A .dat log and the same thread as a browser shows it, from the same
// generated posts: both give back the posts as written.
TEST(CopiedThread, GivesWhatTheDatLogGivesOnGeneratedThreads) {
    const std::vector<std::string> pieces = {S(u8"瑠衣"), S(u8"七緒"), S(u8"るい"), S(u8"ソ"), S(u8"表"), "&", "<", ">",
                                             "\"", "&amp;", "a", "1", "ID:", "<>x", S(u8"　"), "\n", "\n"};
    std::mt19937 random(29);
    for (int thread = 0; thread < 200; ++thread) {
        const int count = 1 + static_cast<int>(random() % 6);
        const std::string title = S(u8"スレ") + std::to_string(thread) + " & <" + S(u8"瑠衣") + ">";
        std::string dat, copied = title + "\n\n";
        std::vector<std::string> bodies;
        for (int p = 0; p < count; ++p) {
            std::string body;
            const int length = 1 + static_cast<int>(random() % 12);
            for (int k = 0; k < length; ++k) body += pieces[random() % pieces.size()];
            // Bodies as both forms keep them: no blank lines at the ends, no spaces at line ends.
            std::string line, kept;
            std::vector<std::string> lines;
            for (char c : body + "\n") {
                if (c == '\n') lines.push_back(line), line.clear();
                else line += c;
            }
            while (!lines.empty() && lines.back().empty()) lines.pop_back();
            while (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
            for (std::size_t l = 0; l < lines.size(); ++l) kept += (l ? "\n" : "") + lines[l];
            bodies.push_back(kept);

            std::string escaped;
            for (char c : kept) {
                escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;"
                         : c == '\n' ? " <br> " : std::string(1, c);
            }
            const std::string stamp = "2024/12/3" + std::to_string(p % 2) + S(u8"(月)") + " 23:59:0" +
                                      std::to_string(p) + ".5" + " ID:id" + std::to_string(p);
            std::string escapedTitle;
            for (char c : title) escapedTitle += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
            dat += S(u8"名無し") + "<>sage<>" + stamp + "<> " + escaped + " <>" + (p == 0 ? escapedTitle : "") + "\n";
            copied += std::to_string(p + 1) + " " + S(u8"名前：名無し") + " [sage] " + S(u8"投稿日：") + stamp + "\n" +
                      kept + "\n\n";
        }
        ASSERT_EQ(DetectLogFormat(dat), LogFormat::Dat) << dat;
        ASSERT_EQ(DetectLogFormat(copied), LogFormat::Thread) << copied;
        const std::vector<Post> fromDat = SplitPosts(dat, LogFormat::Dat);
        const std::vector<Post> fromCopy = SplitPosts(copied, LogFormat::Thread);
        ASSERT_EQ(fromDat.size(), bodies.size()) << dat;
        ASSERT_EQ(fromCopy.size(), bodies.size()) << copied;
        for (std::size_t p = 0; p < bodies.size(); ++p) {
            const std::string expected = p == 0 ? (bodies[0].empty() ? title : title + "\n" + bodies[0]) : bodies[p];
            EXPECT_EQ(fromDat[p].body, expected) << dat;
            EXPECT_EQ(fromCopy[p].body, expected) << copied;
            EXPECT_EQ(fromDat[p].date, At(2024, 12, 30 + int(p % 2), 23, 59, int(p)));
            EXPECT_EQ(fromCopy[p].date, fromDat[p].date);
            EXPECT_EQ(fromDat[p].id, "id" + std::to_string(p));
            EXPECT_EQ(fromCopy[p].id, fromDat[p].id);
        }
    }
}

TEST(LineTalk, MessagesWithDaysQuotedLinesAndNoSpeakers) {
    const std::string text = S(
        u8"[LINE] ピポラ部のトーク履歴\n保存日時：2024/06/02 10:00\n\n"
        u8"2024/06/01(土)\n"
        u8"20:00\tたろう\t瑠衣ちゃん\n"
        u8"20:01\t七緒推し\t\"一行目\n二行目 \"\"るい\"\"\n三行目\"\n"
        u8"20:02\tはなこさんが参加しました。\n"
        u8"2024/06/02(日)\n"
        u8"00:05\tはなこ\tおやすみ\n");
    const std::vector<Post> posts = SplitPosts(text, LogFormat::LineTalk);
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].body, S(u8"瑠衣ちゃん"));
    EXPECT_EQ(posts[0].date, At(2024, 6, 1, 20, 0, 0));
    EXPECT_EQ(posts[1].body, S(u8"一行目\n二行目 \"るい\"\n三行目"));
    EXPECT_EQ(posts[2].number, 3);
    EXPECT_EQ(posts[2].body, S(u8"おやすみ"));
    EXPECT_EQ(posts[2].date, At(2024, 6, 2, 0, 5, 0));
}

TEST(PlainText, ParagraphsDatedByTheFileName) {
    const std::vector<Post> posts = SplitPosts(S(u8"一段落目\nつづき\n\n \n二段落目\n"), LogFormat::Plain, Day(2024, 6, 1));
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].body, S(u8"一段落目\nつづき"));
    EXPECT_EQ(posts[1].number, 2);
    EXPECT_EQ(posts[1].date->Iso(), "2024-06-01");
    EXPECT_EQ(DateInFileName("logs/2024-06-01_live.txt"), Day(2024, 6, 1));
    EXPECT_EQ(DateInFileName("20240229.txt"), Day(2024, 2, 29));
    EXPECT_EQ(DateInFileName("20230229.txt"), std::nullopt);   // no such day
    EXPECT_EQ(DateInFileName("1234567890.dat"), std::nullopt);  // a thread number, not a date
    EXPECT_EQ(DateInFileName("thread.txt"), std::nullopt);
}

TEST(Periods, DaysIsoWeeksAcrossTheYearsEndAndMonths) {
    EXPECT_EQ(At(2024, 6, 1, 20, 0, 12).Iso(), "2024-06-01T20:00:12");
    EXPECT_EQ(PeriodOf(Day(2024, 6, 1), PeriodKind::Day), "2024-06-01");
    EXPECT_EQ(PeriodOf(Day(2024, 6, 1), PeriodKind::Month), "2024-06");
    EXPECT_EQ(PeriodOf(Day(2024, 12, 29), PeriodKind::Week), "2024-W52");  // a Sunday
    EXPECT_EQ(PeriodOf(Day(2024, 12, 30), PeriodKind::Week), "2025-W01");  // Monday of 2025's first week
    EXPECT_EQ(PeriodOf(Day(2025, 1, 5), PeriodKind::Week), "2025-W01");
    EXPECT_EQ(PeriodOf(Day(2021, 1, 3), PeriodKind::Week), "2020-W53");
    EXPECT_EQ(PeriodOf(Day(2026, 12, 31), PeriodKind::Week), "2026-W53");
}

}  // namespace
}  // namespace quenbol
