// quenbol._quenbol: the bindings of python/ext/counting.h. Texts come in as
// str (counted through their UTF-8 form, read as UTF-8: what the window
// counts, code page 932, with characters that have none matching nothing)
// or bytes (read as the encoding says); the counter's JSON rows go out as
// Python values (json_values.h), its CSV rows as text, a keyword file's
// refusal as KeywordFileError (a ValueError) with its message. The GIL is
// let go while counting and while waiting for a row.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>

#include "cli/options.h"
#include "cli/emit/row_writers.h"
#include "python/ext/counting.h"
#include "python/ext/json_values.h"

namespace py = pybind11;

namespace quenbol::python {
namespace {

// What `work` returns, worked out without the GIL.
template <typename Work>
auto Released(Work work) {
    py::gil_scoped_release released;
    return work();
}

// A keyword file refused, with the counter's message: KeywordFileError in Python.
struct KeywordFileRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "auto" (the choice per text) or an encoding's name, as --encoding takes them.
cli::EncodingChoice EncodingNamed(const std::string& name) {
    if (name == "auto") return std::nullopt;
    const cli::EncodingChoice encoding = EncodingByName(name);
    if (!encoding)
        throw py::value_error("unknown encoding '" + name +
                              "' (auto, cp932, utf-8, utf-16le, utf-16be, euc-jp or iso-2022-jp)");
    return encoding;
}

// A text's bytes, kept alive for as long as they are counted, and the
// encoding they are read in.
struct TextBytes {
    py::bytes owner;
    std::string_view view;
    cli::EncodingChoice encoding;
};

TextBytes BytesOf(const py::handle& text, const std::string& encoding) {
    TextBytes out;
    if (py::isinstance<py::str>(text)) {
        if (encoding != "auto")
            throw py::value_error("encoding applies to bytes only; a str is counted as the window counts its text");
        PyObject* utf8 = PyUnicode_AsUTF8String(text.ptr());
        if (!utf8) {
            // Lone surrogates: their bytes are ill-formed and match nothing.
            PyErr_Clear();
            utf8 = PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogatepass");
            if (!utf8) throw py::error_already_set();
        }
        out.owner = py::reinterpret_steal<py::bytes>(utf8);
        out.encoding = Encoding::Utf8;
    } else if (py::isinstance<py::bytes>(text)) {
        out.owner = py::reinterpret_borrow<py::bytes>(text);
        out.encoding = EncodingNamed(encoding);
    } else {
        throw py::type_error("text must be str or bytes");
    }
    char* data = nullptr;
    Py_ssize_t size = 0;
    PyBytes_AsStringAndSize(out.owner.ptr(), &data, &size);
    out.view = std::string_view(data, static_cast<std::size_t>(size));
    return out;
}

// "auto" (judged per text) or a format's name, as --format takes them.
std::optional<LogFormat> FormatNamed(const std::string& name) {
    if (name == "auto") return std::nullopt;
    for (const LogFormat format : {LogFormat::Dat, LogFormat::Thread, LogFormat::LineTalk, LogFormat::Plain})
        if (name == LogFormatName(format)) return format;
    throw py::value_error("unknown format '" + name + "' (auto, dat, thread, line-talk or plain)");
}

PeriodKind PeriodNamed(const std::string& name) {
    if (name == "day") return PeriodKind::Day;
    if (name == "week") return PeriodKind::Week;
    if (name == "month") return PeriodKind::Month;
    throw py::value_error("unknown period '" + name + "' (day, week or month)");
}

// Lines of JSON, each one value.
py::list JsonLines(std::string_view lines) {
    py::list values;
    for (std::size_t start = 0, end; start < lines.size(); start = end + 1) {
        end = std::min(lines.find('\n', start), lines.size());
        values.append(JsonValues(lines.substr(start, end - start)));
    }
    return values;
}

int JobsOrCores(int jobs) {
    if (jobs < 0) throw py::value_error("jobs must be 1 or more");
    return jobs ? jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

ManualWordList ManualWords(const std::optional<std::vector<std::string>>& words) {
    if (!words) return InitialManualWords();
    if (words->size() > kManualWordCount) throw py::value_error("at most 7 manual words can be given");
    ManualWordList list;
    for (std::size_t i = 0; i < words->size(); ++i) {
        std::string error;
        list[i] = cli::ManualWordToCp932((*words)[i], error);
        if (!error.empty()) throw py::value_error(error);
    }
    return list;
}

std::shared_ptr<const Words> MakeWords(const py::object& keywordFile, const py::object& keywordBytes,
                                       const std::optional<std::vector<std::string>>& manual) {
    std::string error;
    std::optional<Keywords> table;
    if (!keywordFile.is_none()) {
        const std::string path = keywordFile.cast<std::string>();
        {
            py::gil_scoped_release released;
            table = KeywordsFromFile(path, error);
        }
        if (!table) throw KeywordFileRefused(error);
    } else if (!keywordBytes.is_none()) {
        table = KeywordsFromBytes(keywordBytes.cast<std::string>(), error);
        if (!table) throw KeywordFileRefused(error);
    } else {
        table = BuiltInKeywords();
    }
    return std::make_shared<const Words>(std::move(*table), ManualWords(manual));
}

}  // namespace
}  // namespace quenbol::python

PYBIND11_MODULE(_quenbol, m) {
    using namespace quenbol;
    using namespace quenbol::python;
    m.doc() = "The counter's core, compiled: see the quenbol package for the interface.";
    py::register_exception<KeywordFileRefused>(m, "KeywordFileError", PyExc_ValueError);

    py::class_<Words, std::shared_ptr<Words>>(m, "Words")
        .def(py::init([](const py::object& keywordFile, const py::object& keywordBytes,
                         const std::optional<std::vector<std::string>>& manual) {
                 return std::const_pointer_cast<Words>(MakeWords(keywordFile, keywordBytes, manual));
             }),
             py::arg("keyword_file") = py::none(), py::arg("keyword_bytes") = py::none(),
             py::arg("manual") = py::none());

    m.def("count_row", [](const Words& words, const py::handle& text, const std::string& encoding, bool byKeyword) {
        const TextBytes bytes = BytesOf(text, encoding);
        return JsonValues(Released([&] { return CountTextRow(bytes.view, bytes.encoding, words, byKeyword); }));
    });

    m.def("match_lines", [](const Words& words, const py::handle& text, const std::string& encoding, int context) {
        if (context < 0 || context > cli::kMaxContext) throw py::value_error("context must be from 0 to 200");
        const TextBytes bytes = BytesOf(text, encoding);
        std::optional<std::string> lines;
        std::string error;
        {
            py::gil_scoped_release released;
            lines = MatchLines(bytes.view, bytes.encoding, words, context, error);
        }
        if (!lines) throw py::value_error(error);
        return JsonLines(*lines);
    });

    m.def("count_posts", [](const Words& words, const py::handle& text, const std::string& encoding,
                            const std::string& format, const std::string& period) {
        const TextBytes bytes = BytesOf(text, encoding);
        const std::optional<LogFormat> chosen = FormatNamed(format);
        const PeriodKind kind = PeriodNamed(period);
        const TextPosts posts = Released([&] { return CountTextPosts(bytes.view, bytes.encoding, words, chosen, kind); });
        return py::make_tuple(JsonLines(posts.rows), JsonValues(posts.sums));
    });

    m.def("file_post_sums", [](std::vector<std::string> paths, const Words& words, const std::string& encoding,
                               int jobs, const std::string& format, const std::string& period) {
        const cli::EncodingChoice chosenEncoding = EncodingNamed(encoding);
        const std::optional<LogFormat> chosen = FormatNamed(format);
        const PeriodKind kind = PeriodNamed(period);
        jobs = JobsOrCores(jobs);
        std::string failure;
        const std::optional<std::string> sums = Released([&] {
            return FilePostSums(std::move(paths), words, chosenEncoding, jobs, chosen, kind, failure);
        });
        if (!sums) {  // a file that cannot be read, named in the message
            PyErr_SetString(PyExc_OSError, failure.c_str());
            throw py::error_already_set();
        }
        return JsonValues(*sums);
    });

    py::class_<Counter>(m, "Counter")
        .def(py::init([](const std::shared_ptr<Words>& words) { return new Counter(words); }))
        .def("search_all", [](Counter& counter, const py::handle& text, const std::string& encoding) {
            const TextBytes bytes = BytesOf(text, encoding);
            return JsonValues(Released([&] { return counter.SearchAll(bytes.view, bytes.encoding); }));
        })
        .def("search_manual_only", [](Counter& counter, const py::handle& text, const std::string& encoding) {
            const TextBytes bytes = BytesOf(text, encoding);
            return JsonValues(Released([&] { return counter.SearchManualOnly(bytes.view, bytes.encoding); }));
        })
        .def("reset_totals", &Counter::ResetTotals, py::call_guard<py::gil_scoped_release>())
        .def("results_line", &Counter::ResultsLine, py::call_guard<py::gil_scoped_release>());

    py::class_<FileRows>(m, "FileRows")
        .def(py::init([](std::vector<std::string> paths, const std::shared_ptr<Words>& words,
                         const std::string& encoding, int jobs, bool csv, bool byKeyword,
                         const std::optional<std::string>& postFormat) {
            // postFormat: a --jsonl row per post, the texts split as it says.
            if (csv && postFormat) throw py::value_error("rows per post are JSON Lines rows");
            const std::optional<LogFormat> format = postFormat ? FormatNamed(*postFormat) : std::nullopt;
            return new FileRows(std::move(paths), words, EncodingNamed(encoding), JobsOrCores(jobs),
                                csv ? FileRows::Form::Csv : FileRows::Form::Jsonl, byKeyword,
                                postFormat.has_value(), format);
        }), py::arg("paths"), py::arg("words"), py::arg("encoding"), py::arg("jobs"), py::arg("csv"),
            py::arg("by_keyword"), py::arg("post_format") = py::none())
        .def("__iter__", [](FileRows& rows) -> FileRows& { return rows; })
        .def("__next__", [](FileRows& rows) -> py::object {
            const std::optional<std::string> row = Released([&] { return rows.Next(); });
            if (!row) throw py::stop_iteration();
            if (rows.form() == FileRows::Form::Csv) return py::str(*row);
            return JsonValues(*row);
        });

    m.def("csv_header", [] { return cli::CsvHeader(); });
}
