// The report's ranking by units, 推移 and 同時に話題になるメンバー.
#include "cli/emit/report_trends.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cli/emit/format_json.h"
#include "cli/emit/format_report.h"
#include "cli/emit/report_labels.h"
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

std::string Html(std::string_view cp932) { return HtmlEscape(Cp932ToUtf8(cp932)); }
std::string Name(MemberIndex m) { return Html(DisplayName(m)); }

// The last part of a path, as the axis names a text.
std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string Percent(std::int64_t part, std::int64_t whole) {
    if (whole <= 0) return "&ndash;";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buffer;
}

std::string Number(double v, int decimals = 1) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

LabelId PeriodLabel(PeriodKind kind) {
    switch (kind) {
        case PeriodKind::Day: return LabelId::PerDay;
        case PeriodKind::Week: return LabelId::PerWeek;
        case PeriodKind::Month: return LabelId::PerMonth;
    }
    return LabelId::PerDay;
}

PostDate NextDay(PostDate d) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = d.year % 4 == 0 && (d.year % 100 != 0 || d.year % 400 == 0);
    if (d.day < (d.month == 2 && leap ? 29 : kDays[d.month - 1])) {
        ++d.day;
    } else {
        d.day = 1;
        if (++d.month > 12) d.month = 1, ++d.year;
    }
    return d;
}

// Every period from the first with posts to the last, those without any
// too, so that the axis is time; none when they would be more than
// kTrendMaxPeriods. Named by PeriodOf, day after day from a day that falls
// in or before the first.
std::optional<std::vector<std::string>> EveryPeriod(const std::map<std::string, PeriodCounts>& periods,
                                                    PeriodKind kind) {
    const std::string& first = periods.begin()->first;
    const std::string& last = periods.rbegin()->first;
    PostDate day;
    day.year = std::stoi(first.substr(0, 4));
    if (kind == PeriodKind::Week) {
        --day.year;  // 28 December lies in the last ISO week of its year, before any week of the next
        day.month = 12;
        day.day = 28;
    } else {
        day.month = std::stoi(first.substr(5, 2));
        day.day = kind == PeriodKind::Day ? std::stoi(first.substr(8, 2)) : 1;
    }
    std::vector<std::string> names;
    for (std::string name; (name = PeriodOf(day, kind)) <= last; day = NextDay(day)) {
        if (name < first || (!names.empty() && names.back() == name)) continue;
        if (names.size() == kTrendMaxPeriods) return std::nullopt;
        names.push_back(std::move(name));
    }
    return names;
}

// The chart's series: a label and the 21 members' mentions for each point.
struct Series {
    std::vector<std::string> labels;  // UTF-8
    std::vector<const std::array<std::int64_t, kMemberCount>*> values;
};

std::string LineChart(const Series& series, const std::array<std::int64_t, kMemberCount>& totals, Language language) {
    constexpr int kWidth = 720, kHeight = 320, kLeft = 56, kRight = 16, kTop = 12, kBottom = 84;
    constexpr double kPlotWidth = kWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
    const std::size_t n = series.values.size();
    std::int64_t most = 1;
    for (const auto* point : series.values) most = std::max(most, *std::max_element(point->begin(), point->end()));
    const auto x = [&](std::size_t i) {
        return kLeft + (n <= 1 ? kPlotWidth / 2 : kPlotWidth * static_cast<double>(i) / static_cast<double>(n - 1));
    };
    const auto y = [&](std::int64_t v) {
        return kTop + kPlotHeight - kPlotHeight * static_cast<double>(v) / static_cast<double>(most);
    };
    std::string out = "<svg class=\"trend-chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(kWidth) + " " + std::to_string(kHeight) + "\" width=\"" + std::to_string(kWidth) +
                      "\" height=\"" + std::to_string(kHeight) + "\" role=\"img\" aria-label=\"" +
                      std::string(Label(LabelId::TrendChartLabel, language)) + "\">\n";
    const std::string bottom = Number(kTop + kPlotHeight);
    out += "<path class=\"axis\" d=\"M" + std::to_string(kLeft) + " " + std::to_string(kTop) + "V" + bottom + "H" +
           std::to_string(kWidth - kRight) + "\"/>\n";
    for (const std::int64_t tick : {std::int64_t{0}, most / 2, most}) {
        if (tick == most / 2 && (tick == 0 || tick == most)) continue;  // too few to halve
        out += "<text class=\"tick\" x=\"" + std::to_string(kLeft - 6) + "\" y=\"" + Number(y(tick)) +
               "\" text-anchor=\"end\">" + Grouped(tick) + "</text>\n";
    }
    // At most about a dozen labels along the axis, however many points.
    const std::size_t step = std::max<std::size_t>(1, (n + 11) / 12);
    for (std::size_t i = 0; i < n; i += step) {
        out += "<text class=\"tick\" text-anchor=\"end\" transform=\"translate(" + Number(x(i)) + " " +
               Number(kTop + kPlotHeight + 10) + ") rotate(-40)\">" + HtmlEscape(SanitizeUtf8(series.labels[i])) +
               "</text>\n";
    }
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        if (totals[m] == 0) continue;
        std::string points;
        for (std::size_t i = 0; i < n; ++i)
            points += (i ? " " : "") + Number(x(i)) + "," + Number(y((*series.values[i])[m]));
        if (n == 1) points += " " + points;  // a lone point still shows, as a dot
        out += "<polyline class=\"line\" data-member=\"" + std::to_string(m) + "\" points=\"" + points + "\"><title>" +
               Name(m) + " " + Grouped(totals[m]) + "</title></polyline>\n";
    }
    return out + "</svg>\n";
}

}  // namespace

