#!/usr/bin/env python3
"""--matches and --html hold a bounded amount however much they write.

Six texts of 3 MB, each with a member's name about every 25 bytes (one of
them on a single line): --matches writes some 150 MB and the report's marked
texts are more than its memory holds, yet the counter's peak memory (the
child's maximum resident set, from wait4) must stay within 4 times the
largest text plus 64 MB. The report must show the first texts, in order,
up to its size budget, list the others as not shown, and be complete.

The worst case for the occurrences is a one-byte keyword on a text made of
that byte: as many occurrences as bytes, in the members' chain (through a
keyword file) and the manual words' at once. Such a text of 4 MB goes
through --html and through --matches, whose reader stops after its first
megabyte (the text is counted in full before its first line).

The texts are made by a process of their own: a child's maximum resident set
includes the image it was started from, and this one must stay small.

Usage: bounded_output_test.py COUNTER WORKDIR
"""
import os
import random
import subprocess
import sys

counter, workdir = sys.argv[1:3]
os.makedirs(workdir, exist_ok=True)
TEXT_BYTES = 3_000_000
TEXTS = 6
BOUND = 4 * TEXT_BYTES + 64 * 1024 * 1024
failures = []


def dense_text(seed, line_breaks):
    rng = random.Random(seed)
    names = ["椎葉澄香", "鷲尾", "千鶴", "みのり", "睦美", "榎", "蛍", "梢", "ナオピー", "ひなの", "鞍馬透子"]
    filler = ["の", "と", "が", "、", "。", "今日は", "ライブ", "で", "ab", "1"]
    parts, size = [], 0
    while size < TEXT_BYTES:
        piece = rng.choice(names) if rng.random() < 0.25 else rng.choice(filler)
        if line_breaks and rng.random() < 0.02:
            piece += "\r\n"
        data = piece.encode("utf-8")
        parts.append(data)
        size += len(data)
    return b"".join(parts)


def peak_of(args, consume, closed_early=False):
    """Runs the counter, hands its standard output to `consume` as it comes,
    and returns the child's peak resident memory in bytes. With
    `closed_early` the reader stops before the end, which ends the child by
    SIGPIPE."""
    child = subprocess.Popen([counter] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    consume(child.stdout)
    child.stdout.close()
    err = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != (-13 if closed_early else 0):
        failures.append(f"{args[0]} exited {child.returncode}: {err.decode(errors='replace')}")
    return usage.ru_maxrss * 1024


texts = [os.path.join(workdir, f"text{n}.txt") for n in range(TEXTS)]
DENSE_BYTES = 4_000_000
DENSE_BOUND = 4 * DENSE_BYTES + 64 * 1024 * 1024
dense = os.path.join(workdir, "dense.txt")
if counter == "--generate":
    for n, path in enumerate(texts):
        with open(path, "wb") as f:
            f.write(dense_text(n, line_breaks=n != 3))
    with open(dense, "wb") as f:
        f.write(b"a" * DENSE_BYTES)
    sys.exit(0)
subprocess.run([sys.executable, __file__, "--generate", workdir], check=True)

# First, while this process is small: a child started by vfork counts this
# process's peak as its own.
# The built-in table with its first keyword made "a", one byte.
table = subprocess.run([counter, "--dump-keywords"], capture_output=True, check=True).stdout.split(b"\r\n")
table[1] = b"a"
keywords = os.path.join(workdir, "one-byte.ini")
with open(keywords, "wb") as f:
    f.write(b"\r\n".join(table))
one_byte = ["--keywords", keywords, "--manual", "a"]

dense_report = os.path.join(workdir, "dense.html")
peak = peak_of(one_byte + ["--html", dense_report, dense], lambda stream: stream.read())
marks = 0
with open(dense_report, "rb") as f:
    tail = b""  # too short to hold a whole "</mark>": none is counted twice
    for piece in iter(lambda: f.read(1 << 20), b""):
        piece = tail + piece
        marks += piece.count(b"</mark>")
        tail = piece[-6:]
print(f"--html, a one-byte keyword on every byte: peak {peak / 1e6:.1f} MB (bound {DENSE_BOUND / 1e6:.1f} MB)")
if peak > DENSE_BOUND:
    failures.append(f"--html on the dense text held {peak / 1e6:.1f} MB, over {DENSE_BOUND / 1e6:.1f} MB")
if marks != 2 * 1024 * 1024:  # the page shows the text's first 2 MiB
    failures.append(f"the dense report marks {marks} occurrences, not 2097152")

first = []
peak = peak_of(["--context", "0", "--matches"] + one_byte + [dense],
               lambda stream: first.append(stream.read(1 << 20)), closed_early=True)
print(f"--matches, a one-byte keyword on every byte: peak {peak / 1e6:.1f} MB (bound {DENSE_BOUND / 1e6:.1f} MB)")
if peak > DENSE_BOUND:
    failures.append(f"--matches on the dense text held {peak / 1e6:.1f} MB, over {DENSE_BOUND / 1e6:.1f} MB")
lines = first[0].split(b"\n")[:4]
if [b'"group": "member"' in l for l in lines[:2]] != [True, False] or b'"spans": [[1, 2]]' not in lines[2]:
    failures.append(f"the dense text's first matches are not the member's and the manual word's at 0, then at 1: {lines}")

lines = 0
def count_lines(stream):
    global lines
    for piece in iter(lambda: stream.read(1 << 20), b""):
        lines += piece.count(b"\n")

peak = peak_of(["--matches"] + texts, count_lines)
print(f"--matches: {lines} lines, peak {peak / 1e6:.1f} MB (bound {BOUND / 1e6:.1f} MB)")
if lines < TEXTS * 100_000:
    failures.append(f"--matches wrote only {lines} lines")
if peak > BOUND:
    failures.append(f"--matches held {peak / 1e6:.1f} MB, over {BOUND / 1e6:.1f} MB")

report = os.path.join(workdir, "report.html")
peak = peak_of(["--html", report, "--lang", "en"] + texts, lambda stream: stream.read())
with open(report, "rb") as f:
    page = f.read()
print(f"--html: {len(page) / 1e6:.1f} MB page, peak {peak / 1e6:.1f} MB (bound {BOUND / 1e6:.1f} MB)")
if peak > BOUND:
    failures.append(f"--html held {peak / 1e6:.1f} MB, over {BOUND / 1e6:.1f} MB")
shown = [p for p in texts if b"<h3>" + p.encode() + b"</h3>" in page]
sections = [page.find(b"<h3>" + p.encode() + b"</h3>") for p in shown]
if not shown or shown != texts[:len(shown)] or sections != sorted(sections):
    failures.append(f"the report's texts are not the first ones in order: {sections}")
if len(shown) + page.count(b"<td class=\"note\">text not shown</td>") != TEXTS:
    failures.append(f"{len(shown)} texts shown, and not every other one is listed as not shown")
if not page.rstrip().endswith(b"</html>"):
    failures.append("the report is not complete")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
