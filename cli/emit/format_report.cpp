// Filling in the report's page.
#include "cli/emit/format_report.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>

#include "cli/emit/format_json.h"
#include "cli/emit/report_labels.h"
#include "cli/report_template.h"  // generated from cli/emit/report_template.html
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::string Html(std::string_view cp932) { return HtmlEscape(Cp932ToUtf8(cp932)); }

std::string EncodingName(const DecodedText& d, Language language) {
    if (!d.readAsUtf8()) return "Shift_JIS (code page 932)";
    return d.hadByteOrderMark() ? std::string(Label(LabelId::Utf8WithBom, language)) : "UTF-8";
}

std::string PathName(const std::string& path, Language language) {
    return HtmlEscape(PathLabel(path, language));
}

// A list of many files is folded away and kept as data, made into its rows
// when first opened: ten thousand rows would otherwise be laid out before
// the page shows.
constexpr std::size_t kFoldedFiles = 100;

std::string Counted(const RunTotals& run, const std::string& tableSource, const std::vector<ReportPage::CountedFile>& files,
                    Language language) {
    const auto label = [language](LabelId id) { return std::string(Label(id, language)); };
    std::string out = "<table>\n<tr><th>" + label(LabelId::FileColumn) + "</th><th>" + label(LabelId::SizeColumn) +
                      "</th><th>" + label(LabelId::ReadAsColumn) + "</th></tr>\n";
    const std::string notShown = "<td class=\"note\">" + label(LabelId::TextNotShown) + "</td>";
    if (files.size() > kFoldedFiles) {
        // {"notShown": the cell of a text not shown, "readAs": [names], "rows": [[path, bytes, read as, shown]]}
        std::vector<std::string> readAs;
        std::string rows;
        for (const ReportPage::CountedFile& f : files) {
            std::size_t r = std::find(readAs.begin(), readAs.end(), f.readAs) - readAs.begin();
            if (r == readAs.size()) readAs.push_back(f.readAs);
            rows += (rows.empty() ? "[" : ", [") + JsonUtf8String(HtmlEscape(PathLabel(f.path, language))) + ", " +
                    std::to_string(f.bytes) + ", " + std::to_string(r) + ", " + (f.shown ? "1" : "0") + "]";
        }
        std::string data = "{\"notShown\": " + JsonUtf8String(notShown) + ", \"readAs\": [";
        for (std::size_t r = 0; r < readAs.size(); ++r) data += (r ? ", " : "") + JsonUtf8String(readAs[r]);
        data += "], \"rows\": [" + rows + "]}";
        out = "<details class=\"files\"><summary>" +
              Label(LabelId::FilesFolded, language, {Grouped(static_cast<std::int64_t>(files.size()))}) +
              "</summary>\n" + out + "</table>\n<script type=\"application/json\" id=\"counted-files\">" +
              ScriptSafe(data) + "</script>\n</details>\n";
    } else {
        for (const ReportPage::CountedFile& f : files) {
            out += "<tr><td>" + HtmlEscape(PathLabel(f.path, language)) + "</td><td class=\"n\">" +
                   std::to_string(f.bytes) + "</td><td>" + f.readAs + "</td>" + (f.shown ? "" : notShown) + "</tr>\n";
        }
        out += "</table>\n";
    }
    out += "<p>" + label(LabelId::KeywordsFrom);
    out += tableSource.empty() ? label(LabelId::BuiltInTable)
                               : Label(LabelId::KeywordFile, language, {HtmlEscape(SanitizeUtf8(tableSource))});
    out += "</p>\n<p>" + label(LabelId::ManualWordsLabel);
    bool any = false;
    for (const std::string& w : run.state.manualWords) {
        if (w.empty()) continue;
        out += (any ? "、<q>" : "<q>") + Html(w) + "</q>";
        any = true;
    }
    return out + (any ? "" : label(LabelId::NoManualWords)) + "</p>\n";
}

// Members by total, highest first (roster order among equals).
std::vector<MemberIndex> Ranking(const CountingState& state) {
    std::vector<MemberIndex> order(kMemberCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](MemberIndex a, MemberIndex b) { return state.total[a] > state.total[b]; });
    return order;
}