void OrderBins::Add(std::string_view label, const MemberCounts& mentions) {
    if (points_.empty() || static_cast<std::size_t>(points_.back().texts) == textsPerPoint_) {
        if (points_.size() == maxPoints_) {
            for (std::size_t i = 0; i < maxPoints_ / 2; ++i) {
                OrderPoint merged = std::move(points_[2 * i]);
                merged.texts += points_[2 * i + 1].texts;
                for (MemberIndex m = 0; m < kMemberCount; ++m) merged.mentions[m] += points_[2 * i + 1].mentions[m];
                points_[i] = std::move(merged);
            }
            points_.resize(maxPoints_ / 2);
            textsPerPoint_ *= 2;
        }
        if (points_.empty() || static_cast<std::size_t>(points_.back().texts) == textsPerPoint_)
            points_.push_back({std::string(label), 0, {}});
    }
    OrderPoint& point = points_.back();
    ++point.texts;
    for (MemberIndex m = 0; m < kMemberCount; ++m) point.mentions[m] += mentions[m];
}

ReportTrends::ReportTrends(PeriodKind period, bool postUnit)
    : postUnit_(postUnit), stats_(period), examples_(kMemberCount * kMemberCount) {}

void ReportTrends::Add(const TextJob& text) {
    order_.Add(FileName(text.path), text.current);
    if (postUnit_) {
        for (const PostCount& post : text.posts) AddUnit(text.path, post);
        return;
    }
    PostCount whole;
    if (text.path != "-") whole.date = DateInFileName(text.path);
    whole.current = text.current;
    whole.manual = text.manualCurrent;
    if (text.counted && MembersNamed(text.current) >= 2) whole.excerpt = ExcerptOf(text.counted->decoded.text());
    AddUnit(text.path, whole);
}

void ReportTrends::AddUnit(std::string_view file, const PostCount& unit) {
    stats_.Add(unit);
    if (unit.excerpt.empty()) return;
    for (MemberIndex a = 0; a < kMemberCount; ++a) {
        if (unit.current[a] == 0) continue;
        for (MemberIndex b = a + 1; b < kMemberCount; ++b) {
            std::vector<PairExample>& kept = examples_[a * kMemberCount + b];
            if (unit.current[b] > 0 && kept.size() < kExamplesPerPair)
                kept.push_back({std::string(file), unit.number, unit.date, unit.id, unit.excerpt});
        }
    }
}

const std::vector<PairExample>& ReportTrends::Examples(MemberIndex a, MemberIndex b) const {
    return examples_[std::min(a, b) * kMemberCount + std::max(a, b)];
}

