// The Python package's counting, on the counter's own parts.
#include "python/ext/counting.h"

#include <algorithm>
#include <array>

#include "cli/count/inside_words.h"
#include "cli/count/post_stats.h"
#include "cli/emit/format_matches.h"
#include "cli/emit/format_posts.h"
#include "cli/emit/row_writers.h"
#include "cli/pipeline.h"
#include "cli/read/keyword_file_load.h"
#include "core/results_line.h"
#include "core/text/cp932.h"
#include "settings/keyword_format.h"

namespace quenbol::python {
namespace {

// What a thread counts in, kept from text to text as the pipeline's workers
// keep theirs: the decoder's buffers and the counting's working memory.
struct ThreadBuffers {
    cli::TextDecoder decoder;
    CountScratch scratch;
};

ThreadBuffers& OwnBuffers() {
    thread_local ThreadBuffers buffers;
    return buffers;
}

// A text decoded as the pipeline decodes a lone text (a long one forced as
// UTF-8 converted on two threads): the job without its counts.
cli::TextJob Decoded(std::string_view bytes, cli::EncodingChoice encoding, std::string_view& text) {
    const cli::DecodedBytes decoded = OwnBuffers().decoder.Decode(bytes, encoding, true);
    cli::TextJob job;
    job.path = "";
    job.encoding = decoded.encoding;
    job.bytes = bytes.size();
    job.illFormed = decoded.illFormed;
    text = decoded.text;
    return job;
}

// The text decoded and counted, as the pipeline counts each of its texts.
cli::TextJob Counted(std::string_view bytes, cli::EncodingChoice encoding, const Words& words, bool byKeyword) {
    std::string_view text;
    cli::TextJob job = Decoded(bytes, encoding, text);
    CountingState state;
    SearchDetail detail;
    std::array<MatchReport, 2> reports;
    if (byKeyword) detail.reports = &reports;  // for the occurrences inside ordinary words
    SearchAll(state, text, words.Compiled(text), byKeyword ? &detail : nullptr, &OwnBuffers().scratch);
    job.current = state.current;
    job.manualCurrent = state.manualCurrent;
    if (byKeyword) {
        for (int e = 0; e < kKeywordEntries; ++e) job.keywordCounts[e] = SaturatingAdd(0, detail.keywordCounts[e]);
        for (int w = 0; w < kManualWordCount; ++w) job.manualWordCounts[w] = SaturatingAdd(0, detail.manualCounts[w]);
        job.inside = cli::FindInsideWords(words.Inside(), text, reports[0]);
    }
    return job;
}

}  // namespace

const CompiledSearch& Words::Compiled(std::string_view sample) const {
    std::call_once(once_, [&] { compiled_.emplace(table_, manual_, sample); });
    return *compiled_;
}

const InsideWordCheck& Words::Inside() const {
    std::call_once(insideOnce_, [&] { inside_.emplace(cli::MakeInsideWordCheck(table_, manual_)); });
    return *inside_;
}

Keywords BuiltInKeywords() {
    Keywords table;
    LoadDefaultKeywords(table);
    return table;
}

std::optional<Keywords> KeywordsFromFile(const std::string& path, std::string& error) {
    Keywords table;
    error = cli::LoadKeywordTable(path, table);
    if (!error.empty()) return std::nullopt;
    return table;
}

std::optional<Keywords> KeywordsFromBytes(std::string_view bytes, std::string& error) {
    std::optional<Keywords> table = ParseKeywordFile(bytes);
    if (!table) error = Cp932ToUtf8(kMsgNotKeywordFile);
    return table;
}

std::string CountTextRow(std::string_view bytes, cli::EncodingChoice encoding, const Words& words, bool byKeyword) {
    const cli::TextJob job = Counted(bytes, encoding, words, byKeyword);
    cli::RunTotals totals(words.table(), words.manual());
    totals.Add(job);
    return cli::JsonlRecord(job, totals, byKeyword);
}

std::optional<std::string> MatchLines(std::string_view bytes, cli::EncodingChoice encoding, const Words& words,
                                      int context, std::string& error) {
    const Encoding chosen = encoding ? *encoding : DetectEncoding(bytes);
    if (!cli::DecodedText::Maps(chosen)) {
        error = "read as " + std::string(EncodingName(chosen)) +
                ": matches are placed in code page 932 and UTF-8 texts only";
        return std::nullopt;
    }
    cli::CountedText counted{"", nullptr, cli::DecodedText(bytes, chosen), {}};
    CountingState state;
    SearchDetail detail;
    std::array<MatchReport, 2> reports;
    detail.reports = &reports;
    const std::string_view text = counted.decoded.text();
    SearchAll(state, text, words.Compiled(text), &detail, &OwnBuffers().scratch);
    // The occurrences inside ordinary words, told as quenbol-count --matches tells them.
    const cli::InsideFinds inside = cli::FindInsideWords(words.Inside(), text, reports[0]);
    counted.occurrences = cli::TextOccurrences(std::move(reports));

    const cli::RunTotals run(words.table(), words.manual());  // names the occurrences' words
    std::string lines;
    cli::PieceWriter out([&lines](std::string_view piece) {
        lines += piece;
        return true;
    });
    cli::WriteMatches(run, counted, &inside, context, out);
    out.Flush();
    return lines;
}

TextPosts CountTextPosts(std::string_view bytes, cli::EncodingChoice encoding, const Words& words,
                         std::optional<LogFormat> format, PeriodKind period) {
    std::string_view text;
    cli::TextJob job = Decoded(bytes, encoding, text);
    const CompiledSearch& compiled = words.Compiled(text);
    // Each body counted alone by a search of its own: what the pipeline's
    // one search over the bodies gives (the counter's tests hold it to that).
    for (Post& post : SplitPosts(text, format ? *format : DetectLogFormat(text))) {
        CountingState state;
        SearchAll(state, post.body, compiled, nullptr, &OwnBuffers().scratch);
        cli::PostCount& counted = job.posts.emplace_back();
        counted.number = post.number;
        counted.date = post.date;
        counted.id = std::move(post.id);
        counted.current = state.current;
        counted.manual = state.manualCurrent;
    }
    cli::PostStats sums(period);
    for (const cli::PostCount& post : job.posts) sums.Add(post);
    return {cli::PostJsonlRecords(job), cli::FormatPostJson(sums)};
}

namespace {

// The sums of the posts of every text, or the first text that failed.
class PostSumsEmitter final : public cli::Emitter {
public:
    explicit PostSumsEmitter(PeriodKind period) : sums(period) {}
    bool Take(const cli::TextJob& text, const cli::RunTotals&) override {
        if (!text.ok()) {
            failure = std::string(text.path) + ": " + text.failure;
            return false;
        }
        for (const cli::PostCount& post : text.posts) sums.Add(post);
        return true;
    }
    cli::PostStats sums;
    std::string failure;
};

}  // namespace

std::optional<std::string> FilePostSums(std::vector<std::string> paths, const Words& words,
                                        cli::EncodingChoice encoding, int jobs, std::optional<LogFormat> format,
                                        PeriodKind period, std::string& failure) {
    std::vector<cli::InputFile> inputs;
    inputs.reserve(paths.size());
    for (std::string& path : paths) inputs.push_back({std::move(path), {}});
    cli::PipelineSettings settings;
    settings.table = &words.table();
    settings.manualWords = words.manual();
    settings.encoding = encoding;
    settings.jobs = jobs;
    settings.posts = true;
    settings.format = format;
    PostSumsEmitter emitter(period);
    cli::RunPipeline(settings, inputs, emitter);
    failure = emitter.failure;
    if (!failure.empty()) return std::nullopt;
    return cli::FormatPostJson(emitter.sums);
}

Counter::Counter(std::shared_ptr<const Words> words)
    : words_(std::move(words)), totals_(words_->table(), words_->manual()) {}

std::string Counter::SearchAll(std::string_view bytes, cli::EncodingChoice encoding) {
    std::lock_guard<std::mutex> lock(mutex_);
    const cli::TextJob job = Counted(bytes, encoding, *words_, false);
    totals_.Add(job);
    return cli::JsonlRecord(job, totals_);
}

std::string Counter::SearchManualOnly(std::string_view bytes, cli::EncodingChoice encoding) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string_view text;
    cli::TextJob job = Decoded(bytes, encoding, text);
    CountingState& state = totals_.state;
    state.text.assign(text);
    quenbol::SearchManualOnly(state);  // the members' counts, and so the leader, stay as they were
    ClearText(state);
    job.current = state.current;
    job.manualCurrent = state.manualCurrent;
    return cli::JsonlRecord(job, totals_);
}

