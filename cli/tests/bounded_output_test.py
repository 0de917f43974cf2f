#!/usr/bin/env python3
"""--matches and --html hold a bounded amount however much they write.

Six texts of 3 MB, each with a member's name about every 25 bytes (one of
them on a single line): --matches writes some 150 MB and the report's marked
texts are more than its memory holds, yet the counter's peak memory (the
child's maximum resident set, from wait4) must stay within 4 times the
largest text plus 64 MB. The report must hold every text's section, in
order, and be complete.

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


def peak_of(args, consume):
    """Runs the counter, hands its standard output to `consume` as it comes,
    and returns the child's peak resident memory in bytes."""
    child = subprocess.Popen([counter] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    consume(child.stdout)
    err = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        failures.append(f"{args[0]} exited {child.returncode}: {err.decode(errors='replace')}")
    return usage.ru_maxrss * 1024


texts = [os.path.join(workdir, f"text{n}.txt") for n in range(TEXTS)]
if counter == "--generate":
    for n, path in enumerate(texts):
        with open(path, "wb") as f:
            f.write(dense_text(n, line_breaks=n != 3))
    sys.exit(0)
subprocess.run([sys.executable, __file__, "--generate", workdir], check=True)

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
peak = peak_of(["--html", report] + texts, lambda stream: stream.read())
with open(report, "rb") as f:
    page = f.read()
print(f"--html: {len(page) / 1e6:.1f} MB page, peak {peak / 1e6:.1f} MB (bound {BOUND / 1e6:.1f} MB)")
if peak > BOUND:
    failures.append(f"--html held {peak / 1e6:.1f} MB, over {BOUND / 1e6:.1f} MB")
sections = [page.find(b"<h3>" + p.encode() + b"</h3>") for p in texts]
if -1 in sections or sections != sorted(sections):
    failures.append(f"the report's texts are missing or out of order: {sections}")
if not page.rstrip().endswith(b"</html>") or page.count(b"</section>") != TEXTS:
    failures.append("the report is not complete")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
