// One emitter per output form.
#include "cli/emit/emitters.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/emit/console.h"
#include "cli/emit/format_json.h"
#include "cli/emit/format_line.h"
#include "cli/emit/format_matches.h"
#include "cli/emit/format_posts.h"
#include "cli/emit/format_report.h"
#include "cli/emit/format_table.h"
#include "cli/emit/output_file.h"
#include "cli/emit/piece_writer.h"
#include "cli/emit/row_writers.h"
#include "cli/emit/spill_buffer.h"
#include "cli/system_io.h"

namespace quenbol::cli {
namespace {

// The table, line and JSON forms: the state after the last text.
class SummaryEmitter final : public FormEmitter {
public:
    SummaryEmitter(OutputStyle style, bool byKeyword, ProgressMeter& progress)
        : style_(style), byKeyword_(byKeyword), progress_(progress) {}

    bool Take(const TextJob& text, const RunTotals& totals) override {
        if (!text.ok()) {
            failure_ = TextFailure(text.path, text.failure);
            return false;
        }
        WarnIllFormed(text.path, text.illFormed, progress_);
        if (style_ == OutputStyle::Line) currentPerText_.push_back(totals.state.current);
        return true;
    }

    int Finish(const RunTotals& totals) override {
        if (!failure_.empty()) return Refuse(failure_);
        const KeywordCounts* byKeyword = byKeyword_ ? &totals.byKeyword : nullptr;
        if (style_ == OutputStyle::Line) return PrintBytes(FormatLines(currentPerText_));
        if (style_ == OutputStyle::Json) return Print(FormatJson(totals.state, totals.top, byKeyword, totals.illFormed));
        return Print(FormatTable(totals.state, totals.top, byKeyword, &totals.byKeyword));
    }

private:
    OutputStyle style_;
    bool byKeyword_;
    ProgressMeter& progress_;
    std::string failure_;
    std::vector<MemberCounts> currentPerText_;
};

// The table and JSON forms of a run counted post by post: the sums of every
// post, all or nothing as the other summaries.
class PostSummaryEmitter final : public FormEmitter {
public:
    PostSummaryEmitter(bool json, PeriodKind period, ProgressMeter& progress)
        : json_(json), stats_(period), progress_(progress) {}

    bool Take(const TextJob& text, const RunTotals&) override {
        if (!text.ok()) {
            failure_ = TextFailure(text.path, text.failure);
            return false;
        }
        WarnIllFormed(text.path, text.illFormed, progress_);
        for (const PostCount& post : text.posts) stats_.Add(post);
        return true;
    }

    int Finish(const RunTotals&) override {
        if (!failure_.empty()) return Refuse(failure_);
        return Print(json_ ? FormatPostJson(stats_) : FormatPostTable(stats_));
    }

private:
    bool json_;
    PostStats stats_;
    ProgressMeter& progress_;
    std::string failure_;
};

// --matches: each text's lines as soon as it is counted.
class MatchesEmitter final : public FormEmitter {
public:
    MatchesEmitter(int context, ProgressMeter& progress)
        : context_(context), progress_(progress), out_([this](std::string_view piece) {
              if (WriteText(stdout, piece)) return true;
              writeError_ = WriteErrorNumber();
              return false;
          }) {}

    bool Take(const TextJob& text, const RunTotals& totals) override {
        if (!text.ok()) {
            failure_ = TextFailure(text.path, text.failure);
            return false;
        }
        WarnIllFormed(text.path, text.illFormed, progress_);
        return WriteMatches(totals, *text.counted, text.inside ? &*text.inside : nullptr, context_, out_);
    }

    int Finish(const RunTotals&) override {
        if (!out_.ok()) return OutputFailed("standard output", std::strerror(writeError_));
        if (!failure_.empty()) return Refuse(failure_);
        return kExitOk;
    }

private:
    int context_;
    ProgressMeter& progress_;
    int writeError_ = 0;
    PieceWriter out_;
    std::string failure_;
};

// --html: the marked texts set aside as they come and the run's units added
// up, the page put together and in place at the end. A report that cannot be
// written leaves the old one as it was and no new file behind.
class ReportEmitter final : public FormEmitter {
public:
    ReportEmitter(const Options& options, std::string tableSource, ProgressMeter& progress)
        : path_(options.reportPath), page_(std::move(tableSource), options.language.value_or(LocaleLanguage())),
          trends_(options.period, options.postUnit), progress_(progress),
          out_([this](std::string_view piece) { return texts_.Write(piece); }) {}

    bool Take(const TextJob& text, const RunTotals&) override {
        if (!text.ok()) {
            failure_ = TextFailure(text.path, text.failure);
            return false;
        }
        WarnIllFormed(text.path, text.illFormed, progress_);
        trends_.Add(text);
        return page_.WriteText(*text.counted, text.inside ? &*text.inside : nullptr, out_, text.posts);
    }

