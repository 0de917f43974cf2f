// The JSON Lines of --matches.
#include "cli/emit/format_matches.h"

#include <deque>

#include "cli/emit/format_json.h"
#include "core/text/cp932.h"

namespace quenbol::cli {
namespace {

// Walks a code page 932 text forward, character by character, keeping the
// line and column reached and the starts of the last few characters passed.
// A line ends after LF, after CR LF, and after a CR on its own.
class TextCursor {
public:
    TextCursor(std::string_view text, std::size_t keep) : text_(text), keep_(keep) {}

    // Moves to the character that holds byte `to` (never back).
    void MoveTo(std::size_t to) {
        while (pos_ < text_.size()) {
            const std::size_t next = pos_ + Size(pos_);
            if (next > to) break;
            Pass(next);
        }
    }

    std::size_t pos() const { return pos_; }
    std::size_t line() const { return line_; }
    std::size_t column() const { return column_; }
    // Where the text `count` characters back from here begins (fewer at the text start).
    std::size_t Back() const { return recent_.empty() ? pos_ : recent_.front(); }

    // The byte `count` characters on from `from`.
    static std::size_t Forward(std::string_view text, std::size_t from, std::size_t count) {
        for (; count > 0 && from < text.size(); --count) from += Size(text, from);
        return std::min(from, text.size());
    }

private:
    static std::size_t Size(std::string_view text, std::size_t at) {
        return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    std::size_t Size(std::size_t at) const { return Size(text_, at); }

    void Pass(std::size_t next) {
        const char c = text_[pos_];
        const bool lineEnds = c == '\n' || (c == '\r' && (next >= text_.size() || text_[next] != '\n'));
        if (keep_ > 0) {
            recent_.push_back(pos_);
            if (recent_.size() > keep_) recent_.pop_front();
        }
        if (lineEnds) {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        pos_ = next;
    }

    std::string_view text_;
    std::size_t keep_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t column_ = 1;
    std::deque<std::size_t> recent_;
};

}  // namespace

bool WriteMatches(const RunTotals& run, const CountedText& counted, const InsideFinds* inside, int context,
                  PieceWriter& pieces) {
    std::string& out = pieces.buffer();
    const DecodedText& d = counted.decoded;
    const std::string file = JsonUtf8String(counted.path);
    TextCursor cursor(d.text(), static_cast<std::size_t>(context));
    for (TextOccurrences::Cursor next = counted.occurrences.InTextOrder(); next.Next();) {
        if (!pieces.Check()) return false;
        const OccurrenceRef& o = next.current();
        const std::size_t start = o.spans.front().start, end = o.spans.back().end;
        cursor.MoveTo(start);
        const std::string& word =
            o.manual ? run.state.manualWords[o.slot] : run.byKeyword.words[EntryIndex(o.member, o.slot)];
        out += "{\"file\": " + file;
        out += o.manual ? ", \"group\": \"manual\"" : ", \"group\": \"member\"";
        if (!o.manual) {
            out += ", \"member\": " + std::to_string(o.member) +
                   ", \"name\": " + JsonString(DisplayName(o.member));
        }
        out += ", \"slot\": " + std::to_string(o.slot) + ", \"word\": " + JsonString(word);
        out += ", \"spans\": [";
        for (std::size_t i = 0; i < o.spans.size(); ++i) {
            out += (i ? ", [" : "[") + std::to_string(d.FileStart(o.spans[i].start)) + ", " +
                   std::to_string(d.FileEnd(o.spans[i].end)) + "]";
        }
        out += "], \"line\": " + std::to_string(cursor.line()) +
               ", \"column\": " + std::to_string(cursor.column());
        const std::size_t afterEnd = TextCursor::Forward(d.text(), end, static_cast<std::size_t>(context));
        out += ", \"before\": " + JsonUtf8String(d.Utf8Of(cursor.Back(), cursor.pos()));
        out += ", \"after\": " + JsonUtf8String(d.Utf8Of(end, afterEnd));
        if (const InsideFind* find = inside && !o.manual ? InsideAt(*inside, start) : nullptr)
            out += ", \"inside\": " + JsonString(find->word);
        out += "}\n";
    }
    return pieces.Flush();
}

}  // namespace quenbol::cli
