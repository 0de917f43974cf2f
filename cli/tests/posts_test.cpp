// Counting post by post (--unit post): each post's counts against the
// reference counter run on that post's body alone, a .dat log against the
// same thread copied from a browser, the co-mentions and periods of a
// hand-made thread, and the rows and sums the program prints.
// Literals are UTF-8 (u8"...") turned into code page 932 at run time.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "cli/count/inside_words.h"
#include "cli/count/post_stats.h"
#include "cli/emit/format_posts.h"
#include "cli/emit/format_report.h"
#include "cli/pipeline.h"
#include "cli/tests/counter_process.h"
#include "core/roster.h"
#include "core/text/cp932.h"
#include "testing/reference_counter.h"

namespace quenbol::cli {
namespace {

namespace fs = std::filesystem;

std::string S(const char8_t* utf8) { return Utf8ToCp932(reinterpret_cast<const char*>(utf8)); }
std::string U(const char8_t* utf8) { return reinterpret_cast<const char*>(utf8); }

struct CountedPosts {
    std::string failure;
    std::vector<PostCount> posts;
    bool ok() const { return failure.empty(); }
};

class CollectTexts final : public Emitter {
public:
    bool Take(const TextJob& text, const RunTotals&) override {
        texts.push_back({text.failure, text.posts});
        return true;
    }
    std::vector<CountedPosts> texts;
};

// A folder of texts and the pipeline run on them post by post.
class Posts : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "quenbol_posts_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        LoadDefaultKeywords(table_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<CountedPosts> Count(const std::vector<std::string>& paths, int jobs = 2) {
        PipelineSettings settings;
        settings.table = &table_;
        settings.manualWords = InitialManualWords();
        settings.encoding = Encoding::Cp932;
        settings.jobs = jobs;
        settings.posts = true;
        std::vector<InputFile> inputs;
        for (const std::string& p : paths) inputs.push_back({p, {}});
        CollectTexts collect;
        RunPipeline(settings, inputs, collect);
        return collect.texts;
    }

    std::string dir_;
    Keywords table_;
};

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '\n' ? " <br> " : std::string(1, c);
    return out;
}

// Generated threads of keywords, their pieces (which join where a deletion
// closes the text up) and other text, as .dat logs and as copied threads:
// each post counts as the reference counts its body alone, in both forms.
TEST_F(Posts, EachPostCountsAsItsBodyAlone) {
    const std::vector<std::string> pieces = {
        S(u8"月岡瑠衣"), S(u8"瑠"), S(u8"衣"), S(u8"るい"), S(u8"高篠"), S(u8"七緒"), S(u8"ナオピー"), S(u8"椎葉澄香"),
        S(u8"澄"), S(u8"香"), S(u8"ちゃん"), S(u8"明る"), S(u8"ソ"), "&", "<", ">", "a", "\n", S(u8"。")};
    const ManualWordList manual = InitialManualWords();
    std::mt19937 random(2929);
    std::vector<std::string> datPaths, copiedPaths;
    std::vector<std::vector<std::string>> bodies;
    for (int t = 0; t < 40; ++t) {
        std::string dat, copied = S(u8"スレ") + "\n";
        std::vector<std::string> threadBodies;
        const int count = 1 + static_cast<int>(random() % 30);
        for (int p = 0; p < count; ++p) {
            std::string body;
            const int length = 1 + static_cast<int>(random() % 20);
            for (int k = 0; k < length; ++k) {
                const std::string& piece = pieces[random() % pieces.size()];
                if (piece == "\n" && (body.empty() || body.back() == '\n')) continue;
                body += piece;
            }
            while (!body.empty() && body.back() == '\n') body.pop_back();
            if (body.empty()) body = "a";
            threadBodies.push_back(body);
            const std::string stamp = "2024/06/01(" + S(u8"土") + ") 20:00:00.00 ID:x" + std::to_string(p);
            dat += "n<><>" + stamp + "<> " + Escaped(body) + " <>" + (p == 0 ? S(u8"スレ") : "") + "\n";
            copied += std::to_string(p + 1) + " " + S(u8"名前：n 投稿日：") + stamp + "\n" + body + "\n";
        }
        datPaths.push_back(Write("t" + std::to_string(t) + ".dat", dat));
        copiedPaths.push_back(Write("t" + std::to_string(t) + ".txt", copied));
        bodies.push_back(threadBodies);
    }
    const std::vector<CountedPosts> fromDat = Count(datPaths), fromCopy = Count(copiedPaths);
    ASSERT_EQ(fromDat.size(), bodies.size());
    for (std::size_t t = 0; t < bodies.size(); ++t) {
        ASSERT_TRUE(fromDat[t].ok()) << fromDat[t].failure;
        ASSERT_EQ(fromDat[t].posts.size(), bodies[t].size());
        ASSERT_EQ(fromCopy[t].posts.size(), bodies[t].size());
        for (std::size_t p = 0; p < bodies[t].size(); ++p) {
            const std::string body = p == 0 ? S(u8"スレ") + "\n" + bodies[t][p] : bodies[t][p];
            const reference::SearchResult expected = reference::SearchAll(body, table_, manual);
            for (MemberIndex m = 0; m < kMemberCount; ++m) {
                EXPECT_EQ(fromDat[t].posts[p].current[m], expected.members[m]) << "thread " << t << " post " << p;
                EXPECT_EQ(fromCopy[t].posts[p].current[m], expected.members[m]) << "thread " << t << " post " << p;
            }
            EXPECT_EQ(fromDat[t].posts[p].manual, expected.manual);
            EXPECT_EQ(fromCopy[t].posts[p].manual, expected.manual);
        }
    }
}

