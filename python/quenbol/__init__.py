"""Counts how often each of the 21 members of the fictional group Pipora is
named in Japanese text, exactly as quenbol-count and the window count.

A str is counted as the window counts its text: through its code page 932
form, where a character that has none matches nothing; its row reads it as
its UTF-8 form ("encoding": "utf-8", "bytes": the length of that form).
Bytes are read as `encoding` says, as quenbol-count reads a file: "auto"
(the default) chooses per text; "cp932", "utf-8", "utf-16le", "utf-16be",
"euc-jp" and "iso-2022-jp" force one.

Counted post by post (unit="post"), a text is split into its posts, the
messages of a talk or its paragraphs, and each post's body is counted alone,
as quenbol-count --unit post counts a file; `format` says how texts split:
"auto" (judged from each text), "dat", "thread", "line-talk" or "plain".

`keywords` is a keyword file saved by the window (its path, or its bytes);
`manual` a list of up to seven manual words that replace the initial ones.
A keyword file that quenbol-count would refuse raises KeywordFileError (a
ValueError) with the counter's message.

The counting lets go of the GIL: the functions may be called from several
threads at once.
"""

import functools
import os

from . import _quenbol

__all__ = ["count", "matches", "Counter", "count_files", "post_summary", "add_post_summaries", "KeywordFileError"]

KeywordFileError = _quenbol.KeywordFileError


@functools.lru_cache(maxsize=32)
def _cached_words(keyword_file, keyword_bytes, manual, _stamp):
    return _quenbol.Words(keyword_file, keyword_bytes, None if manual is None else list(manual))


def _words(keywords, manual):
    """The compiled table and manual words, made once for each choice (and
    again when a keyword file changes)."""
    if isinstance(manual, (str, bytes)):
        raise TypeError("manual must be a list of words, not one string")
    manual = None if manual is None else tuple(manual)
    if keywords is None:
        return _cached_words(None, None, manual, None)
    if isinstance(keywords, (bytes, bytearray, memoryview)):
        return _cached_words(None, bytes(keywords), manual, None)
    path = os.fsencode(keywords)
    try:
        st = os.stat(path)
        stamp = (st.st_ino, st.st_size, st.st_mtime_ns)
    except OSError:
        stamp = object()  # not cached: the loader says why it cannot be read
    try:
        return _cached_words(path, None, manual, stamp)
    except KeywordFileError as refused:
        raise KeywordFileError(f"{os.fsdecode(path)}: {refused}") from None


def _row(row):
    del row["file"]
    return row


def _unit_is_post(unit, by_keyword=False):
    if unit not in ("text", "post"):
        raise ValueError(f"unknown unit '{unit}' (text or post)")
    if unit == "post" and by_keyword:
        raise ValueError("by_keyword counts texts, not posts")
    return unit == "post"


def count(text, *, encoding="auto", keywords=None, manual=None, by_keyword=False, unit="text", format="auto",
          period="day"):
    """One search-all over `text` (str or bytes): a dict shaped like a
    quenbol-count --jsonl row without "file": "encoding", "bytes",
    ("encoding_errors" when a text read as UTF-8 had ill-formed sequences),
    "members" (21 x {"name", "current", "total"}, each member's "keywords"
    too with `by_keyword`), "manual" ({"current", "total"}), "top" (the
    leading member's index or -1) and "caption".

    With unit="post", each post counted alone: {"rows": a dict per post as
    quenbol-count --jsonl --unit post gives them without "file" ("post",
    "date" (ISO 8601 or None), "id" (or None), "members" (21 x {"name",
    "current"}), "manual"), "summary": the sums of its posts as --json --unit
    post --period `period` ("day", "week" or "month") gives them ("members"
    (21 x {"name", "mentions", "posts", "share_of_posts"}), "manual", "posts",
    "co_mentions" (21 x 21), "periods" ([{"period", "posts", "members"}] in
    time order))}."""
    words = _words(keywords, manual)
    if not _unit_is_post(unit, by_keyword):
        return _row(_quenbol.count_row(words, text, encoding, by_keyword))
    rows, summary = _quenbol.count_posts(words, text, encoding, format, period)
    return {"rows": [_row(row) for row in rows], "summary": summary}


