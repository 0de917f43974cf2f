// The キーワード section.
#include "cli/emit/report_kwic.h"

#include <algorithm>
#include <functional>

#include "cli/emit/format_json.h"
#include "cli/emit/format_report.h"
#include "cli/emit/report_labels.h"
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::size_t CharEnd(std::string_view t, std::size_t at, std::size_t hi) {
    return at + (IsLeadByte(static_cast<unsigned char>(t[at])) && at + 1 < hi ? 2 : 1);
}

// Where the `chars` characters before `at` start, within [lo, at); `lo` and
// `at` are character starts. A byte that cannot lead a character ends one,
// so the byte after it starts one: the walk back stops at such a byte.
std::size_t ContextStart(std::string_view t, std::size_t lo, std::size_t at, std::size_t chars) {
    std::size_t from = at - std::min(at - lo, 2 * chars);
    while (from > lo && IsLeadByte(static_cast<unsigned char>(t[from - 1]))) --from;
    std::vector<std::size_t> starts;
    for (std::size_t p = from; p < at; p = CharEnd(t, p, at)) starts.push_back(p);
    return starts.size() > chars ? starts[starts.size() - chars] : from;
}

std::size_t ContextEnd(std::string_view t, std::size_t at, std::size_t hi, std::size_t chars) {
    for (std::size_t n = 0; n < chars && at < hi; ++n) at = CharEnd(t, at, hi);
    return at;
}

// Line ends as spaces: a line of the table is one line.
std::string OneLine(std::string utf8) {
    std::erase(utf8, '\r');
    std::replace(utf8.begin(), utf8.end(), '\n', ' ');
    return utf8;
}

// The last two parts of a path: the full path of a deep folder is too long
// for a column.
std::string_view ShortPath(std::string_view path) {
    const std::size_t last = path.find_last_of("/\\");
    if (last == std::string_view::npos || last == 0) return path;
    const std::size_t before = path.find_last_of("/\\", last - 1);
    return before == std::string_view::npos ? path : path.substr(before + 1);
}

struct Source {
    std::string_view text;  // code page 932
    std::function<std::string(std::size_t, std::size_t)> utf8;
};

}  // namespace

void KeywordContexts::Add(const CountedText& text, const InsideFinds* inside) {
    const std::uint32_t index = static_cast<std::uint32_t>(paths_.size());
    paths_.push_back(text.path);
    const PostBodies* posts = text.posts ? &*text.posts : nullptr;
    const Source source =
        posts ? Source{posts->joined, [posts](std::size_t a, std::size_t b) {
                           return Cp932ToUtf8(std::string_view(posts->joined).substr(a, b - a));
                       }}
              : Source{text.decoded.text(), [&text](std::size_t a, std::size_t b) { return text.decoded.Utf8Of(a, b); }};
    const TextOccurrences& occurrences = posts ? posts->occurrences : text.occurrences;
    for (TextOccurrences::Cursor next = occurrences.InTextOrder(); next.Next();) {
        const OccurrenceRef& o = next.current();
        Keyword& k = keywords_[o.manual ? kKeywordEntries + o.slot : EntryIndex(o.member, o.slot)];
        if (k.seen++ % k.stride != 0) continue;
        const std::size_t start = o.spans.front().start, end = o.spans.back().end;
        std::size_t lo = 0, hi = source.text.size();
        Line line;
        line.text = index;
        if (posts) {
            const std::size_t post = posts->PostAt(start);
            lo = posts->starts[post];
            hi = lo + posts->Body(post).size();
            line.post = static_cast<std::uint32_t>(post + 1);
        }
        line.left = OneLine(source.utf8(ContextStart(source.text, lo, start, kContextChars), start));
        line.right = OneLine(source.utf8(end, ContextEnd(source.text, end, hi, kContextChars)));
        // A match formed across deletions: its pieces, with what lay between them.
        for (std::size_t s = 0; s < o.spans.size(); ++s) {
            if (s > 0) {
                const std::size_t gap = o.spans[s].start - o.spans[s - 1].end;
                line.keyword += "<span class=\"gap\">" +
                                (gap > 60 ? std::string("…")
                                          : HtmlEscape(OneLine(source.utf8(o.spans[s - 1].end, o.spans[s].start)))) +
                                "</span>";
            }
            line.keyword += HtmlEscape(OneLine(source.utf8(o.spans[s].start, o.spans[s].end)));
        }
        if (!o.manual && inside) {
            if (const InsideFind* find = InsideAt(*inside, static_cast<std::uint32_t>(start)))
                line.inside = Cp932ToUtf8(find->word);
        }
        k.lines.push_back(std::move(line));
        if (k.lines.size() > kMaxLines) {
            std::size_t kept = 0;
            for (std::size_t i = 0; i < k.lines.size(); i += 2) k.lines[kept++] = std::move(k.lines[i]);
            k.lines.resize(kept);
            k.stride *= 2;
        }
    }
}