// 月岡瑠衣 is member 7, 高篠七緒 member 9, 椎葉澄香 member 0.
const std::string kHandMade = S(
    u8"a<><>2024/12/29(日) 10:00:00.00 ID:A<> 瑠衣と七緒 <>スレ<>\n"
    u8"a<><>2024/12/30(月) 10:00:00.00 ID:B<> ナオピー！ <br> 七緒 <>\n"
    u8"a<><>2024/12/31(火) 10:00:00.00 ID:C<> るい、七緒、澄香 <>\n"
    u8"a<><>2025/01/01(水) 10:00:00.00 ID:D<> あけおめ <>\n"
    u8"あぼーん<>あぼーん<>あぼーん<>あぼーん<>\n");

TEST_F(Posts, CoMentionsAndIsoWeeksOfAHandMadeThread) {
    PostStats stats(PeriodKind::Week);
    for (const CountedPosts& text : Count({Write("hand.dat", kHandMade)}))
        for (const PostCount& post : text.posts) stats.Add(post);
    EXPECT_EQ(stats.posts, 5);
    EXPECT_EQ(stats.mentions[9], 4);
    EXPECT_EQ(stats.coMentions[9][9], 3);  // posts naming 七緒
    EXPECT_EQ(stats.coMentions[7][7], 2);
    EXPECT_EQ(stats.coMentions[7][9], 2);
    EXPECT_EQ(stats.coMentions[9][7], 2);
    EXPECT_EQ(stats.coMentions[0][7], 1);
    EXPECT_EQ(stats.coMentions[0][0], 1);
    EXPECT_EQ(stats.coMentions[0][1], 0);
    ASSERT_EQ(stats.periods.size(), 2u);
    const auto first = stats.periods.begin();
    EXPECT_EQ(first->first, "2024-W52");
    EXPECT_EQ(first->second.posts, 1);
    EXPECT_EQ(std::next(first)->first, "2025-W01");
    EXPECT_EQ(std::next(first)->second.posts, 3);  // the deleted post has no date
    EXPECT_EQ(std::next(first)->second.mentions[9], 3);
}

const std::string kKeptThread = S(u8"a<><>2024/12/29(日) 10:00:00.00 ID:A<> 瑠衣と七緒 <>スレ<>\n"
                                  u8"a<><>2024/12/30(月) 10:00:00.00 ID:B<>七緒 <br> 明るい<>\n"
                                  u8"a<><>2024/12/31(火) 10:00:00.00 ID:C<> &gt;&gt;1 澄香 <>\n");