std::string Chart(const CountingState& state, const std::array<std::int32_t, kMemberCount>& inside,
                  Language language) {
    constexpr int kRow = 24, kNameWidth = 170, kBarWidth = 460, kWidth = 720;
    const std::vector<MemberIndex> order = Ranking(state);
    const std::int32_t most = std::max(1, state.total[order.front()]);
    std::string out = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(kWidth) + "\" height=\"" + std::to_string(kRow * kMemberCount) +
                      "\" role=\"img\" aria-label=\"" + std::string(Label(LabelId::ChartLabel, language)) + "\">\n";
    for (std::size_t r = 0; r < order.size(); ++r) {
        const MemberIndex m = order[r];
        const int y = static_cast<int>(r) * kRow;
        const int width = static_cast<int>(static_cast<long long>(state.total[m]) * kBarWidth / most);
        const std::string member = std::to_string(m);
        out += "<g class=\"bar\" data-member=\"" + member + "\" tabindex=\"0\">";
        out += "<rect class=\"track\" x=\"0\" y=\"" + std::to_string(y) + "\" width=\"" +
               std::to_string(kWidth) + "\" height=\"" + std::to_string(kRow) + "\" fill=\"transparent\"/>";
        out += "<text x=\"4\" y=\"" + std::to_string(y + kRow / 2) + "\">" + Html(DisplayName(m)) + "</text>";
        // The occurrences inside ordinary words: the bar's paler end.
        const int insideWidth = static_cast<int>(static_cast<long long>(inside[m]) * kBarWidth / most);
        out += "<rect class=\"value\" x=\"" + std::to_string(kNameWidth) + "\" y=\"" + std::to_string(y + 4) +
               "\" width=\"" + std::to_string(width - insideWidth) + "\" height=\"" + std::to_string(kRow - 8) + "\"/>";
        if (inside[m] > 0) {
            out += "<rect class=\"value inside\" x=\"" + std::to_string(kNameWidth + width - insideWidth) + "\" y=\"" +
                   std::to_string(y + 4) + "\" width=\"" + std::to_string(insideWidth) + "\" height=\"" +
                   std::to_string(kRow - 8) + "\"><title>" +
                   Label(LabelId::InsideOrdinaryWords, language, {std::to_string(inside[m])}) + "</title></rect>";
        }
        out += "<text x=\"" + std::to_string(kNameWidth + width + 6) + "\" y=\"" +
               std::to_string(y + kRow / 2) + "\">" + std::to_string(state.total[m]) +
               (inside[m] > 0 ? Label(LabelId::InsideWords, language, {std::to_string(inside[m])}) : std::string()) +
               "</text></g>\n";
    }
    return out + "</svg>\n";
}

std::string Share(std::int32_t part, std::int32_t whole) {
    if (whole <= 0) return "&ndash;";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f%%", 100.0 * part / whole);
    return buffer;
}

// `inside`: each keyword's occurrences inside ordinary words, or null when
// they were not looked for.
std::string KeywordTable(const RunTotals& run, const std::array<std::int32_t, kKeywordEntries>* inside,
                         Language language) {
    const KeywordCounts& k = run.byKeyword;
    const auto label = [language](LabelId id) { return std::string(Label(id, language)); };
    std::string out = "<table>\n<tr><th>" + label(LabelId::MemberColumn) + "</th><th>" + label(LabelId::SlotColumn) +
                      "</th><th>" + label(LabelId::KeywordColumn) + "</th><th class=\"sort\">" +
                      label(LabelId::CountColumn) + "</th><th>" + label(LabelId::ShareColumn) + "</th>" +
                      (inside ? "<th>" + label(LabelId::InsideColumn) + "</th>" : std::string()) + "</tr>\n";
    const auto row = [&](const std::string& group, int slot, const std::string& word, std::int32_t count,
                         std::int32_t whole, const std::string& insideCell) {
        out += "<tr><td>" + group + "</td><td class=\"n\">" + std::to_string(slot) + "</td><td>" + Html(word) +
               "</td><td class=\"n\">" + std::to_string(count) + "</td><td class=\"n\">" + Share(count, whole) +
               "</td>" + insideCell + "</tr>\n";
    };
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        for (int s = 0; s < kSlotsPerMember; ++s) {
            const int e = EntryIndex(m, s);
            if (k.words[e].empty()) continue;
            row(Html(DisplayName(m)), s, k.words[e], k.total[e], run.state.total[m],
                inside ? "<td class=\"n\">" + std::to_string((*inside)[e]) + "</td>" : "");
        }
    }
    // The manual words are not looked inside: their cell stays empty.
    for (int w = 0; w < kManualWordCount; ++w) {
        if (!k.manualWords[w].empty())
            row(label(LabelId::ManualWordsRow), w, k.manualWords[w], k.manualTotal[w], run.state.manualTotal,
                inside ? "<td></td>" : "");
    }
    return out + "</table>\n";
}

