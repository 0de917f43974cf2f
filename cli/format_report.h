// --html: one self-contained HTML page for all the texts of a run (inline
// style, SVG and a small script; nothing fetched). The page itself lives in
// cli/report/report_template.html, built into the program; this fills it in.
#pragma once

#include <cstddef>
#include <string>

#include "cli/count_run.h"

namespace quenbol::cli {

// A text longer than this (bytes of the file as read) is shown only up to
// here, with a note; its counts are for the whole text.
constexpr std::size_t kReportShownBytes = 2 * 1024 * 1024;

// The page, UTF-8. The run must have kept its texts.
std::string FormatReport(const CountRun& run, std::size_t shownBytes = kReportShownBytes);

// Text as HTML character data or attribute value: & < > " escaped, NUL as U+FFFD.
std::string HtmlEscape(std::string_view utf8);

}  // namespace quenbol::cli
