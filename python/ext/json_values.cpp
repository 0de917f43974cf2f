// A small JSON reader for the rows.
#include "python/ext/json_values.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace py = pybind11;

namespace quenbol::python {
namespace {

class Reader {
public:
    explicit Reader(std::string_view json) : s_(json) {}

    py::object Document() {
        py::object value = Value();
        Skip();
        if (i_ != s_.size()) Fail();
        return value;
    }

private:
    [[noreturn]] void Fail() const {
        throw py::value_error("not a JSON row at byte " + std::to_string(i_));
    }
    void Skip() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
    }
    void Expect(char c) {
        Skip();
        if (i_ >= s_.size() || s_[i_] != c) Fail();
        ++i_;
    }
    bool Take(char c) {
        Skip();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) return false;
        i_ += word.size();
        return true;
    }

    py::object Value() {
        Skip();
        if (i_ >= s_.size()) Fail();
        const char c = s_[i_];
        if (c == '{') return Object();
        if (c == '[') return Array();
        if (c == '"') return String();
        if (c == '-' || (c >= '0' && c <= '9')) return Number();
        if (Word("null")) return py::none();
        if (Word("true")) return py::bool_(true);
        if (Word("false")) return py::bool_(false);
        Fail();
    }

    py::object Object() {
        Expect('{');
        py::dict dict;
        if (Take('}')) return dict;
        do {
            Skip();
            py::object key = String();
            Expect(':');
            dict[key] = Value();
        } while (Take(','));
        Expect('}');
        return dict;
    }

    py::object Array() {
        Expect('[');
        py::list list;
        if (Take(']')) return list;
        do list.append(Value());
        while (Take(','));
        Expect(']');
        return list;
    }

    // An integer, or a float when it has a fraction (the shares of posts).
    py::object Number() {
        const char* start = s_.data() + i_;
        std::int64_t n = 0;
        const auto [end, error] = std::from_chars(start, s_.data() + s_.size(), n);
        if (error != std::errc()) Fail();
        i_ = static_cast<std::size_t>(end - s_.data());
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) Fail();
        if (i_ >= s_.size() || s_[i_] != '.') return py::int_(n);
        double x = 0;
        const auto [fractionEnd, fractionError] = std::from_chars(start, s_.data() + s_.size(), x);
        if (fractionError != std::errc() || fractionEnd == end + 1) Fail();
        i_ = static_cast<std::size_t>(fractionEnd - s_.data());
        return py::float_(x);
    }

    static void AppendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::uint32_t Hex4() {
        std::uint32_t v = 0;
        if (i_ + 4 > s_.size()) Fail();
        const auto [end, error] = std::from_chars(s_.data() + i_, s_.data() + i_ + 4, v, 16);
        if (error != std::errc() || end != s_.data() + i_ + 4) Fail();
        i_ += 4;
        return v;
    }

    py::object String() {
        if (i_ >= s_.size() || s_[i_] != '"') Fail();
        ++i_;
        const std::size_t start = i_;
        while (i_ < s_.size() && s_[i_] != '"' && s_[i_] != '\\') ++i_;
        if (i_ >= s_.size()) Fail();
        if (s_[i_] == '"') {  // no escapes: the row's names, words and most texts
            py::str plain(s_.data() + start, i_ - start);
            ++i_;
            return plain;
        }
        std::string out(s_.substr(start, i_ - start));
        while (true) {
            if (i_ >= s_.size()) Fail();
            const char c = s_[i_++];
            if (c == '"') break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) Fail();
            switch (const char e = s_[i_++]) {
                case '"': case '\\': case '/': out += e; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    std::uint32_t cp = Hex4();
                    if (cp >= 0xD800 && cp < 0xDC00 && Word("\\u")) {
                        const std::uint32_t low = Hex4();
                        if (low < 0xDC00 || low > 0xDFFF) Fail();
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: Fail();
            }
        }
        return py::str(out);
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

}  // namespace

py::object JsonValues(std::string_view json) { return Reader(json).Document(); }

}  // namespace quenbol::python