std::string Legend() {
    std::string out;
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += "<li data-member=\"" + std::to_string(m) + "\" tabindex=\"0\">" + Html(DisplayName(m)) + "</li>";
    }
    return out;
}

struct MarkedSpan {
    std::size_t start, end;
    MemberIndex member;
    int slot;
    std::size_t occurrence;
    std::string inside;  // the ordinary word it sits inside (UTF-8), or empty
};

// Where the shown part of a text ends: a character start, at most `shownBytes`
// bytes of the file in.
std::size_t ShownEnd(const DecodedText& d, std::size_t shownBytes) {
    if (d.fileBytes().size() <= shownBytes) return d.text().size();
    const std::string_view t = d.text();
    std::size_t pos = 0;
    while (pos < t.size()) {
        const std::size_t next = pos + (IsLeadByte(static_cast<unsigned char>(t[pos])) && pos + 1 < t.size() ? 2 : 1);
        if (d.FileEnd(next) > shownBytes) break;
        pos = next;
    }
    return pos;
}

// What MarkedText shows: a text (code page 932) with the way to its UTF-8,
// its occurrences, where its shown part ends with a note saying so, and,
// counted post by post, a heading before each post.
struct MarkedSource {
    std::string_view text;
    std::function<std::string(std::size_t, std::size_t)> utf8;
    const TextOccurrences* occurrences = nullptr;
    std::size_t shown = 0;
    std::string note;  // HTML, or empty when the whole text is shown
    std::vector<std::pair<std::size_t, std::string>> headings;  // the byte each goes before (ascending), HTML
};

MarkedSource TextSource(const CountedText& t, std::size_t shownBytes, Language language) {
    const DecodedText& d = t.decoded;
    MarkedSource source{d.text(), [&d](std::size_t from, std::size_t to) { return d.Utf8Of(from, to); },
                        &t.occurrences, ShownEnd(d, shownBytes), {}, {}};
    if (source.shown < d.text().size()) {
        source.note = "<p class=\"note\">" +
                      Label(LabelId::ShownInPart, language,
                            {std::to_string(d.fileBytes().size()), std::to_string(d.FileEnd(source.shown))}) +
                      "</p>\n";
    }
    return source;
}

// A text counted post by post: its bodies, each under a heading with its
// number, date and ID, shown whole up to `shownBytes` of bodies (a first
// body longer than that is cut at a character).
MarkedSource PostSource(const PostBodies& b, std::span<const PostCount> posts, std::size_t shownBytes,
                        Language language) {
    // The NUL that ends each body is not shown.
    MarkedSource source{b.joined, [&b](std::size_t from, std::size_t to) {
                            std::string utf8 = Cp932ToUtf8(std::string_view(b.joined).substr(from, to - from));
                            std::erase(utf8, '\0');
                            return utf8;
                        },
                        &b.occurrences, b.joined.size(), {}, {}};
    if (b.joined.size() > shownBytes) {
        const auto after = std::upper_bound(b.starts.begin() + 1, b.starts.end(), shownBytes);
        if (after != b.starts.begin() + 1) {
            source.shown = *(after - 1);
        } else {
            const std::string_view t = b.joined;
            std::size_t pos = 0;
            while (pos < shownBytes) pos += IsLeadByte(static_cast<unsigned char>(t[pos])) ? 2 : 1;
            source.shown = std::min(pos > shownBytes ? pos - 2 : pos, t.size());
        }
        const std::size_t shownPosts = static_cast<std::size_t>(
            std::lower_bound(b.starts.begin(), b.starts.end(), source.shown) - b.starts.begin());
        const std::string all = std::to_string(b.starts.size());
        source.note = "<p class=\"note\">" +
                      (std::binary_search(b.starts.begin(), b.starts.end(), source.shown)
                           ? Label(LabelId::PostsShownInPart, language, {all, std::to_string(shownPosts)})
                           : Label(LabelId::FirstPostInPart, language, {all})) +
                      "</p>\n";
    }
    for (std::size_t i = 0; i < b.starts.size() && i < posts.size(); ++i) {
        const PostCount& post = posts[i];
        std::string heading = "<h4 class=\"post\">#" + std::to_string(post.number);
        if (post.date) heading += " " + post.date->Iso();
        if (!post.id.empty()) heading += " ID:" + Html(post.id);
        source.headings.emplace_back(b.starts[i], heading + "</h4>\n");
    }
    return source;
}

