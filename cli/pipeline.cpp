// The pipeline's loop: texts read, decoded and counted on the workers,
// taken in input order through the one accumulator.
#include "cli/pipeline.h"

#include <algorithm>
#include <array>
#include <future>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "cli/count/ordered_runner.h"
#include "cli/count/post_stats.h"
#include "cli/system_io.h"

namespace quenbol::cli {
namespace {

// The keyword table and manual words compiled once for every thread, with
// the first text as the sample that steers the scan (any sample gives the
// same counts). The first text's thread compiles once it has that text;
// the others wait for it. Nothing else reads the first text: a pipe can be
// read only once.
class SharedWords {
public:
    explicit SharedWords(const PipelineSettings& settings) : settings_(settings), ready_(compiled_.get_future().share()) {}

    // Called by the first text's thread only, once, or Abandon instead.
    const CompiledSearch& Compile(std::string_view sample) {
        settled_ = true;
        try {
            words_.emplace(*settings_.table, settings_.manualWords, sample);
            compiled_.set_value();
        } catch (...) {
            compiled_.set_exception(std::current_exception());
            throw;
        }
        return *words_;
    }
    // The first text's thread failed before compiling: the others fail too.
    void Abandon(std::exception_ptr failure) {
        if (!settled_) compiled_.set_exception(failure);
        settled_ = true;
    }
    const CompiledSearch& Wait() const {
        ready_.get();  // throws what compiling threw
        return *words_;
    }

private:
    const PipelineSettings& settings_;
    std::optional<CompiledSearch> words_;
    bool settled_ = false;
    std::promise<void> compiled_;
    std::shared_future<void> ready_;
};

// What each worker keeps from text to text, so that its memory is not found
// and faulted in again for each: the read buffer, the decoded text and the
// counting's working memory.
struct alignas(64) WorkerBuffers {  // one per cache line: workers do not share a line
    TextFile file;
    TextDecoder decoder;
    CountScratch scratch;
    PostList posts;                       // a text's posts, counted post by post
    std::array<MatchReport, 2> reports;   // where their occurrences were
};

// With occurrences asked for, a text counted post by post keeps its joined
// bodies and their occurrences (the worker's buffers go with them: texts
// kept so are counted one at a time), its keyword counts and the finds
// inside ordinary words, all placed in the joined bodies.
void KeepPostOccurrences(const PipelineSettings& settings, const SearchDetail& detail, WorkerBuffers& own,
                         TextJob& job) {
    for (int e = 0; e < kKeywordEntries; ++e) job.keywordCounts[e] = SaturatingAdd(0, detail.keywordCounts[e]);
    for (int w = 0; w < kManualWordCount; ++w) job.manualWordCounts[w] = SaturatingAdd(0, detail.manualCounts[w]);
    PostList& split = own.posts;
    if (settings.inside) job.inside = FindInsideWords(*settings.inside, split.bodies, own.reports[0]);
    std::vector<std::uint32_t> starts;  // of each body in the joined bodies
    starts.reserve(split.posts.size());
    for (const PostList::Header& post : split.posts) starts.push_back(static_cast<std::uint32_t>(post.start));
    job.counted->posts.emplace(PostBodies{std::move(split.bodies), std::move(starts),
                                          TextOccurrences(std::exchange(own.reports, {}))});
    split.Clear();
}

// Splits a decoded text into its posts and counts each body alone; the
// text's counts are their sums. A plain text takes the date in its file's name.
// The bodies are counted in one search over them joined by NUL bytes, which
// no match holds (a NUL stands for a character with no code page 932 form):
// no match crosses from one body into the next, and each body's deletions
// close up only that body, so each one's counts are those of a search of it
// alone, at the cost of one search for the text instead of one per post.
// Each occurrence's first byte says whose it is.
void CountPosts(std::string_view text, const CompiledSearch& compiled, const PipelineSettings& settings,
                WorkerBuffers& own, TextJob& job) {
    const LogFormat format = settings.format ? *settings.format : DetectLogFormat(text);
    const std::optional<PostDate> nameDate = job.path == "-" ? std::nullopt : DateInFileName(job.path);
    PostList& split = own.posts;
    SplitPosts(text, format, nameDate, split);
    const std::string& joined = split.bodies;
    job.posts.reserve(split.posts.size());
    for (PostList::Header& post : split.posts) {
        PostCount& counted = job.posts.emplace_back();
        counted.number = post.number;
        counted.date = post.date;
        counted.id = std::move(post.id);
    }
    if (joined.size() > std::numeric_limits<std::uint32_t>::max())  // not 1 << 32: size_t may have 32 bits
        throw std::length_error("a text's posts of 4 GiB or more");
    for (MatchReport& report : own.reports) report.Clear();
    SearchDetail detail;
    detail.reports = &own.reports;
    CountingState state;
    SearchAll(state, joined, compiled, &detail, &own.scratch);
    const auto owner = [&split](const MatchReport::Reader& match) {
        const auto after = std::upper_bound(split.posts.begin(), split.posts.end(), match.spans().front().start,
                                            [](std::size_t at, const PostList::Header& post) { return at < post.start; });
        return after - split.posts.begin() - 1;
    };
    for (MatchReport::Reader match = own.reports[0].Read(); match.Next();) {
        std::int32_t& n = job.posts[owner(match)].current[match.word() / kSlotsPerMember];
        n = SaturatingAdd(n, 1);
    }
    for (MatchReport::Reader match = own.reports[1].Read(); match.Next();) {
        std::int32_t& n = job.posts[owner(match)].manual;
        n = SaturatingAdd(n, 1);
    }
    if (settings.excerpts) {
        for (std::size_t p = 0; p < job.posts.size(); ++p) {
            if (MembersNamed(job.posts[p].current) >= 2)
                job.posts[p].excerpt = ExcerptOf(std::string_view(joined).substr(split.posts[p].start));
        }
    }
    job.current = state.current;
    job.manualCurrent = state.manualCurrent;
    if (settings.occurrences) KeepPostOccurrences(settings, detail, own, job);
}

// Decodes and counts one text's bytes into `job`. With occurrences the text
// is kept with the way back to the file (`file` holds its bytes, or none for
// standard input, which the run holds). Without, `writable`, when given, is
// `bytes` for the decoder to write over.
void DecodeAndCount(std::string_view bytes, std::shared_ptr<const TextFile> file, const PipelineSettings& settings,
                    SharedWords& shared, bool first, WorkerBuffers& own, TextJob& job, char* writable = nullptr) {
    job.bytes = bytes.size();
    std::string_view text;
    if (settings.occurrences) {
        job.encoding = settings.encoding ? *settings.encoding : DetectEncoding(bytes);
        if (!DecodedText::Maps(job.encoding)) {
            job.failure = "read as " + std::string(EncodingName(job.encoding)) +
                          ": --matches and --html place occurrences in code page 932 and UTF-8 texts only";
            if (first) shared.Compile({});
            return;
        }
        job.counted.emplace(CountedText{std::string(job.path), std::move(file), DecodedText(bytes, job.encoding), {}});
        text = job.counted->decoded.text();
        job.illFormed = job.counted->decoded.illFormed();
    } else {
        const bool twoThreads = own.scratch.threads() != CountThreads::One;
        const DecodedBytes decoded = writable ? own.decoder.DecodeOver(writable, bytes.size(), settings.encoding, twoThreads)
                                              : own.decoder.Decode(bytes, settings.encoding, twoThreads);
        text = decoded.text;
        job.encoding = decoded.encoding;
        job.illFormed = decoded.illFormed;
    }
    const CompiledSearch& compiled = first ? shared.Compile(text) : shared.Wait();
    if (settings.posts) return CountPosts(text, compiled, settings, own, job);

    CountingState state;
    SearchDetail detail;
    std::optional<std::array<MatchReport, 2>> reports;
    if (settings.occurrences || settings.inside) detail.reports = &reports.emplace();
    const bool detailed = settings.byKeyword || settings.occurrences || settings.inside;
    SearchAll(state, text, compiled, detailed ? &detail : nullptr, &own.scratch);
    job.current = state.current;
    job.manualCurrent = state.manualCurrent;
    if (settings.byKeyword || settings.inside) {
        for (int e = 0; e < kKeywordEntries; ++e) job.keywordCounts[e] = SaturatingAdd(0, detail.keywordCounts[e]);
        for (int w = 0; w < kManualWordCount; ++w) job.manualWordCounts[w] = SaturatingAdd(0, detail.manualCounts[w]);
    }
    if (settings.inside) job.inside = FindInsideWords(*settings.inside, text, (*reports)[0]);
    if (settings.occurrences) job.counted->occurrences = TextOccurrences(std::move(*reports));
}

}  // namespace

RunTotals RunPipeline(const PipelineSettings& settings, const std::vector<InputFile>& inputs, Emitter& emitter,
                      ProgressMeter* progress) {
    // Standard input, read here once; later "-" entries find it at its end.
    const auto firstStdin = std::find_if(inputs.begin(), inputs.end(),
                                         [](const InputFile& f) { return f.path == "-"; });
    const std::size_t stdinIndex = static_cast<std::size_t>(firstStdin - inputs.begin());
    std::string stdinBytes, stdinFailure;
    if (firstStdin != inputs.end()) {
        std::string reason;
        const ReadStatus status = ReadWholeFile("-", stdinBytes, reason);
        if (status != ReadStatus::Ok) stdinFailure = ReadFailure(status, reason);
    }

    // Texts kept with their occurrences are counted one at a time.
    const int jobs = settings.occurrences ? 1 : std::max(settings.jobs, 1);
    SharedWords shared(settings);
    std::vector<WorkerBuffers> buffers(static_cast<std::size_t>(jobs));
    // Workers that share the cores count each text on their own thread; a
    // lone text may take a second one for its scan, its deletions and its
    // conversion from UTF-8.
    if (buffers.size() > 1 && inputs.size() > 1) {
        for (WorkerBuffers& own : buffers) own.scratch.SetThreads(CountThreads::One);
    }

    const std::function<TextJob(std::size_t, std::size_t)> countOne = [&](std::size_t i, std::size_t worker) {
        WorkerBuffers& own = buffers[worker];
        const InputFile& input = inputs[i];
        TextJob job;
        job.path = input.path;
        const bool first = i == 0;
        // A first text that cannot be read leaves the sample empty.
        const auto failed = [&](std::string failure) {
            if (first) shared.Compile({});
            job.failure = std::move(failure);
            return std::move(job);
        };
        if (!input.error.empty()) return failed(input.error);
        if (input.path == "-") {
            if (i != stdinIndex) {
                DecodeAndCount({}, nullptr, settings, shared, first, own, job);
            } else if (!stdinFailure.empty()) {
                return failed(stdinFailure);
            } else {
                DecodeAndCount(stdinBytes, nullptr, settings, shared, first, own, job);
            }
            return job;
        }
        // A text kept with its occurrences keeps its own bytes; the others
        // are read into the worker's buffer, kept from text to text.
        std::shared_ptr<TextFile> kept = settings.occurrences ? std::make_shared<TextFile>() : nullptr;
        TextFile& file = kept ? *kept : own.file;
        std::string reason;
        const ReadStatus status = file.Open(input.path, reason);
        if (status != ReadStatus::Ok) return failed(ReadFailure(status, reason));
        // Nothing reads a text's bytes once it is decoded, unless it is kept.
        DecodeAndCount(file.bytes(), std::move(kept), settings, shared, first, own, job,
                       settings.occurrences ? nullptr : file.writableBytes());
        return job;
    };

    const std::function<TextJob(std::size_t, std::size_t)> work = [&](std::size_t i, std::size_t worker) {
        TextJob job;
        if (i != 0) {
            job = countOne(i, worker);
        } else {
            try {
                job = countOne(i, worker);
            } catch (...) {
                shared.Abandon(std::current_exception());
                throw;
            }
        }
        emitter.Prepare(job);
        return job;
    };

    RunTotals totals(*settings.table, settings.manualWords, settings.byKeyword || settings.inside);
    const std::function<bool(std::size_t, TextJob&)> deliver = [&](std::size_t, TextJob& job) {
        totals.Add(job);
        if (progress) {
            progress->TextDone(job.bytes);
            progress->Tick();
        }
        return emitter.Take(job, totals);
    };
    const std::function<void()> idle = [&] {
        emitter.CaughtUp();
        if (progress) progress->Tick();
    };
    RunInOrder<TextJob>(inputs.size(), jobs, work, deliver, idle);
    if (progress) progress->Finish();
    return totals;
}

}  // namespace quenbol::cli