def matches(text, *, encoding="auto", keywords=None, manual=None, context=10):
    """Every counted occurrence in `text`, in text order, as quenbol-count
    --matches gives them without "file": "group", "member", "name", "slot",
    "word", "spans" (byte offsets [start, end) into the bytes as read; into
    the UTF-8 form of a str), "line", "column", "before", "after" (up to
    `context` characters, 0 to 200). Texts read in encodings other than code
    page 932 and UTF-8 raise ValueError."""
    return [_row(row) for row in _quenbol.match_lines(_words(keywords, manual), text, encoding, context)]


class Counter:
    """The window's counting: totals run on from search to search until
    reset_totals(). Each search returns the row count() would, with these
    running totals."""

    def __init__(self, keywords=None, manual=None):
        self._counter = _quenbol.Counter(_words(keywords, manual))

    def search_all(self, text, *, encoding="auto"):
        """The members, each in what the earlier members' deletions left, and
        the manual words in the whole text (the window's 全検索)."""
        return _row(self._counter.search_all(text, encoding))

    def search_manual_only(self, text, *, encoding="auto"):
        """The manual words alone; the members' counts stay as they were
        (the window's 手動ワードのみ検索)."""
        return _row(self._counter.search_manual_only(text, encoding))

    def reset_totals(self):
        """Every total to 0; the current counts stay (累計リセット)."""
        self._counter.reset_totals()

    def results_line(self):
        """The 21 current counts as the copy button puts them on the
        clipboard: "%3d" each, one space apart, then LF."""
        return self._counter.results_line()


def count_files(paths, *, jobs=None, encoding="auto", keywords=None, manual=None, by_keyword=False, unit="text",
                format="auto"):
    """Counts the files in parallel on the counter's own pipeline (`jobs`
    threads, one per core by default) and yields their quenbol-count --jsonl
    rows (--jsonl --by-keyword with `by_keyword`; with unit="post", a row per
    post as --jsonl --unit post gives them) in the order of `paths`, totals
    running over them. A file that cannot be read gives a row with its
    "error"; the rest are counted. "-" is standard input, as for the counter."""
    post_format = format if _unit_is_post(unit, by_keyword) else None
    rows = _quenbol.FileRows([os.fsencode(p) for p in paths], _words(keywords, manual), encoding,
                             jobs or 0, False, by_keyword, post_format)
    return iter(rows)


def post_summary(paths, *, jobs=None, encoding="auto", keywords=None, manual=None, format="auto", period="day"):
    """The files counted post by post in parallel on the counter's own
    pipeline: the sums of all their posts, as quenbol-count --json --unit
    post --period `period` gives them (see count). A file that cannot be read
    raises OSError naming it, as the counter refuses the run."""
    return _quenbol.file_post_sums([os.fsencode(p) for p in paths], _words(keywords, manual), encoding,
                                   jobs or 0, format, period)


def add_post_summaries(summaries):
    """The sums of posts of several summaries (post_summary or count's, of
    one kind of period) added up into one: the mentions, the posts, the
    co-mentions and each period's counts add up, and the shares are those of
    all the posts."""
    summaries = list(summaries)
    if not summaries:
        raise ValueError("no summaries to add")
    members = len(summaries[0]["members"])
    posts = sum(s["posts"] for s in summaries)

    def total(get):
        return sum(get(s) for s in summaries)

    periods = {}
    for s in summaries:
        for p in s["periods"]:
            into = periods.setdefault(p["period"], {"period": p["period"], "posts": 0, "members": [0] * members})
            into["posts"] += p["posts"]
            into["members"] = [a + b for a, b in zip(into["members"], p["members"])]
    return {
        "members": [{"name": summaries[0]["members"][m]["name"],
                     "mentions": total(lambda s: s["members"][m]["mentions"]),
                     "posts": total(lambda s: s["members"][m]["posts"]),
                     "share_of_posts": round(total(lambda s: s["members"][m]["posts"]) / posts, 4) if posts else 0.0}
                    for m in range(members)],
        "manual": total(lambda s: s["manual"]),
        "posts": posts,
        "co_mentions": [[total(lambda s: s["co_mentions"][a][b]) for b in range(members)] for a in range(members)],
        "periods": [periods[name] for name in sorted(periods)],  # period names sort in time order
    }
