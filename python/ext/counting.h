// What the Python package counts with, in plain C++ (the bindings in
// module.cpp add only the conversions to and from Python): a keyword table
// with its manual words, compiled once for any number of threads; one text
// in memory counted into a --jsonl row, into its --matches lines, or post by
// post into its rows and their sums; the window's running totals; and files
// run through the counter's pipeline (cli/pipeline.h), their rows handed out
// one at a time, or the sums of their posts.
// Texts are decoded, totals run on and rows made by the counter's own parts
// (TextDecoder, RunTotals, cli/emit/row_writers.h, WriteMatches), so the
// package gives what quenbol-count gives, byte for byte.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/count/text_job.h"
#include "cli/decode/text_decoding.h"
#include "cli/read/input_walk.h"
#include "core/counting.h"
#include "core/posts/thread_posts.h"
#include "core/words/inside_word.h"

namespace quenbol::python {

// A keyword table and manual words (code page 932). The compiled form is
// made once, with the first text counted as the sample that steers the scan
// (any sample gives the same counts), and then shared: safe from any number
// of threads.
class Words {
public:
    Words(Keywords table, ManualWordList manual) : table_(std::move(table)), manual_(std::move(manual)) {}

    const Keywords& table() const { return table_; }
    const ManualWordList& manual() const { return manual_; }
    const CompiledSearch& Compiled(std::string_view sample) const;
    // The ordinary-word check for these words, made when first asked for.
    const InsideWordCheck& Inside() const;

private:
    Keywords table_;
    ManualWordList manual_;
    mutable std::once_flag once_;
    mutable std::optional<CompiledSearch> compiled_;
    mutable std::once_flag insideOnce_;
    mutable std::optional<InsideWordCheck> inside_;
};

// The built-in table, or the table of a keyword file (UTF-8 path) or of a
// keyword file's bytes; nothing, with the message that refuses the file in
// `error` (as quenbol-count words it), when it is refused.
Keywords BuiltInKeywords();
std::optional<Keywords> KeywordsFromFile(const std::string& path, std::string& error);
std::optional<Keywords> KeywordsFromBytes(std::string_view bytes, std::string& error);

// One text's bytes read as `encoding` says (as quenbol-count reads a file it
// counts alone) and counted with one search-all; with `byKeyword`, keyword
// by keyword too. Returns its --jsonl row (with an empty "file"). Works in
// memory of the calling thread's own, so any number of threads may count at once.
std::string CountTextRow(std::string_view bytes, cli::EncodingChoice encoding, const Words& words,
                         bool byKeyword = false);

// --matches for one text: its lines, or nothing with the message in `error`
// when the text is read in an encoding the occurrences cannot be placed in.
std::optional<std::string> MatchLines(std::string_view bytes, cli::EncodingChoice encoding, const Words& words,
                                      int context, std::string& error);

// One text counted post by post, as quenbol-count --unit post counts a file:
// its rows (--jsonl --unit post, with an empty "file") and the sums of its
// posts (--json --unit post --period `period`). `format` unset: judged from
// the text.
struct TextPosts {
    std::string rows;
    std::string sums;
};
TextPosts CountTextPosts(std::string_view bytes, cli::EncodingChoice encoding, const Words& words,
                         std::optional<LogFormat> format, PeriodKind period);

// Files counted post by post on the counter's pipeline (`jobs` at once): the
// sums of all their posts, as --json --unit post gives them; nothing, with
// the first unreadable file's message in `failure`, when one cannot be read.
std::optional<std::string> FilePostSums(std::vector<std::string> paths, const Words& words,
                                        cli::EncodingChoice encoding, int jobs, std::optional<LogFormat> format,
                                        PeriodKind period, std::string& failure);

// The window's counting: search-all and manual-only over text after text,
// totals running until reset. Its calls may come from several threads; they
// take turns.
class Counter {
public:
    explicit Counter(std::shared_ptr<const Words> words);

    std::string SearchAll(std::string_view bytes, cli::EncodingChoice encoding);
    std::string SearchManualOnly(std::string_view bytes, cli::EncodingChoice encoding);
    void ResetTotals();
    std::string ResultsLine();

private:
    std::shared_ptr<const Words> words_;
    std::mutex mutex_;
    cli::RunTotals totals_;
};

// The counter's pipeline over files, on a thread of its own, its rows
// (--jsonl, with `byKeyword` as --jsonl --by-keyword, or --csv; with `posts`
// a --jsonl row per post, the texts split as `format` says) taken one at a
// time in input order. At most a few rows wait: the pipeline pauses until
// they are taken. Destroying it stops the pipeline after the texts in flight.
class FileRows {
public:
    enum class Form { Jsonl, Csv };
    FileRows(std::vector<std::string> paths, std::shared_ptr<const Words> words,
             cli::EncodingChoice encoding, int jobs, Form form, bool byKeyword = false, bool posts = false,
             std::optional<LogFormat> format = {});
    ~FileRows();
    FileRows(const FileRows&) = delete;
    FileRows& operator=(const FileRows&) = delete;

    // The next row; nothing after the last. Throws what the pipeline threw.
    std::optional<std::string> Next();
    Form form() const { return form_; }

private:
    class RowEmitter;
    bool Deliver(std::string row);

    std::vector<cli::InputFile> inputs_;
    std::shared_ptr<const Words> words_;
    Form form_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> rows_;
    bool finished_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread pipeline_;
};

}  // namespace quenbol::python