std::string ReportTrends::RankingByUnits(Language language) const {
    const std::string units(Label(postUnit_ ? LabelId::Posts : LabelId::TextsUnit, language));
    std::vector<MemberIndex> order(kMemberCount);
    for (MemberIndex m = 0; m < kMemberCount; ++m) order[m] = m;
    std::stable_sort(order.begin(), order.end(),
                     [&](MemberIndex a, MemberIndex b) { return stats_.PostsNaming(a) > stats_.PostsNaming(b); });
    const auto label = [&](LabelId id) { return std::string(Label(id, language)); };
    std::string out = "<h3>" + Label(LabelId::ByPosts, language, {units}) +
                      "</h3>\n<table class=\"by-units\">\n<tr><th>" +
                      label(LabelId::RankColumn) + "</th><th>" + label(LabelId::MemberColumn) + "</th><th>" +
                      label(LabelId::MentionsColumn) + "</th><th>" +
                      label(postUnit_ ? LabelId::PostsNamingColumn : LabelId::TextsNamingColumn) + "</th><th>" +
                      label(postUnit_ ? LabelId::ShareOfPostsColumn : LabelId::ShareOfTextsColumn) + "</th></tr>\n";
    std::size_t rank = 0;
    for (std::size_t r = 0; r < order.size(); ++r) {
        const MemberIndex m = order[r];
        if (r == 0 || stats_.PostsNaming(order[r - 1]) != stats_.PostsNaming(m)) rank = r + 1;  // equals share a rank
        out += "<tr data-member=\"" + std::to_string(m) + "\"><td class=\"n\">" +
               std::to_string(rank) + "</td><td>" + Name(m) + "</td><td class=\"n\">" + Grouped(stats_.mentions[m]) +
               "</td><td class=\"n\">" + Grouped(stats_.PostsNaming(m)) + "</td><td class=\"n\">" +
               Percent(stats_.PostsNaming(m), stats_.posts) + "</td></tr>\n";
    }
    return out + "</table>\n";
}

std::string ReportTrends::Trend(Language language) const {
    const std::string units(Label(postUnit_ ? LabelId::Posts : LabelId::TextsUnit, language));
    Series series;
    std::string how, notes;
    static constexpr std::array<std::int64_t, kMemberCount> kNone{};
    if (!stats_.periods.empty()) {
        std::int64_t dated = 0;
        for (const auto& [name, counts] : stats_.periods) dated += counts.posts;
        if (const std::optional<std::vector<std::string>> every = EveryPeriod(stats_.periods, stats_.kind)) {
            for (const std::string& name : *every) {
                const auto found = stats_.periods.find(name);
                series.labels.push_back(name);
                series.values.push_back(found == stats_.periods.end() ? &kNone : &found->second.mentions);
            }
        } else {
            for (const auto& [name, counts] : stats_.periods) {
                series.labels.push_back(name);
                series.values.push_back(&counts.mentions);
            }
            notes += "<p class=\"note\">" + Label(LabelId::OnlyPeriodsWithPosts, language, {units}) + "</p>\n";
        }
        how = Label(PeriodLabel(stats_.kind), language);
        if (dated < stats_.posts) {
            notes += "<p class=\"note\">" +
                     Label(LabelId::UndatedLeftOut, language, {Grouped(stats_.posts - dated), units}) + "</p>\n";
        }
    } else {
        for (const OrderPoint& point : order_.points()) {
            series.labels.push_back(point.label);
            series.values.push_back(&point.mentions);
        }
        how = Label(LabelId::AxisIsTextOrder, language);
        if (const auto perPoint = static_cast<std::int64_t>(order_.textsPerPoint()); perPoint > 1)
            notes += "<p class=\"note\">" + Label(LabelId::TextsPerPoint, language, {Grouped(perPoint)}) + "</p>\n";
    }
    std::string out = "<section id=\"trend\">\n<h2>" + std::string(Label(LabelId::Trend, language)) + "</h2>\n<p>" +
                      Label(LabelId::TrendHint, language, {how}) + "</p>\n" + notes;
    out += LineChart(series, stats_.mentions, language);
    out += "<ul class=\"trend-legend\">";
    for (MemberIndex m = 0; m < kMemberCount; ++m) {
        out += "<li data-member=\"" + std::to_string(m) + "\" tabindex=\"0\" role=\"button\" aria-pressed=\"false\">" +
               Name(m) + "</li>";
    }
    return out + "</ul>\n</section>\n";
}