void Counter::ResetTotals() {
    std::lock_guard<std::mutex> lock(mutex_);
    quenbol::ResetTotals(totals_.state);
}

std::string Counter::ResultsLine() {
    std::lock_guard<std::mutex> lock(mutex_);
    return FormatResultsLine(totals_.state.current);
}

// Each text's row, handed to the FileRows it belongs to.
class FileRows::RowEmitter : public cli::Emitter {
public:
    RowEmitter(FileRows& rows, Form form, bool byKeyword, bool posts)
        : rows_(rows), form_(form), byKeyword_(byKeyword), posts_(posts) {}
    bool Take(const cli::TextJob& text, const cli::RunTotals& totals) override {
        if (!posts_)
            return rows_.Deliver(form_ == Form::Csv ? cli::CsvRow(text, totals)
                                                    : cli::JsonlRecord(text, totals, byKeyword_));
        // A line per post, each a row of its own.
        const std::string lines = cli::PostJsonlRecords(text);
        for (std::size_t start = 0; start < lines.size();) {
            const std::size_t end = std::min(lines.find('\n', start), lines.size() - 1);
            if (!rows_.Deliver(lines.substr(start, end + 1 - start))) return false;
            start = end + 1;
        }
        return true;
    }

private:
    FileRows& rows_;
    Form form_;
    bool byKeyword_;
    bool posts_;
};

