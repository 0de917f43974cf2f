#!/usr/bin/env python3
"""The encoding guess beside `nkf --guess` on excerpts of real Japanese prose.

The prose is the Japanese translation of the Linux manual pages (Debian's
manpages-ja, read at run time and never stored here), its roff markup taken
out and only its lines that are mostly Japanese kept. Excerpts start at
random places (a fixed seed) and are cut at a character boundary to at most
8, 16, 32, 64, 256 and 1024 bytes in each encoding: code page 932, EUC-JP,
both with the katakana made half-width, UTF-8, ISO-2022-JP, and UTF-16LE/BE
without a byte-order mark. Each excerpt holds at least one character beyond
ASCII (and, for the half-width rows, a half-width katakana). Every excerpt is
written to a file; `quenbol-count --jsonl` reads them all in one run and
gives its guess in "encoding", and `nkf --guess` names its own. Prints the
share guessed right for each encoding and length.

Installs nkf and manpages-ja with apt-get when they are missing.

    python3 bench/encoding_guess.py [--build build/native] [--per-cell 400]
"""
import argparse
import glob
import gzip
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LENGTHS = [8, 16, 32, 64, 256, 1024]
# (row label, Python codec, half-width katakana, the name quenbol-count gives)
ROWS = [
    ("cp932", "cp932", False, "cp932"),
    ("cp932 half-width kana", "cp932", True, "cp932"),
    ("euc-jp", "euc_jp", False, "euc-jp"),
    ("euc-jp half-width kana", "euc_jp", True, "euc-jp"),
    ("utf-8", "utf-8", False, "utf-8"),
    ("iso-2022-jp", "iso2022_jp", False, "iso-2022-jp"),
    ("utf-16le", "utf-16-le", False, "utf-16le"),
    ("utf-16be", "utf-16-be", False, "utf-16be"),
]
# nkf's names for the same encodings.
NKF_NAMES = {
    "Shift_JIS": "cp932", "CP932": "cp932", "Windows-31J": "cp932",
    "EUC-JP": "euc-jp", "CP51932": "euc-jp", "eucJP-ms": "euc-jp",
    "UTF-8": "utf-8", "ISO-2022-JP": "iso-2022-jp",
    "UTF-16": "utf-16?", "UTF-16LE": "utf-16le", "UTF-16BE": "utf-16be",
}


def ensure_installed():
    missing = [p for p, probe in (("nkf", shutil.which("nkf")),
                                  ("manpages-ja", glob.glob("/usr/share/man/ja/man1/*.gz")))
               if not probe]
    if not missing:
        return
    if subprocess.run(["apt-get", "install", "-y", "-qq"] + missing).returncode != 0:
        subprocess.run(["apt-get", "update", "-qq"], check=True)
        subprocess.run(["apt-get", "install", "-y", "-qq"] + missing, check=True)


ROFF_ESCAPE = re.compile(r"\\f(\[[^]]*\]|\(..|.)|\\\(..|\\[-e&/,|^%]|\\s[-+]?\d")


def prose():
    """The manual pages' Japanese lines, as one text."""
    lines = []
    for path in sorted(glob.glob("/usr/share/man/ja/man*/*.gz")):
        with gzip.open(path, "rb") as f:
            text = f.read().decode("utf-8", errors="replace")
        for line in text.split("\n"):
            if line.startswith((".", "'", '\\"')):
                continue
            line = ROFF_ESCAPE.sub("", line).strip()
            if len(line) < 8 or sum(ord(c) > 0x7F for c in line) < len(line) * 0.6:
                continue
            lines.append(line)
    return "\n".join(lines) + "\n"


def encodable_everywhere(ch):
    try:
        return ch.encode("cp932").decode("cp932") == ch and ch.encode("euc_jp").decode("euc_jp") == ch and \
            ch.encode("iso2022_jp").decode("iso2022_jp") == ch
    except UnicodeError:
        return False


def half_width_map():
    """Full-width katakana (with voiced marks) to their half-width forms."""
    table = {}
    for c in range(0xFF66, 0xFF9E):
        h = chr(c)
        table.setdefault(unicodedata.normalize("NFKC", h), h)
        for mark in ("\uFF9E", "\uFF9F"):
            full = unicodedata.normalize("NFKC", h + mark)
            if len(full) == 1:
                table.setdefault(full, h + mark)
    table["ー"] = "ｰ"
    return table


def excerpt(text, start, codec, limit):
    """The longest run of characters from `start` whose encoded form fits."""
    out = ""
    for ch in text[start:start + limit]:
        candidate = out + ch
        if len(candidate.encode(codec)) > limit:
            break
        out = candidate
    return out


def make_excerpts(text, half_text, per_cell, directory, rows):
    """Files for every row and length; returns [(row, length, path)]."""
    rng = random.Random(2024)
    made = []
    for row, codec, half, _ in rows:
        source = half_text if half else text
        for length in LENGTHS:
            kept = 0
            while kept < per_cell:
                piece = excerpt(source, rng.randrange(len(source) - 1100), codec, length)
                if not any(ord(c) > 0x7F for c in piece):
                    continue
                if half and not any(0xFF61 <= ord(c) <= 0xFF9F for c in piece):
                    continue
                path = os.path.join(directory, f"{len(made):06}")
                with open(path, "wb") as f:
                    f.write(piece.encode(codec))
                made.append((row, length, path))
                kept += 1
    return made


