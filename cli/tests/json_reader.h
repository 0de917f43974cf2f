// A small strict JSON reader for the tests: it refuses anything outside the
// grammar (trailing commas, raw control characters, bad escapes, ill-formed
// UTF-8) and keeps strings as UTF-8, so the counter's JSON can be checked by
// reading it back rather than by comparing text.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text/cp932.h"

namespace quenbol::cli::testing {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    double number = 0;
    std::string text;  // string contents, UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> fields;

    const JsonValue* Find(std::string_view key) const {
        for (const auto& [name, value] : fields)
            if (name == key) return &value;
        return nullptr;
    }
};

class JsonReader {
public:
    // The value of a whole document, or nothing when it is not valid JSON.
    static std::optional<JsonValue> Read(std::string_view doc) {
        if (!IsValidUtf8(doc)) return std::nullopt;
        JsonReader reader(doc);
        JsonValue value;
        if (!reader.Value(value, 0)) return std::nullopt;
        reader.Space();
        if (reader.pos_ != doc.size()) return std::nullopt;
        return value;
    }

private:
    explicit JsonReader(std::string_view doc) : s_(doc) {}

    void Space() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t')) ++pos_;
    }
    bool Eat(char c) {
        Space();
        if (pos_ < s_.size() && s_[pos_] == c) return ++pos_, true;
        return false;
    }
    bool Word(std::string_view w) {
        if (s_.substr(pos_, w.size()) != w) return false;
        pos_ += w.size();
        return true;
    }

    bool Value(JsonValue& v, int depth) {
        if (depth > 64) return false;
        Space();
        if (pos_ >= s_.size()) return false;
        const char c = s_[pos_];
        if (c == '{') return Object(v, depth);
        if (c == '[') return Array(v, depth);
        if (c == '"') return v.kind = JsonValue::Kind::String, String(v.text);
        if (Word("true") || Word("false")) return v.kind = JsonValue::Kind::Bool, true;
        if (Word("null")) return true;
        return Number(v);
    }

    bool Object(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Object;
        ++pos_;
        if (Eat('}')) return true;
        do {
            std::string key;
            JsonValue item;
            Space();
            if (pos_ >= s_.size() || s_[pos_] != '"' || !String(key) || !Eat(':') || !Value(item, depth + 1)) return false;
            v.fields.emplace_back(std::move(key), std::move(item));
        } while (Eat(','));
        return Eat('}');
    }

    bool Array(JsonValue& v, int depth) {
        v.kind = JsonValue::Kind::Array;
        ++pos_;
        if (Eat(']')) return true;
        do {
            v.items.emplace_back();
            if (!Value(v.items.back(), depth + 1)) return false;
        } while (Eat(','));
        return Eat(']');
    }

    bool Number(JsonValue& v) {
        const std::size_t start = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
        const std::size_t digits = pos_;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
        if (pos_ == digits || (s_[digits] == '0' && pos_ - digits > 1)) return false;
        v.kind = JsonValue::Kind::Number;
        v.number = std::strtod(std::string(s_.substr(start, pos_ - start)).c_str(), nullptr);
        return true;  // the counter writes integers only
    }

    bool String(std::string& out) {
        ++pos_;  // opening quote
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) return false;
            const char e = s_[pos_++];
            const std::string_view simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
            if (const std::size_t k = simple.find(e); k != std::string_view::npos) {
                out += meaning[k];
            } else if (e == 'u' && pos_ + 4 <= s_.size()) {
                char* end = nullptr;
                const std::string hex(s_.substr(pos_, 4));
                const long code = std::strtol(hex.c_str(), &end, 16);
                if (end != hex.c_str() + 4 || code >= 0x80) return false;  // enough for our escapes
                out += static_cast<char>(code);
                pos_ += 4;
            } else {
                return false;
            }
        }
        return false;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace quenbol::cli::testing