    int Finish(const RunTotals& totals) override {
        if (!failure_.empty()) return Refuse(failure_);
        if (!out_.ok()) return Failed(texts_.reason());
        OutputFile file;
        const bool written = file.Open(path_) && file.Write(page_.Head(totals, trends_)) &&
                             texts_.ReadBack([&file](std::string_view piece) { return file.Write(piece); }) &&
                             file.Write(page_.Tail(totals)) && file.Finish();
        if (written) return kExitOk;
        return Failed(texts_.reason().empty() ? file.reason() : texts_.reason());
    }

private:
    int Failed(const std::string& reason) const {
        return OutputFailed(path_ == "-" ? "standard output" : path_ + ": cannot write the report", reason);
    }

    std::string path_;
    ReportPage page_;
    ReportTrends trends_;
    ProgressMeter& progress_;
    SpillBuffer texts_;
    PieceWriter out_;
    std::string failure_;
};

// --jsonl and --csv: one row per text as soon as it and all before it are
// done, through a large buffer flushed when the texts have caught up.
class RowsEmitter final : public FormEmitter {
public:
    RowsEmitter(bool csv, bool byKeyword, bool posts, ProgressMeter& progress)
        : csv_(csv), byKeyword_(byKeyword), posts_(posts), progress_(progress) {
        static char buffer[1 << 20];  // flushed below, not every few rows; lives to the final flush at exit
        std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
        if (csv_ && !WriteBytes(stdout, posts_ ? PostCsvHeader() : CsvHeader())) Written(false);
    }

    bool Take(const TextJob& text, const RunTotals& totals) override {
        if (writeError_) return false;
        if (!text.ok()) {
            failed_ = true;
            progress_.Finish();  // the message on a line of its own; the progress line comes back after it
            WriteText(stderr, "quenbol-count: " + TextFailure(text.path, text.failure) + "\n");
        }
        if (csv_) WarnIllFormed(text.path, text.illFormed, progress_);
        const std::string row = posts_ ? std::string() : csv_ ? CsvRow(text, totals) : JsonlRecord(text, totals, byKeyword_);
        const std::string& rows = posts_ ? text.rows : row;
        errno = 0;
        return Written(std::fwrite(rows.data(), 1, rows.size(), stdout) == rows.size());
    }

    // A text's rows per post need nothing of the texts before it: they are
    // made on the worker that counted it, so that only their writing waits
    // for its turn (200 MB of .dat logs: about 900 MB of rows).
    void Prepare(TextJob& text) const override {
        if (!posts_) return;
        if (csv_) AppendPostCsvRows(text.rows, text);
        else AppendPostJsonlRecords(text.rows, text);
    }

    // Rows reach the reader within a twentieth of a second, without a write
    // call for each of thousands of small texts.
    void CaughtUp() override {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastFlush_ < std::chrono::milliseconds(50) || writeError_) return;
        lastFlush_ = now;
        errno = 0;
        Written(std::fflush(stdout) == 0);
    }

    int Finish(const RunTotals&) override {
        if (!writeError_) {
            errno = 0;
            Written(std::fflush(stdout) == 0);
        }
        if (writeError_) {
            progress_.Finish();
            return OutputFailed("standard output", std::strerror(writeError_));
        }
        return failed_ ? kExitRefused : kExitOk;
    }

private:
    // The first write's failure ends the run.
    bool Written(bool ok) {
        if (!ok && writeError_ == 0) writeError_ = WriteErrorNumber();
        return writeError_ == 0;
    }

    bool csv_;
    bool byKeyword_;
    bool posts_;  // a row per post
    ProgressMeter& progress_;
    int writeError_ = 0;
    bool failed_ = false;
    std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
};

}  // namespace

std::unique_ptr<FormEmitter> MakeEmitter(const Options& options, const std::string& tableSource,
                                         ProgressMeter& progress) {
    switch (options.output) {
        case OutputStyle::Matches: return std::make_unique<MatchesEmitter>(options.context, progress);
        case OutputStyle::Report: return std::make_unique<ReportEmitter>(options, tableSource, progress);
        case OutputStyle::Jsonl:
        case OutputStyle::Csv:
            return std::make_unique<RowsEmitter>(options.output == OutputStyle::Csv, options.byKeyword,
                                                 options.postUnit, progress);
        case OutputStyle::Table:
        case OutputStyle::Line:
        case OutputStyle::Json: break;
    }
    if (options.postUnit)
        return std::make_unique<PostSummaryEmitter>(options.output == OutputStyle::Json, options.period, progress);
    return std::make_unique<SummaryEmitter>(options.output, options.byKeyword, progress);
}

}  // namespace quenbol::cli