FileRows::FileRows(std::vector<std::string> paths, std::shared_ptr<const Words> words, cli::EncodingChoice encoding,
                   int jobs, Form form, bool byKeyword, bool posts, std::optional<LogFormat> format)
    : words_(std::move(words)), form_(form) {
    inputs_.reserve(paths.size());
    for (std::string& path : paths) inputs_.push_back({std::move(path), {}});
    pipeline_ = std::thread([this, encoding, jobs, form, byKeyword, posts, format] {
        try {
            cli::PipelineSettings settings;
            settings.table = &words_->table();
            settings.manualWords = words_->manual();
            settings.encoding = encoding;
            settings.jobs = jobs;
            settings.byKeyword = byKeyword;
            if (byKeyword) settings.inside = &words_->Inside();
            settings.posts = posts;
            settings.format = format;
            RowEmitter emitter(*this, form, byKeyword, posts);
            cli::RunPipeline(settings, inputs_, emitter);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            failure_ = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    });
}

FileRows::~FileRows() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    pipeline_.join();
}

bool FileRows::Deliver(std::string row) {
    // A few rows ahead keep the pipeline busy while the caller takes one.
    constexpr std::size_t kWaitingRows = 64;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopping_ || rows_.size() < kWaitingRows; });
    if (stopping_) return false;
    rows_.push_back(std::move(row));
    changed_.notify_all();
    return true;
}

std::optional<std::string> FileRows::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !rows_.empty() || finished_; });
    if (!rows_.empty()) {
        std::string row = std::move(rows_.front());
        rows_.pop_front();
        changed_.notify_all();
        return row;
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return std::nullopt;
}

}  // namespace quenbol::python
