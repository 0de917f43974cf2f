"""Counts how often each of the 21 members of the fictional group Pipora is
named in Japanese text, exactly as quenbol-count and the window count.

A str is counted as the window counts its text: through its code page 932
form, where a character that has none matches nothing; its row reads it as
its UTF-8 form ("encoding": "utf-8", "bytes": the length of that form).
Bytes are read as `encoding` says, as quenbol-count reads a file: "auto"
(the default) chooses per text; "cp932", "utf-8", "utf-16le", "utf-16be",
"euc-jp" and "iso-2022-jp" force one.

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

__all__ = ["count", "matches", "Counter", "count_files", "KeywordFileError"]

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


def count(text, *, encoding="auto", keywords=None, manual=None, by_keyword=False):
    """One search-all over `text` (str or bytes): a dict shaped like a
    quenbol-count --jsonl row without "file": "encoding", "bytes",
    ("encoding_errors" when a text read as UTF-8 had ill-formed sequences),
    "members" (21 x {"name", "current", "total"}, each member's "keywords"
    too with `by_keyword`), "manual" ({"current", "total"}), "top" (the
    leading member's index or -1) and "caption"."""
    return _row(_quenbol.count_row(_words(keywords, manual), text, encoding, by_keyword))


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


def count_files(paths, *, jobs=None, encoding="auto", keywords=None, manual=None, by_keyword=False):
    """Counts the files in parallel on the counter's own pipeline (`jobs`
    threads, one per core by default) and yields their quenbol-count --jsonl
    rows (--jsonl --by-keyword with `by_keyword`) in the order of `paths`,
    totals running over them. A file that cannot be read gives a row with its
    "error"; the rest are counted. "-" is standard input, as for the counter."""
    rows = _quenbol.FileRows([os.fsencode(p) for p in paths], _words(keywords, manual), encoding,
                             jobs or 0, False, by_keyword)
    return iter(rows)