// The text with every member occurrence's spans marked, into `pieces`;
// `occurrence` numbers the member occurrences over the whole report. With
// `inside` (the text's finds, when checked), the occurrences inside ordinary
// words are marked as such.
bool MarkedText(const std::string& path, const MarkedSource& d, std::size_t& occurrence, const InsideFinds* inside,
                Language language, PieceWriter& pieces) {
    const std::size_t shown = d.shown;
    std::string& out = pieces.buffer();
    out += "<section>\n<h3>" + PathName(path, language) + "</h3>\n";
    out += d.note;
    // The text in blocks of about 32 KiB, cut at line ends between marks, so
    // that the browser lays out only the blocks in view.
    constexpr std::size_t kBlock = 32 * 1024;
    const std::string open = "<pre class=\"body\">";
    std::size_t heading = 0;  // the next post's heading
    if (!d.headings.empty() && d.headings.front().first == 0) out += d.headings[heading++].second;
    out += open;
    std::size_t blockStart = pieces.size();
    // The headings of the posts that start by `at`, each between blocks.
    const auto headingsTo = [&](std::size_t at) {
        while (heading < d.headings.size() && d.headings[heading].first <= at) {
            out += "</pre>\n" + d.headings[heading++].second + open;
            blockStart = pieces.size();
        }
    };
    const auto plain = [&](std::size_t from, std::size_t to) {
        while (from < to) {
            headingsTo(from);
            const std::size_t stop = heading < d.headings.size() ? std::min(to, d.headings[heading].first) : to;
            std::size_t cut = stop;
            if (pieces.size() - blockStart + (stop - from) > kBlock) {
                // Looked for up to `stop` only: a text without line ends would
                // otherwise be searched to its end between every two marks.
                const std::size_t lineEnd = d.text.substr(0, stop).find('\n', from);
                if (lineEnd != std::string::npos && lineEnd + 1 < stop) cut = lineEnd + 1;
            }
            out += HtmlEscape(d.utf8(from, cut));
            if (cut < stop) {
                out += "</pre>\n" + open;
                blockStart = pieces.size();
            }
            from = cut;
            pieces.Check();
        }
    };
    std::size_t at = 0;
    const auto mark = [&](const MarkedSpan& s) {
        plain(at, s.start);
        headingsTo(s.start);
        const std::size_t end = std::min<std::size_t>(s.end, shown);
        out += "<mark data-member=\"" + std::to_string(s.member) + "\" data-slot=\"" + std::to_string(s.slot) +
               "\" data-occurrence=\"" + std::to_string(s.occurrence) + "\"";
        if (!s.inside.empty()) out += " class=\"inside\" data-inside=\"" + HtmlEscape(s.inside) + "\"";
        out += ">" + HtmlEscape(d.utf8(s.start, end)) + "</mark>";
        at = end;
        return pieces.Check();
    };
    // The spans are marked in text order as the occurrences come, none held
    // but the later spans of matches formed across deletions (rare): they
    // wait, earliest on top, until the text reaches them.
    std::vector<MarkedSpan> waiting;
    const auto later = [](const MarkedSpan& a, const MarkedSpan& b) { return a.start > b.start; };
    const auto markWaitingBefore = [&](std::size_t limit) {
        while (!waiting.empty() && waiting.front().start < limit) {
            std::pop_heap(waiting.begin(), waiting.end(), later);
            const MarkedSpan s = waiting.back();
            waiting.pop_back();
            if (!mark(s)) return false;
        }
        return true;
    };
    for (TextOccurrences::Cursor next = d.occurrences->InTextOrder(); next.Next();) {
        const OccurrenceRef& o = next.current();
        if (o.manual) continue;
        ++occurrence;
        std::string insideWord;
        if (const InsideFind* find = inside ? InsideAt(*inside, o.spans.front().start) : nullptr)
            insideWord = Cp932ToUtf8(find->word);
        if (o.spans.front().start >= shown) continue;
        if (!markWaitingBefore(o.spans.front().start)) return false;
        if (!mark({o.spans.front().start, o.spans.front().end, o.member, o.slot, occurrence, std::move(insideWord)}))
            return false;
        for (const TextSpan& s : o.spans.subspan(1)) {
            if (s.start >= shown) break;
            waiting.push_back({s.start, s.end, o.member, o.slot, occurrence, {}});
            std::push_heap(waiting.begin(), waiting.end(), later);
        }
    }
    if (!markWaitingBefore(shown)) return false;
    plain(at, shown);
    out += "</pre>\n</section>\n";
    return pieces.Flush();
}

