// The 出現位置 strips.
#include "cli/emit/report_positions.h"

#include <algorithm>
#include <cstdio>

#include "cli/emit/format_json.h"
#include "cli/emit/format_report.h"
#include "cli/emit/report_labels.h"
#include "core/text/cp932.h"

namespace quenbol::cli {

void PositionStrips::Count(MemberIndex member, std::uint64_t position) {
    while (position >= width_ * kMaxCells) {
        for (std::vector<std::int64_t>& strip : cells_) {
            for (std::size_t c = 0; c < kMaxCells / 2; ++c) strip[c] = strip[2 * c] + strip[2 * c + 1];
            std::fill(strip.begin() + kMaxCells / 2, strip.end(), 0);
        }
        width_ *= 2;
    }
    ++cells_[member][position / width_];
}

void PositionStrips::Add(const CountedText& text) {
    if (cells_[0].empty())
        for (std::vector<std::int64_t>& strip : cells_) strip.assign(kMaxCells, 0);
    const std::uint64_t base = extent_;
    textStarts_.push_back(base);
    paths_.push_back(text.path);
    posts_ = text.posts.has_value();
    if (text.posts) {
        extent_ += text.posts->starts.size();
        for (TextOccurrences::Cursor next = text.posts->occurrences.InTextOrder(); next.Next();) {
            const OccurrenceRef& o = next.current();
            if (!o.manual) Count(o.member, base + text.posts->PostAt(o.spans.front().start));
        }
        return;
    }
    extent_ += text.decoded.fileBytes().size();
    for (TextOccurrences::Cursor next = text.occurrences.InTextOrder(); next.Next();) {
        const OccurrenceRef& o = next.current();
        if (!o.manual) Count(o.member, base + text.decoded.FileStart(o.spans.front().start));
    }
}

const std::string& PositionStrips::PathAt(std::uint64_t position) const {
    const auto after = std::upper_bound(textStarts_.begin(), textStarts_.end(), position);
    return paths_[static_cast<std::size_t>(after - textStarts_.begin()) - 1];
}

std::string PositionStrips::Html(Language language) const {
    std::string out = "<section id=\"positions\">\n<h2>" + std::string(Label(LabelId::Positions, language)) +
                      "</h2>\n<p>" + std::string(Label(posts_ ? LabelId::PositionsOfPosts : LabelId::PositionsOfBytes, language)) +
                      std::string(Label(LabelId::PositionsShade, language)) + "</p>\n";
    if (extent_ == 0) return out + "</section>\n";
    const std::uint64_t used = (extent_ + width_ - 1) / width_;
    out += "<table class=\"strips\">\n";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        const std::vector<std::int64_t>& strip = cells_[m];
        std::int64_t most = 0, all = 0;
        for (std::uint64_t c = 0; c < used; ++c) {
            most = std::max(most, strip[c]);
            all += strip[c];
        }
        const std::string member = std::to_string(m);
        out += "<tr data-member=\"" + member + "\"><th>" + HtmlEscape(Cp932ToUtf8(DisplayName(m))) +
               "</th><td class=\"n\">" + Grouped(all) + "</td><td><svg class=\"strip\" data-member=\"" + member +
               "\" viewBox=\"0 0 " + std::to_string(used) +
               " 1\" preserveAspectRatio=\"none\" width=\"100%\" height=\"18\">";
        for (std::uint64_t c = 0; c < used; ++c) {
            if (strip[c] == 0) continue;
            char shade[16];
            std::snprintf(shade, sizeof shade, "%.2f", 0.2 + 0.8 * static_cast<double>(strip[c]) / static_cast<double>(most));
            out += "<rect x=\"" + std::to_string(c) + "\" width=\"1\" height=\"1\" fill-opacity=\"" + shade +
                   "\" data-count=\"" + std::to_string(strip[c]) + "\"/>";
        }
        out += "</svg></td></tr>\n";
    }
    out += "</table>\n";
    // Each cell's range, the same for every strip: the hover text is made
    // from it when first needed, rather than written into every cell.
    std::string cells = "{\"mentions\": " + JsonUtf8String(Label(LabelId::CellMentions, language)) + ", \"ranges\": [";
    const std::string unit(Label(posts_ ? LabelId::CellPosts : LabelId::CellBytes, language));
    for (std::uint64_t c = 0; c < used; ++c) {
        const std::uint64_t first = c * width_, last = std::min(first + width_, extent_) - 1;
        const std::string from = PathLabel(PathAt(first), language);
        const std::string to = PathLabel(PathAt(last), language);
        cells += (c ? ", " : "") + JsonUtf8String(unit + Grouped(static_cast<std::int64_t>(first + 1)) + "–" +
                                                  Grouped(static_cast<std::int64_t>(last + 1)) + " (" + from +
                                              (to == from ? std::string() : " – " + to) + ")");
    }
    cells += "]}";
    std::string safe;
    for (char c : cells) safe += c == '<' ? std::string("\\u003C") : std::string(1, c);
    return out + "<script type=\"application/json\" id=\"position-cells\">" + safe + "</script>\n</section>\n";
}

}  // namespace quenbol::cli
