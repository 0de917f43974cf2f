#!/usr/bin/env python3
"""The --html report loaded in headless Chromium, checked from the page itself.

For the sample text and for a text built so that keywords match across the
places where earlier deletions closed the text up, the report is loaded with
?selfcheck (the page's own script then counts the marks, clicks every bar of
the chart and writes what it saw into the page), and the DOM after load is
compared with the counter's --json output: the distinct data-occurrence
values of each member are as many as the member's count, a member's bar shows
only that member's marks, and a join-made occurrence has several marks. A
third text has a keyword inside ordinary words: those marks are told apart,
name the word on hover, and the switch hides them alone.

Usage: report_in_browser_test.py COUNTER SAMPLE CHROMIUM WORKDIR
"""
import collections
import json
import os
import re
import subprocess
import sys

counter, sample, chromium, workdir = sys.argv[1:5]
os.makedirs(workdir, exist_ok=True)
failures = []


def check(ok, message):
    if not ok:
        failures.append(message)
    return ok


def run(args):
    return subprocess.run([counter] + args, capture_output=True, check=True, timeout=120).stdout


def join_text():
    """Each member's longest keyword with an earlier member's full name put
    inside it after its first character: the earlier member takes the name,
    and the keyword forms across the join."""
    lines = run(["--dump-keywords"]).decode("cp932").split("\r\n")[1:148]
    table = [lines[7 * m:7 * m + 7] for m in range(21)]
    parts = []
    for m in range(1, 21):
        word = max(table[m], key=len)
        inner = table[m - 1][0]
        parts.append(word[:1] + inner + word[1:] + "。\n")
        parts.append("そして" + table[m][1] + "も。\n")  # an ordinary occurrence too
    return "".join(parts)


def load(report):
    url = "file://" + os.path.abspath(report) + "?selfcheck"
    dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu",
                          "--virtual-time-budget=5000", "--dump-dom", url],
                         capture_output=True, timeout=120).stdout.decode("utf-8")
    return dom


def check_inside(name, dom, marks, lines):
    """The marks of occurrences inside ordinary words, which --matches names."""
    inside = re.findall(r'<mark data-member="\d+" data-slot="\d" data-occurrence="\d+" class="inside" '
                        r'data-inside="([^"]*)"', dom)
    hidden = [line.split() for line in lines if line.startswith("hidden ")]
    check(hidden == [["hidden", "0", str(len(marks) - len(inside))]],
          f"{name}: with the switch on, {hidden} (inside marks, other marks) still coloured")
    return inside


def check_report(name, text_path):
    report = os.path.join(workdir, name + ".html")
    if os.path.exists(report):
        os.remove(report)
    counts = json.loads(run(["--json", text_path]))
    totals = {m: member["total"] for m, member in enumerate(counts["members"])}
    run(["--html", report, text_path])
    dom = load(report)
    marks = re.findall(r'<mark data-member="(\d+)" data-slot="(\d)" data-occurrence="(\d+)"[^>]*>', dom)
    check(marks, f"{name}: no marks in the loaded page")
    distinct = collections.defaultdict(set)
    per_occurrence = collections.Counter()
    marks_of = collections.Counter()
    for member, _slot, occurrence in marks:
        distinct[int(member)].add(occurrence)
        per_occurrence[occurrence] += 1
        marks_of[int(member)] += 1
    for m in range(21):
        check(len(distinct[m]) == totals[m],
              f"{name}: member {m} has {len(distinct[m])} occurrences marked, count {totals[m]}")

    selfcheck = re.search(r'<pre id="selfcheck">(.*?)</pre>', dom, re.S)
    if not check(selfcheck, f"{name}: the page wrote no self-check"):
        return per_occurrence
    lines = selfcheck.group(1).split("\n")
    seen = {}
    clicked = {}
    for line in lines:
        fields = line.split()
        if fields[0] == "occurrences":
            seen[int(fields[1])] = int(fields[2])
        elif fields[0] == "clicked":
            clicked[int(fields[1])] = (int(fields[2]), int(fields[3]))
        elif fields[0] in ("before-click", "after-clicks"):
            check(int(fields[1]) == 0 and int(fields[2]) == len(marks),
                  f"{name}: {line!r}: every mark should be coloured when no member is chosen")
    check(seen == totals, f"{name}: occurrences the page counted {seen} differ from the counts {totals}")
    check_inside(name, dom, marks, lines)
    check(sorted(clicked) == list(range(21)), f"{name}: not every bar was clicked: {sorted(clicked)}")
    for m, (own, others) in clicked.items():
        check(own == marks_of[m] and others == 0,
              f"{name}: after clicking member {m}: {own} of its {marks_of[m]} marks and {others} others shown")
    return per_occurrence


check_report("sample", sample)
inside_text = os.path.join(workdir, "inside.txt")
with open(inside_text, "w", encoding="utf-8") as f:
    f.write("明るい部屋で、るいちゃんと話した。\nファイルあるいはディレクトリ。\n")
run(["--lang", "en", "--html", os.path.join(workdir, "inside.html"), inside_text])
dom = load(os.path.join(workdir, "inside.html"))
words = check_inside("inside", dom, re.findall(r"<mark data-member", dom),
                     re.search(r'<pre id="selfcheck">(.*?)</pre>', dom, re.S).group(1).split("\n"))
check(words == ["明るい", "あるいは"], f"inside: marked inside {words}, not 明るい and あるいは")
check("inside-title 月岡瑠衣 / るい (inside the ordinary word 明るい)" in dom,
      "inside: the first inside mark's hover text does not name 明るい")
joined = os.path.join(workdir, "joins.txt")
with open(joined, "w", encoding="utf-8") as f:
    f.write(join_text())
per_occurrence = check_report("joins", joined)
split = sum(1 for n in per_occurrence.values() if n >= 2)
check(split >= 10, f"joins: only {split} occurrences are marked in several places")

for failure in failures:
    print("FAIL:", failure)
print("report in browser:", "FAIL" if failures else "PASS")
sys.exit(1 if failures else 0)
