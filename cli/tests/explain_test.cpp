// What quenbol-count explains about a count: the options that ask for it,
// --by-keyword, --matches and --html, run as a program where they touch files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/emit/format_report.h"
#include "cli/options.h"
#include "cli/tests/counter_process.h"
#include "cli/tests/json_reader.h"
#include "core/text/cp932.h"
#include "settings/keyword_format.h"
#include "testing/cp932_text.h"

namespace quenbol::cli {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

using test::ReadBytes;
using test::RunCounter;
using test::RunOutput;
using test::TempPath;
using test::WriteTemp;

std::vector<testing::JsonValue> JsonLines(const std::string& out) {
    std::vector<testing::JsonValue> lines;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        auto value = testing::JsonReader::Read(out.substr(start, end - start));
        EXPECT_TRUE(value) << out.substr(start, end - start);
        if (value) lines.push_back(std::move(*value));
    }
    return lines;
}

std::string SpansOf(const testing::JsonValue& line) {
    std::string s;
    for (const auto& span : line.Find("spans")->items)
        s += "[" + std::to_string(int(span.items[0].number)) + "," + std::to_string(int(span.items[1].number)) + "]";
    return s;
}

// Member 0 deletes "M"; member 1's "xy" then forms across the join, twice over
// two slots, as in "xMy-xxyy".
std::string JoinKeywordFile() {
    Keywords table{};
    table[EntryIndex(0, 0)] = "M";
    table[EntryIndex(1, 0)] = "xy";
    table[EntryIndex(1, 1)] = "xy";
    return WriteTemp("join.ini", FormatKeywordFile(table));
}