// Names for the hover text, as JSON that is safe inside a script element.
std::string Names(const KeywordCounts& k, Language language) {
    std::string out = "{\"inside\": ";
    AppendJsonString(out, Label(LabelId::InsideWord, language));
    out += ", \"members\": [";
    for (MemberIndex m = 0; m < kMemberCount; ++m) out += (m ? ", " : "") + JsonString(DisplayName(m));
    out += "], \"keywords\": [";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += m ? ", [" : "[";
        for (int s = 0; s < kSlotsPerMember; ++s) out += (s ? ", " : "") + JsonString(k.words[EntryIndex(m, s)]);
        out += "]";
    }
    out += "]}";
    std::string safe;
    for (char c : out) safe += c == '<' ? std::string("\\u003C") : std::string(1, c);
    return safe;
}

// Where the texts go. The texts are not searched for markers: they are
// written apart from the parts that are filled in.
constexpr std::string_view kTextsMarker = "<!--@TEXTS@-->";

void Fill(std::string& page, std::string_view name, const std::string& content) {
    const std::string marker = "<!--@" + std::string(name) + "@-->";
    const std::size_t at = page.find(marker);
    if (at != std::string::npos) page.replace(at, marker.size(), content);
}

}  // namespace

std::string HtmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\0': out += "\xEF\xBF\xBD"; break;
            default: out += c;
        }
    }
    return out;
}

bool ReportPage::WriteText(const CountedText& text, const InsideFinds* inside, PieceWriter& out,
                           std::span<const PostCount> posts) {
    positions_.Add(text);
    contexts_.Add(text, inside);
    const bool shown = out.size() < textsBudget_;
    counted_.push_back({text.path, text.decoded.fileBytes().size(), EncodingName(text.decoded, language_), shown});
    if (!shown) {
        ++notShown_;
        return true;
    }
    const std::size_t shownBytes = std::min(shownBytes_, textsBudget_ - out.size());
    return MarkedText(text.path,
                      text.posts ? PostSource(*text.posts, posts, shownBytes, language_)
                                 : TextSource(text, shownBytes, language_),
                      occurrence_, inside, language_, out);
}

std::string ReportPage::Head(const RunTotals& run, const ReportTrends& trends) const {
    std::string head(kReportTemplate.substr(0, kReportTemplate.find(kTextsMarker)));
    FillLabels(head, language_);
    Fill(head, "CAPTION", Html(CaptionFor(run.top)));
    std::array<std::int32_t, kMemberCount> insidePerMember{};
    for (int e = 0; e < kKeywordEntries; ++e) insidePerMember[e / kSlotsPerMember] += run.byKeyword.insideTotal[e];
    Fill(head, "CHART", Chart(run.state, insidePerMember, language_));
    Fill(head, "MANUAL", "<p>" +
                             Label(LabelId::ManualWordsInAll, language_, {std::to_string(run.state.manualTotal)}) +
                             "</p>\n");
    Fill(head, "RANKING_UNITS", trends.RankingByUnits(language_));
    Fill(head, "TREND", trends.Trend(language_));
    Fill(head, "TOGETHER", trends.Together(language_));
    Fill(head, "KEYWORDS", KeywordTable(run, run.byKeyword.insideChecked ? &run.byKeyword.insideTotal : nullptr,
                                        language_));
    Fill(head, "LEGEND", Legend());
    Fill(head, "POSITIONS", positions_.Html(language_));
    Fill(head, "KWIC", contexts_.Html(run, language_));
    Fill(head, "TEXTSNOTE",
         notShown_ == 0 ? std::string()
                        : "<p class=\"note\">" +
                              Label(LabelId::TextsNotShown, language_,
                                    {Grouped(static_cast<std::int64_t>(notShown_)),
                                     std::to_string(kReportTextsBudget >> 20)}) +
                              "</p>\n");
    return head;
}

std::string ReportPage::Tail(const RunTotals& run) const {
    std::string tail(kReportTemplate.substr(kReportTemplate.find(kTextsMarker) + kTextsMarker.size()));
    FillLabels(tail, language_);
    Fill(tail, "COUNTED", Counted(run, tableSource_, counted_, language_));
    Fill(tail, "NAMES", Names(run.byKeyword, language_));
    return tail;
}

}  // namespace quenbol::cli