def quenbol_guesses(counter, paths, directory):
    listing = os.path.join(directory, "list")
    with open(listing, "w") as f:
        f.write("".join(p + "\n" for p in paths))
    out = os.path.join(directory, "quenbol.jsonl")
    with open(out, "wb") as f:
        subprocess.run([counter, "--jsonl", "--files-from", listing], stdout=f, check=True)
    with open(out, encoding="utf-8") as f:
        return {r["file"]: r["encoding"] for r in map(json.loads, f)}


def whole_pages(counter, directory):
    """Each manual page's Japanese lines saved whole in code page 932 and in
    EUC-JP: how many the guess reads as UTF-8 (the almost-UTF-8 rule must
    take none), and the fewest ill-formed sequences per 1,000 bytes any of
    them has when forced to UTF-8 (the rule allows 1)."""
    pages = []
    for path in sorted(glob.glob("/usr/share/man/ja/man*/*.gz")):
        with gzip.open(path, "rb") as f:
            lines = [ROFF_ESCAPE.sub("", line).strip()
                     for line in f.read().decode("utf-8", errors="replace").split("\n")
                     if not line.startswith((".", "'", '\\"'))]
        pages.append("\n".join(lines) + "\n")
    report = []
    for codec in ("cp932", "euc_jp"):
        paths = []
        for i, page in enumerate(pages):
            data = page.encode(codec, errors="replace")
            if not any(b >= 0x80 for b in data):
                continue
            paths.append(os.path.join(directory, f"page-{codec}-{i:04}"))
            with open(paths[-1], "wb") as f:
                f.write(data)
        listing = os.path.join(directory, "pages")
        with open(listing, "w") as f:
            f.write("".join(p + "\n" for p in paths))
        guessed = subprocess.run([counter, "--jsonl", "--files-from", listing], capture_output=True, check=True).stdout
        as_utf8 = sum(json.loads(r)["encoding"] == "utf-8" for r in guessed.splitlines())
        forced = subprocess.run([counter, "--jsonl", "--encoding", "utf-8", "--files-from", listing],
                                capture_output=True, check=True).stdout
        rates = [1000 * r.get("encoding_errors", 0) / r["bytes"] for r in map(json.loads, forced.splitlines())]
        report.append(f"{codec}: {len(paths)} whole pages, {as_utf8} read as UTF-8; forced to UTF-8, "
                      f"at least {min(rates):.0f} ill-formed sequences per 1,000 bytes (median {sorted(rates)[len(rates) // 2]:.0f})")
    return report


def nkf_guesses(paths):
    guesses = {}
    for i in range(0, len(paths), 500):
        out = subprocess.run(["nkf", "--guess"] + paths[i:i + 500], check=True,
                             capture_output=True, text=True).stdout
        for line in out.splitlines():
            path, _, name = line.rpartition(": ")
            guesses[path] = NKF_NAMES.get(name.split(" ")[0], name)
    return guesses


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--per-cell", type=int, default=400, help="excerpts per encoding and length")
    parser.add_argument("--rows", help="only these rows, separated by commas")
    args = parser.parse_args()
    counter = os.path.join(args.build, "cli", "quenbol-count")
    if not os.access(counter, os.X_OK):
        sys.exit(f"no {counter}: build it first")
    ensure_installed()

    raw = prose()
    usable = {c for c in set(raw) if encodable_everywhere(c)}
    text = "".join(c for c in raw if c in usable)
    to_half = half_width_map()
    half_text = "".join(to_half.get(c, c) for c in text)
    with tempfile.TemporaryDirectory() as directory:
        rows = [r for r in ROWS if not args.rows or r[0] in args.rows.split(",")]
        made = make_excerpts(text, half_text, args.per_cell, directory, rows)
        paths = [p for _, _, p in made]
        ours = quenbol_guesses(counter, paths, directory)
        theirs = nkf_guesses(paths)
        pages = whole_pages(counter, directory) if not args.rows else []

    expected = {row: name for row, _, _, name in ROWS}
    right = {}
    for row, length, path in made:
        cell = right.setdefault((row, length), [0, 0, 0])
        cell[0] += ours[path] == expected[row]
        cell[1] += theirs.get(path) == expected[row]
        cell[2] += 1
    print(f"% guessed right, quenbol-count / nkf --guess ({args.per_cell} excerpts each; "
          f"{len(text):,} characters of manpages-ja)")
    print(f"{'encoding':24}" + "".join(f"{str(n) + ' B':>13}" for n in LENGTHS))
    for row, _, _, _ in rows:
        cells = []
        for length in LENGTHS:
            ok_ours, ok_nkf, n = right[(row, length)]
            cells.append(f"{100 * ok_ours / n:5.1f} /{100 * ok_nkf / n:5.1f}")
        print(f"{row:24}" + "".join(f"{c:>13}" for c in cells))
    for line in pages:
        print(line)


if __name__ == "__main__":
    main()