// Kept with their occurrences (as the report asks), a thread's occurrences
// are placed in its posts' bodies, each knowing its post, with the finds
// inside ordinary words placed the same way.
TEST_F(Posts, OccurrencesKeptInTheirPostsBodies) {
    class KeepOccurrences final : public Emitter {
    public:
        bool Take(const TextJob& text, const RunTotals&) override {
            const PostBodies& bodies = *text.counted->posts;
            for (TextOccurrences::Cursor next = bodies.occurrences.InTextOrder(); next.Next();) {
                const OccurrenceRef& o = next.current();
                const std::size_t post = bodies.PostAt(o.spans.front().start);
                const std::size_t start = o.spans.front().start - bodies.starts[post];
                const InsideFind* inside = InsideAt(*text.inside, o.spans.front().start);
                seen.push_back(std::to_string(post) + " " + std::to_string(o.member) + " " +
                               Cp932ToUtf8(bodies.Body(post).substr(start, o.spans.front().end - o.spans.front().start)) +
                               (inside ? " inside " + Cp932ToUtf8(inside->word) : ""));
            }
            return true;
        }
        std::vector<std::string> seen;
    } keep;
    const InsideWordCheck inside = MakeInsideWordCheck(table_, InitialManualWords());
    PipelineSettings settings;
    settings.table = &table_;
    settings.manualWords = InitialManualWords();
    settings.posts = settings.occurrences = true;
    settings.inside = &inside;
    RunPipeline(settings, {{Write("kept.dat", kKeptThread), {}}}, keep);
    EXPECT_EQ(keep.seen, (std::vector<std::string>{U(u8"0 7 瑠衣"), U(u8"0 9 七緒"), U(u8"1 9 七緒"),
                                                   U(u8"1 7 るい inside 明るい"), U(u8"2 0 澄香")}));
}

// The report of a thread counted post by post: each post under its number,
// date and ID with its own marks, whole posts only when the text is cut, and
// the 出現位置 strips over the posts.
TEST_F(Posts, TheReportShowsEachPostWithItsMarks) {
    class Report final : public Emitter {
    public:
        explicit Report(std::size_t shownBytes) : page("", Language::English, shownBytes) {}
        bool Take(const TextJob& text, const RunTotals& totals) override {
            EXPECT_TRUE(page.WriteText(*text.counted, &*text.inside, out, text.posts));
            out.Flush();
            trends.Add(text);
            head = page.Head(totals, trends);
            return true;
        }
        ReportPage page;
        ReportTrends trends{PeriodKind::Day, true};
        std::string texts, head;
        PieceWriter out{[this](std::string_view piece) { return texts += piece, true; }};
    };
    const InsideWordCheck inside = MakeInsideWordCheck(table_, InitialManualWords());
    PipelineSettings settings;
    settings.table = &table_;
    settings.manualWords = InitialManualWords();
    settings.posts = settings.occurrences = settings.byKeyword = true;
    settings.inside = &inside;
    const std::string path = Write("kept.dat", kKeptThread);
    Report whole(kReportShownBytes), cut(20);
    RunPipeline(settings, {{path, {}}}, whole);
    RunPipeline(settings, {{path, {}}}, cut);

    const auto marked = [](const std::string& html) {
        std::string out;
        for (std::size_t at = 0; (at = html.find("<", at)) != std::string::npos; ++at) {
            if (html.compare(at, 4, "<h4 ") == 0) {
                const std::size_t from = html.find('>', at) + 1;
                out += "[" + html.substr(from, html.find('<', from) - from) + "]";
            } else if (html.compare(at, 6, "<mark ") == 0) {
                const std::size_t from = html.find('>', at) + 1;
                out += std::string(html.find("class=\"inside\"", at) < from ? "~" : "") +
                       html.substr(from, html.find('<', from) - from) + " ";
            }
        }
        return out;
    };
    EXPECT_EQ(marked(whole.texts), U(u8"[#1 2024-12-29T10:00:00 ID:A]瑠衣 七緒 [#2 2024-12-30T10:00:00 ID:B]七緒 ~るい "
                                     u8"[#3 2024-12-31T10:00:00 ID:C]澄香 "));
    EXPECT_EQ(whole.texts.find("This text has"), std::string::npos);
    // Bodies of 17 and 12 bytes with their ends: 20 bytes take the first post alone.
    EXPECT_EQ(marked(cut.texts), U(u8"[#1 2024-12-29T10:00:00 ID:A]瑠衣 七緒 "));
    EXPECT_NE(cut.texts.find("This text has 3 posts; posts 1 to 1 are shown"), std::string::npos) << cut.texts;

    // Member 7 (瑠衣, るい) in posts 1 and 2, member 0 (澄香) in post 3.
    const auto strip = [&](int member) {
        const std::size_t from = whole.head.find("<svg class=\"strip\" data-member=\"" + std::to_string(member) + "\"");
        std::string cells;
        for (std::size_t at = from; (at = whole.head.find("<rect x=\"", at)) < whole.head.find("</svg>", from); ++at) {
            const std::size_t count = whole.head.find("data-count=\"", at) + 12;
            cells += whole.head.substr(at + 9, whole.head.find('"', at + 9) - at - 9) + ":" +
                     whole.head.substr(count, whole.head.find('"', count) - count) + " ";
        }
        return cells;
    };
    EXPECT_EQ(strip(7), "0:1 1:1 ");
    EXPECT_EQ(strip(0), "2:1 ");
    EXPECT_NE(whole.head.find(U(u8"\"posts 2–2 (") + path + ")\""), std::string::npos);
}