TEST(ParseOptions, ExplainingOptionsAndTheirConflicts) {
    ParseResult r = ParseOptions({"--matches", "--context", "0", "a.txt"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.output, OutputStyle::Matches);
    EXPECT_EQ(r.options.context, 0);
    EXPECT_EQ(ParseOptions({"--matches"}).options.context, 10);
    EXPECT_EQ(ParseOptions({"--matches", "--context=200"}).options.context, 200);
    r = ParseOptions({"--html", "out.html", "--by-keyword"});
    EXPECT_FALSE(r.ok());
    r = ParseOptions({"--html=out.html", "a.txt"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.output, OutputStyle::Report);
    EXPECT_EQ(r.options.reportPath, "out.html");
    r = ParseOptions({"--by-keyword", "--json"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.options.byKeyword);
    // The report of a corpus: post by post, periods of its own.
    r = ParseOptions({"--html", "out.html", "--unit", "post", "--period", "week", "a.dat"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.options.postUnit);
    EXPECT_EQ(r.options.period, PeriodKind::Week);
    EXPECT_TRUE(ParseOptions({"--period", "month", "--html", "out.html"}).ok());

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--matches", "--json"}, {"--matches", "--line"}, {"--html", "r", "--json"},
          {"--html", "r", "--line"}, {"--matches", "--html", "r"}, {"--by-keyword", "--line"},
          {"--matches", "--by-keyword"}, {"--context", "3"}, {"--matches", "--context", "201"},
          {"--matches", "--context", "-1"}, {"--matches", "--context", "x"}, {"--matches", "--context="},
          {"--html"}, {"--html="}, {"--dump-keywords", "--matches"}}) {
        r = ParseOptions(bad);
        EXPECT_FALSE(r.ok()) << bad[0] << " " << bad[1];
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
    }
}

TEST(Matches, PlacesInTheFileAsReadWithLineColumnAndContext) {
    const std::string keywords = JoinKeywordFile();
    // UTF-8 with a byte-order mark: offsets count it and the UTF-8 bytes.
    const std::string utf8 = WriteTemp("join-utf8.txt", kBom + "日本\nxMy-xxyy");
    RunOutput r = RunCounter({"--keywords", keywords, "--manual", "xy", "--matches", "--context", "3", utf8});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out;
    // In order of the first span: the join-made "xy", "M", the "xy" that the
    // first word's deletions made, then "xy" and the manual word at one start.
    const std::string want[][7] = {
        {"member", "1", "0", "[10,11][12,13]", "2", "1", "日本\n|-xx"},
        {"member", "0", "0", "[11,12]", "2", "2", "本\nx|y-x"},
        {"member", "1", "1", "[14,15][17,18]", "2", "5", "My-|"},
        {"member", "1", "0", "[15,17]", "2", "6", "y-x|y"},
        {"manual", "", "0", "[15,17]", "2", "6", "y-x|y"},
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& l = lines[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(l.Find("file")->text, utf8);
        EXPECT_EQ(l.Find("group")->text, want[i][0]);
        if (want[i][0] == "member") {
            EXPECT_EQ(l.Find("member")->number, std::stoi(want[i][1]));
            EXPECT_EQ(l.Find("name")->text, Cp932ToUtf8(DisplayName(std::stoi(want[i][1]))));
        } else {
            EXPECT_FALSE(l.Find("member"));
            EXPECT_FALSE(l.Find("name"));
        }
        EXPECT_EQ(l.Find("slot")->number, std::stoi(want[i][2]));
        EXPECT_EQ(l.Find("word")->text, i == 1 ? "M" : "xy");
        EXPECT_EQ(SpansOf(l), want[i][3]);
        EXPECT_EQ(l.Find("line")->number, std::stoi(want[i][4]));
        EXPECT_EQ(l.Find("column")->number, std::stoi(want[i][5]));
        EXPECT_EQ(l.Find("before")->text + "|" + l.Find("after")->text, want[i][6]);
    }

    // Code page 932: its own bytes; CR LF is one line break.
    const std::string cp932 = WriteTemp("join-cp932.txt", quenbol::testing::Cp932("日本\r\nxMy-xxyy"));
    r = RunCounter({"--keywords", keywords, "--matches", "--context", "0", cp932});
    const auto plain = JsonLines(r.out);
    ASSERT_EQ(plain.size(), 4u) << r.out;
    EXPECT_EQ(SpansOf(plain[0]), "[6,7][8,9]");
    EXPECT_EQ(plain[0].Find("line")->number, 2);
    EXPECT_EQ(plain[0].Find("column")->number, 1);
    EXPECT_EQ(plain[0].Find("before")->text + plain[0].Find("after")->text, "");
}

TEST(Matches, OneLinePerCountedOccurrenceOfTheSample) {
    const RunOutput json = RunCounter({"--json", QUENBOL_SAMPLE, QUENBOL_SAMPLE});
    const RunOutput matches = RunCounter({"--matches", QUENBOL_SAMPLE, QUENBOL_SAMPLE});
    ASSERT_EQ(matches.status, 0) << matches.err;
    const auto doc = testing::JsonReader::Read(json.out);
    ASSERT_TRUE(doc);
    std::map<int, int> perMember;
    int manual = 0;
    const std::string sample = ReadBytes(QUENBOL_SAMPLE);
    for (const auto& l : JsonLines(matches.out)) {
        if (l.Find("group")->text == "manual") {
            ++manual;
        } else {
            ++perMember[int(l.Find("member")->number)];
        }
        const auto& spans = l.Find("spans")->items;
        // An ordinary match: the file's own bytes there are the word.
        if (spans.size() == 1) {
            const auto start = std::size_t(spans[0].items[0].number), end = std::size_t(spans[0].items[1].number);
            EXPECT_EQ(sample.substr(start, end - start), l.Find("word")->text);
        }
    }
    for (int m = 0; m < kMemberCount; ++m) {
        // Two texts: the total is twice one text's count, and the lines cover both.
        EXPECT_EQ(perMember[m], doc->Find("members")->items[m].Find("total")->number) << m;
    }
    EXPECT_EQ(manual, doc->Find("manual")->Find("total")->number);
}

TEST(ByKeyword, EverySlotWithItsCountsInJsonAndTable) {
    const std::string keywords = JoinKeywordFile();
    const std::string text = WriteTemp("join.txt", "xMy-xxyy");
    RunOutput r = RunCounter({"--keywords", keywords, "--manual", "y", "--by-keyword", "--json", text, text});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = testing::JsonReader::Read(r.out);
    ASSERT_TRUE(doc) << r.out;
    const auto& slots = doc->Find("members")->items[1].Find("keywords")->items;
    ASSERT_EQ(slots.size(), 7u);
    for (int s = 0; s < 7; ++s) {
        EXPECT_EQ(slots[s].Find("slot")->number, s);
        EXPECT_EQ(slots[s].Find("word")->text, s < 2 ? "xy" : "");
        EXPECT_EQ(slots[s].Find("current")->number, s == 0 ? 2 : s == 1 ? 1 : 0);
        EXPECT_EQ(slots[s].Find("total")->number, s == 0 ? 4 : s == 1 ? 2 : 0);
    }
    const auto& words = doc->Find("manual")->Find("words")->items;
    ASSERT_EQ(words.size(), 7u);
    EXPECT_FALSE(words[0].Find("slot"));
    EXPECT_EQ(words[0].Find("word")->text, "y");
    EXPECT_EQ(words[0].Find("current")->number, 3);
    EXPECT_EQ(words[0].Find("total")->number, 6);
    EXPECT_EQ(words[1].Find("word")->text, "");

    r = RunCounter({"--keywords", keywords, "--by-keyword", text});
    ASSERT_EQ(r.status, 0) << r.err;
    // Member 1's row, then a row for each of its two filled slots.
    const std::string member1 = Cp932ToUtf8(DisplayName(1));
    const std::size_t at = r.out.find(member1);
    ASSERT_NE(at, std::string::npos);
    std::istringstream rows(r.out.substr(at));
    std::string row, first, second, next;
    std::getline(rows, row);
    std::getline(rows, first);
    std::getline(rows, second);
    std::getline(rows, next);
    const auto fields = [](const std::string& line) {
        std::istringstream in(line);
        std::vector<std::string> f;
        for (std::string w; in >> w;) f.push_back(w);
        return f;
    };
    EXPECT_EQ(first.rfind("  xy ", 0), 0u) << first;  // indented under the member
    EXPECT_EQ(fields(first), (std::vector<std::string>{"xy", "2", "2"}));
    EXPECT_EQ(fields(second), (std::vector<std::string>{"xy", "1", "1"}));
    EXPECT_EQ(next.rfind(Cp932ToUtf8(DisplayName(2)), 0), 0u) << next;
}

// The built-in table's るい (member 7, slot 3) inside 明るい and あるいは, and
// once as a name.
const char kInsideText[] = "明るい部屋で、るいちゃんと話した。\nファイルあるいはディレクトリ。\n";

TEST(InsideWords, MarkedInMatchesByKeywordAndTable) {
    const std::string text = WriteTemp("inside.txt", kInsideText);
    RunOutput r = RunCounter({"--matches", text});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    const auto inside = [](const testing::JsonValue& line) {
        return line.Find("inside") ? line.Find("inside")->text : std::string("(none)");
    };
    EXPECT_EQ(inside(lines[0]), "明るい");
    EXPECT_EQ(inside(lines[1]), "(none)");
    EXPECT_EQ(inside(lines[2]), "あるいは");

    r = RunCounter({"--by-keyword", "--json", text});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = testing::JsonReader::Read(r.out);
    ASSERT_TRUE(doc) << r.out;
    const auto& slot = doc->Find("members")->items[7].Find("keywords")->items[3];
    EXPECT_EQ(slot.Find("current")->number, 3);
    ASSERT_TRUE(slot.Find("inside_words") && slot.Find("inside_examples")) << r.out;
    EXPECT_EQ(slot.Find("inside_words")->number, 2);
    const auto& examples = slot.Find("inside_examples")->items;
    ASSERT_EQ(examples.size(), 2u);
    EXPECT_EQ(examples[0].Find("word")->text + examples[1].Find("word")->text, "あるいは明るい");
    EXPECT_EQ(examples[0].Find("count")->number + examples[1].Find("count")->number, 2);
    EXPECT_EQ(doc->Find("members")->items[7].Find("keywords")->items[0].Find("inside_words")->number, 0);

    r = RunCounter({"--by-keyword", "--jsonl", text, text});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = JsonLines(r.out);
    ASSERT_EQ(rows.size(), 2u) << r.out;
    for (const auto& row : rows) {
        const auto& member = row.Find("members")->items[7];
        EXPECT_EQ(member.Find("inside_words")->number, 2);  // of this text, not a running total
        EXPECT_EQ(member.Find("keywords")->items[3].Find("inside_words")->number, 2);
    }
    EXPECT_EQ(rows[0].Find("members")->items[0].Find("inside_words")->number, 0);

    // The table, with or without the keyword rows: the note is over the texts counted.
    for (const bool byKeyword : {true, false}) {
        r = RunCounter(byKeyword ? std::vector<std::string>{"--by-keyword", text, text}
                                 : std::vector<std::string>{text, text});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("注意: 「るい」6 件中 4 件は普通の語の一部です (あるいは 2, 明るい 2)。\n"),
                  std::string::npos) << r.out;
        EXPECT_NE(r.out.find("--keywords"), std::string::npos) << r.out;
    }
}

// Marking only describes: on generated texts of names, pieces of names and
// ordinary words around them, every count is what it is without the check,
// and the inside counts are the matches that carry a word.
TEST(InsideWords, NeverChangeACount) {
    const char* pieces[] = {"るい", "ルイ", "明", "あ", "は", "ちゃん", "月岡", "瑠衣", "マニュア",
                               "ンターフェース", "澄香", "さん", "、", "\n", "まきた", "の", "くるす", "が"};
    std::uint32_t seed = 12345;
    int marked = 0;
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int i = 0; i < 200; ++i) {
            seed = seed * 1103515245 + 12345;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        const std::string path = WriteTemp("inside-diff.txt", text);
        const RunOutput plain = RunCounter({"--json", path});
        const RunOutput checked = RunCounter({"--by-keyword", "--json", path});
        const RunOutput matches = RunCounter({"--matches", "--context", "0", path});
        ASSERT_EQ(checked.status, 0) << checked.err;
        const auto a = testing::JsonReader::Read(plain.out), b = testing::JsonReader::Read(checked.out);
        ASSERT_TRUE(a && b);
        std::map<std::pair<int, int>, int> insideLines;
        for (const auto& l : JsonLines(matches.out))
            if (l.Find("inside")) ++insideLines[{int(l.Find("member")->number), int(l.Find("slot")->number)}], ++marked;
        for (int m = 0; m < kMemberCount; ++m) {
            const auto& pm = a->Find("members")->items[m];
            const auto& cm = b->Find("members")->items[m];
            EXPECT_EQ(pm.Find("current")->number, cm.Find("current")->number) << round << " " << m;
            int sum = 0;
            for (int s = 0; s < 7; ++s) {
                const auto& slot = cm.Find("keywords")->items[s];
                sum += int(slot.Find("current")->number);
                EXPECT_EQ(slot.Find("inside_words")->number, (insideLines[{m, s}])) << round << " " << m << " " << s;
            }
            EXPECT_EQ(sum, pm.Find("current")->number) << round << " " << m;
        }
    }
    EXPECT_GT(marked, 20);  // the texts do hold occurrences inside words
}

TEST(Report, WrittenWholeOrNotAtAll) {
    const std::string report = TempPath("report.html");
    RunOutput r = RunCounter({"--html", report, QUENBOL_SAMPLE});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string page = ReadBytes(report);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(page.find("<!--@"), std::string::npos);  // every part filled in
    // Self-contained: nothing to fetch.
    for (const char* fetch : {" src=", " href=", "@import", "url("}) EXPECT_EQ(page.find(fetch), std::string::npos) << fetch;

    // A report that cannot be written: exit 1, a message, and no file.
    const std::string nowhere = TempPath("no-such-dir") + "/report.html";
    r = RunCounter({"--html", nowhere, QUENBOL_SAMPLE});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(nowhere), std::string::npos) << r.err;
    const std::string directory = TempPath("dir");
    std::filesystem::create_directory(directory);
    r = RunCounter({"--html", directory, QUENBOL_SAMPLE});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    for (const auto& entry : std::filesystem::directory_iterator(::testing::TempDir()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".qb")) << entry.path();  // no new file left
}

TEST(Report, ALongTextIsShownInPartButCountedWhole) {
    const std::string name = std::string(DisplayName(4)) + "\x81\x41";  // and an ideographic comma
    std::string text(2 * 1024 * 1024 - 5 * name.size(), 'x');  // 2 MB shown: the filler and five names
    for (int i = 0; i < 100; ++i) text += name;
    const RunOutput r = RunCounter({"--encoding", "cp932", "--lang", "en", "--html", "-", WriteTemp("long.txt", text)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("shown up to 2097152 bytes"), std::string::npos);
    std::size_t marks = 0;
    for (std::size_t at = 0; (at = r.out.find("<mark data-member=\"4\"", at)) != std::string::npos; ++at) ++marks;
    EXPECT_EQ(marks, 5u);
    EXPECT_NE(r.out.find(">100</text>"), std::string::npos);  // the chart counts the whole text
}

}  // namespace
}  // namespace quenbol::cli