std::string ReportTrends::Together(Language language) const {
    const std::string units(Label(postUnit_ ? LabelId::Posts : LabelId::TextsUnit, language));
    std::int64_t mostApart = 1, mostSelf = 1;
    for (MemberIndex a = 0; a < kMemberCount; ++a) {
        for (MemberIndex b = 0; b < kMemberCount; ++b)
            (a == b ? mostSelf : mostApart) = std::max(a == b ? mostSelf : mostApart, stats_.coMentions[a][b]);
    }
    std::string out = "<section id=\"together\">\n<h2>" + std::string(Label(LabelId::Together, language)) +
                      "</h2>\n<p>" +
                      Label(LabelId::TogetherHint, language, {units, std::to_string(kExamplesPerPair)}) +
                      "</p>\n<div class=\"heat-wrap\"><table class=\"heat\">\n<tr><th></th>";
    for (MemberIndex b = 0; b < kMemberCount; ++b) out += "<th class=\"col\"><span>" + Name(b) + "</span></th>";
    out += "</tr>\n";
    for (MemberIndex a = 0; a < kMemberCount; ++a) {
        out += "<tr><th>" + Name(a) + "</th>";
        for (MemberIndex b = 0; b < kMemberCount; ++b) {
            const std::int64_t n = stats_.coMentions[a][b];
            // Shaded against the largest of its kind: the diagonal holds far larger counts.
            const double most = static_cast<double>(a == b ? mostSelf : mostApart);
            const double shade = n == 0 ? 0 : 0.12 + 0.88 * static_cast<double>(n) / most;
            const std::string hover = a == b ? Label(LabelId::SelfHover, language, {Name(a), Grouped(n)})
                                             : Label(LabelId::PairHover, language, {Name(a), Name(b), Grouped(n)});
            out += "<td data-a=\"" + std::to_string(a) + "\" data-b=\"" + std::to_string(b) + "\" data-count=\"" +
                   std::to_string(n) + "\"" + (a == b ? " class=\"self\"" : "") + " style=\"--v:" + Number(shade, 2) +
                   "\" title=\"" + hover + "\"";
            if (a != b && !Examples(a, b).empty())
                out += " data-pair=\"" + std::to_string(std::min(a, b)) + "-" + std::to_string(std::max(a, b)) +
                       "\" tabindex=\"0\" role=\"button\"";
            out += "></td>";
        }
        out += "</tr>\n";
    }
    out += "</table></div>\n<div id=\"together-posts\"></div>\n";
    // Each pair's posts as HTML in data on the page, put below the map when
    // its cell is first clicked: hundreds of hidden tables would otherwise
    // be built as the page loads.
    std::string pairs;
    const auto label = [&](LabelId id) { return std::string(Label(id, language)); };
    for (MemberIndex a = 0; a < kMemberCount; ++a) {
        for (MemberIndex b = a + 1; b < kMemberCount; ++b) {
            const std::vector<PairExample>& kept = Examples(a, b);
            if (kept.empty()) continue;
            const std::int64_t all = stats_.coMentions[a][b];
            const std::int64_t more = all - static_cast<std::int64_t>(kept.size());
            const std::string pair = std::to_string(a) + "-" + std::to_string(b);
            std::string div = "<div class=\"pair-posts\" data-pair=\"" + pair + "\" hidden>\n<h3>" +
                   Label(LabelId::PairPostsHeading, language, {Name(a), Name(b), Grouped(all), units}) +
                   "</h3>\n<table>\n<tr><th>" + label(LabelId::FileColumn) + "</th><th>" + label(LabelId::PostColumn) +
                   "</th><th>" + label(LabelId::DateColumn) + "</th><th>" + label(LabelId::IdColumn) + "</th><th>" +
                   label(LabelId::ExcerptColumn) + "</th></tr>\n";
            for (const PairExample& e : kept) {
                div += "<tr data-file=\"" + HtmlEscape(SanitizeUtf8(e.file)) + "\" data-post=\"" +
                       std::to_string(e.post) + "\"><td>" + HtmlEscape(SanitizeUtf8(FileName(e.file))) + "</td><td class=\"n\">" +
                       (e.post ? std::to_string(e.post) : std::string()) + "</td><td>" + (e.date ? e.date->Iso() : "") +
                       "</td><td>" + Html(e.id) + "</td><td>" + Html(e.excerpt) + "</td></tr>\n";
            }
            div += "</table>\n";
            if (more > 0) {
                div += "<p class=\"more\" data-more=\"" + std::to_string(more) + "\">" +
                       Label(LabelId::More, language, {Grouped(more)}) + "</p>\n";
            }
            div += "</div>\n";
            pairs += (pairs.empty() ? "\"" : ", \"") + pair + "\": " + JsonUtf8String(div);
        }
    }
    return out + "<script type=\"application/json\" id=\"together-data\">{" + ScriptSafe(pairs) +
           "}</script>\n</section>\n";
}

}  // namespace quenbol::cli