TEST_F(Posts, TheProgramsRowsAndSums) {
    const std::string path = Write("2024-06-01 live.dat", kHandMade);
    const test::RunOutput jsonl = test::RunCounter({"--jsonl", "--unit", "post", path});
    ASSERT_EQ(jsonl.status, 0) << jsonl.err;
    std::vector<std::string> lines;
    for (std::size_t at = 0, nl; (nl = jsonl.out.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(jsonl.out.substr(at, nl - at));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].substr(0, lines[1].find(", \"members\"")),
              "{\"file\": \"" + path + "\", \"post\": 2, \"date\": \"2024-12-30T10:00:00\", \"id\": \"B\"");
    EXPECT_NE(lines[1].find(U(u8"{\"name\": \"高篠七緒\", \"current\": 2}")), std::string::npos);
    EXPECT_NE(lines[4].find("\"post\": 5, \"date\": null, \"id\": null"), std::string::npos);

    const test::RunOutput csv = test::RunCounter({"--csv", "--unit", "post", path});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find(',', 25)), "\xEF\xBB\xBF" "file,post,date,id," + U(u8"椎葉澄香"));
    EXPECT_NE(csv.out.find("\r\n" + path + ",3,2024-12-31T10:00:00,C,1,0,0,0,0,0,0,1,0,1,"), std::string::npos);

    const test::RunOutput json = test::RunCounter({"--json", "--unit", "post", "--period", "month", path});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find(U(u8"{\"name\": \"高篠七緒\", \"mentions\": 4, \"posts\": 3, \"share_of_posts\": 0.6000}")),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"period\": \"2024-12\", \"posts\": 3,"), std::string::npos);
    EXPECT_LT(json.out.find("\"2024-12\""), json.out.find("\"2025-01\""));

    // A plain text's paragraphs are dated by the file's name.
    const std::string plain = Write("2024-06-01 memo.txt", S(u8"瑠衣\n\n七緒\n"));
    const test::RunOutput dated = test::RunCounter({"--jsonl", "--unit", "post", plain});
    EXPECT_NE(dated.out.find("\"post\": 2, \"date\": \"2024-06-01\""), std::string::npos) << dated.out;

    const test::RunOutput table = test::RunCounter({"--unit", "post", path});
    EXPECT_NE(table.out.find(U(u8"高篠七緒         4       3   60.0%")), std::string::npos) << table.out;

    // --unit text is today's counting, byte for byte.
    EXPECT_EQ(test::RunCounter({"--jsonl", "--unit", "text", path}).out, test::RunCounter({"--jsonl", path}).out);
    const test::RunOutput refused = test::RunCounter({"--line", "--unit", "post", path});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--unit cannot be used with --line"), std::string::npos) << refused.err;
    EXPECT_NE(test::RunCounter({"--period", "week", path}).err.find("--period needs --unit or --html"), std::string::npos);
}

}  // namespace
}  // namespace quenbol::cli