std::string KeywordContexts::Html(const RunTotals& run, Language language) const {
    const auto label = [language](LabelId id) { return std::string(Label(id, language)); };
    std::string out = "<section id=\"kwic\">\n<h2>" + label(LabelId::Keywords) + "</h2>\n<p>" +
                      Label(LabelId::KeywordsHint, language, {std::to_string(kContextChars), std::to_string(kMaxLines)}) +
                      "</p>\n<p><label><input type=\"checkbox\" id=\"kwic-hide-inside\"> " + label(LabelId::HideInside) +
                      "</label> " + label(LabelId::HideInsideHint) + "</p>\n";
    const std::string head = "<thead><tr><th class=\"sort\" data-sort=\"left\">" + label(LabelId::LeftContext) +
                             "</th><th>" + label(LabelId::KeywordColumn) + "</th><th class=\"sort\" data-sort=\"right\">" +
                             label(LabelId::RightContext) + "</th><th>" + label(LabelId::WhereColumn) +
                             "</th></tr></thead>\n";
    // The lines as data: {"inside": hover label, "paths": [[full, short]],
    // "entries": {entry: {"member": m or -1, "lines": [[left, keyword HTML,
    // right, path, post, inside word]]}}}, the paths those lines name.
    std::string data = "{\"inside\": " + JsonUtf8String(Label(LabelId::InsideWord, language)) + ", \"entries\": {";
    std::vector<int> pathIndex(paths_.size(), -1);
    std::string paths;
    int usedPaths = 0;
    bool any = false;
    for (std::size_t e = 0; e < keywords_.size(); ++e) {
        const Keyword& k = keywords_[e];
        if (k.seen == 0) continue;
        const bool manual = e >= static_cast<std::size_t>(kKeywordEntries);
        const std::string word = manual ? run.byKeyword.manualWords[e - kKeywordEntries] : run.byKeyword.words[e];
        const std::string group = manual ? label(LabelId::ManualWordsRow)
                                         : Cp932ToUtf8(DisplayName(static_cast<MemberIndex>(e / kSlotsPerMember)));
        const std::string member = manual ? std::string() : " data-member=\"" + std::to_string(e / kSlotsPerMember) + "\"";
        out += "<details class=\"kwic\" data-entry=\"" + std::to_string(e) + "\"><summary>" + HtmlEscape(group) +
               " / <b" + member + ">" + HtmlEscape(Cp932ToUtf8(word)) + "</b>: " +
               Label(LabelId::InAll, language, {Grouped(k.seen)}) + "</summary>\n<table>" + head +
               "<tbody></tbody></table>\n";
        data += std::string(any ? ", \"" : "\"") + std::to_string(e) + "\": {\"member\": " +
                (manual ? std::string("-1") : std::to_string(e / kSlotsPerMember)) + ", \"lines\": [";
        any = true;
        for (std::size_t i = 0; i < k.lines.size(); ++i) {
            const Line& line = k.lines[i];
            if (pathIndex[line.text] < 0) {
                const std::string path = PathLabel(paths_[line.text], language);
                paths += std::string(usedPaths ? ", [" : "[") + JsonUtf8String(path) + ", " +
                         JsonUtf8String(ShortPath(path)) + "]";
                pathIndex[line.text] = usedPaths++;
            }
            data += std::string(i ? ", [" : "[") + JsonUtf8String(line.left) + ", " + JsonUtf8String(line.keyword) +
                    ", " + JsonUtf8String(line.right) + ", " + std::to_string(pathIndex[line.text]) + ", " +
                    std::to_string(line.post) + ", " + JsonUtf8String(line.inside) + "]";
        }
        data += "]}";
        const std::int64_t more = k.seen - static_cast<std::int64_t>(k.lines.size());
        if (more > 0) out += "<p class=\"more\">" + Label(LabelId::More, language, {Grouped(more)}) + "</p>\n";
        out += "</details>\n";
    }
    if (!any) out += "<p>" + label(LabelId::NoOccurrences) + "</p>\n";
    data += "}, \"paths\": [" + paths + "]}";
    return out + "<script type=\"application/json\" id=\"kwic-lines\">" + ScriptSafe(data) + "</script>\n</section>\n";
}

}  // namespace quenbol::cli
