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

Two hand-made .dat threads, counted post by post: the line chart has a line
for each member with mentions, picking members in its legend leaves only
their lines, each heat-map cell lists exactly the posts naming both members
(the first 20, and how many more) as the counter's own --jsonl rows say, and
the page is in Japanese under a Japanese locale and in English with --lang en.

Usage: report_in_browser_test.py COUNTER SAMPLE CHROMIUM WORKDIR
"""
import collections
import json
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_checks import check, finish  # noqa: E402
from page_checks import load as load_page  # noqa: E402

counter, sample, chromium, workdir = sys.argv[1:5]
os.makedirs(workdir, exist_ok=True)


def run(args, env=None):
    return subprocess.run([counter] + args, capture_output=True, check=True, timeout=120, env=env).stdout


def keyword_table():
    """The built-in keywords, seven lines a member (the full name first)."""
    lines = run(["--dump-keywords"]).decode("cp932").split("\r\n")[1:148]
    return [lines[7 * m:7 * m + 7] for m in range(21)]


def join_text():
    """Each member's longest keyword with an earlier member's full name put
    inside it after its first character: the earlier member takes the name,
    and the keyword forms across the join."""
    table = keyword_table()
    parts = []
    for m in range(1, 21):
        word = max(table[m], key=len)
        inner = table[m - 1][0]
        parts.append(word[:1] + inner + word[1:] + "。\n")
        parts.append("そして" + table[m][1] + "も。\n")  # an ordinary occurrence too
    return "".join(parts)


def load(report):
    return load_page(chromium, report)


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



def write_dat(path, posts, title):
    """A .dat log: one post a line, NAME<>MAIL<>DATE ID<>BODY<>TITLE."""
    lines = [f"名無しさん<>sage<>{date} ID:{poster}<> {body} <>{title if i == 0 else ''}"
             for i, (date, poster, body) in enumerate(posts)]
    with open(path, "wb") as f:
        f.write(("\n".join(lines) + "\n").encode("cp932"))


def corpus_threads():
    """Two threads over three days: one pair of members named together in 25
    posts (more than the map lists), others in a few, some posts naming one
    member or none, with markup and entities in the bodies."""
    n = [row[0] for row in keyword_table()]
    first = []
    for i in range(25):
        extra = f"、{n[2]}も" if i % 5 == 0 else ""
        first.append((f"2024/06/01(土) {10 + i // 4}:{i % 60:02d}:00.00", f"p{i % 3}",
                      f"{n[0]}と{n[1]}{extra} &lt;b&gt;最高&lt;/b&gt; <br> 次も"))
    first += [("2024/06/02(日) 09:00:00.00", "q1", f"{n[3]}と{n[4]}の話"),
              ("2024/06/02(日) 09:10:00.00", "q2", f'<a href="../test/read.cgi/x/1">&gt;&gt;26</a> {n[3]}だけ'),
              ("2024/06/02(日) 09:20:00.00", "q3", f"{n[5]}、{n[0]}"),
              ("2024/06/02(日) 09:30:00.00", "q4", "誰の話でもない")]
    second = [("2024/06/03(月) 12:00:00.00", "r1", f"{n[1]} {n[2]}"),
              ("2024/06/03(月) 12:05:00.00", "r2", f"{n[6]}"),
              ("2024/06/03(月) 12:10:00.00", "r3", f"{n[7]}と{n[8]}、" + "とても長い書き込みです。" * 8)]
    a, b = os.path.join(workdir, "thread-a.dat"), os.path.join(workdir, "thread-b.dat")
    write_dat(a, first, "テストスレ")
    write_dat(b, second, "次スレ")
    return [a, b]


def selfcheck_lines(dom, name):
    found = re.search(r'<pre id="selfcheck">(.*?)</pre>', dom, re.S)
    check(found, f"{name}: the page wrote no self-check")
    return found.group(1).split("\n") if found else []


def check_corpus():
    files = corpus_threads()
    mentions = [m["mentions"] for m in json.loads(run(["--json", "--unit", "post"] + files))["members"]]
    with_mentions = [m for m in range(21) if mentions[m] > 0]
    # The posts naming each pair, in input order, from the counter's own rows.
    naming = collections.defaultdict(list)
    for line in run(["--jsonl", "--unit", "post"] + files).decode("utf-8").splitlines():
        row = json.loads(line)
        named = [m for m, member in enumerate(row["members"]) if member["current"] > 0]
        for i, a in enumerate(named):
            for b in named[i + 1:]:
                naming[(a, b)].append(f"{row['file']}:{row['post']}")
    check(len(naming[(0, 1)]) == 25, f"corpus: the thread names members 0 and 1 together {len(naming[(0, 1)])} times")

    japanese = dict(os.environ, LANG="ja_JP.UTF-8")
    japanese.pop("LC_ALL", None)
    japanese.pop("LC_MESSAGES", None)
    report = os.path.join(workdir, "corpus.html")
    run(["--html", report, "--unit", "post"] + files, env=japanese)
    dom = load(report)
    lines = selfcheck_lines(dom, "corpus")
    shown = " ".join(map(str, with_mentions))
    check(f"trend-lines {shown}" in lines, f"corpus: lines shown {[l for l in lines if l.startswith('trend-lines')]}, "
          f"not one per member with mentions ({shown})")
    a, b = with_mentions[0], with_mentions[1]
    for expected in (f"trend-picked {a}: {a}", f"trend-picked {a} {b}: {a} {b}", f"trend-unpicked {shown}"):
        check(expected in lines, f"corpus: {expected!r} not among {[l for l in lines if l.startswith('trend-')]}")

    listed = {}
    for line in lines:
        if line.startswith("pair "):
            pair, blocks, rest = line[5:].split(" ", 2)
            check(blocks == "1", f"corpus: cell {pair} shows {blocks} lists of posts")
            listed[tuple(map(int, pair.split("-")))] = rest
        elif line.startswith("pair-closed "):
            check(line == "pair-closed 0", f"corpus: a second click leaves a list open ({line})")
    expected = {pair: ",".join(posts[:20]) + f" more {len(posts) - min(len(posts), 20)}"
                for pair, posts in naming.items()}
    check(listed == expected, f"corpus: the cells list {listed}, the counter's rows say {expected}")
    check("&lt;b&gt;最高&lt;/b&gt;" in dom and "<b>最高" not in dom, "corpus: an excerpt's markup is not escaped")

    japanese_headings = ["ランキング", "推移", "同時に話題になるメンバー"]
    english_headings = ["Ranking", "Over time", "Talked about together"]
    for language, env, args in (("ja", japanese, []), ("en", japanese, ["--lang", "en"])):
        page = os.path.join(workdir, f"corpus-{language}.html")
        run(["--html", page, "--unit", "post"] + args + files, env=env)
        text = open(page, encoding="utf-8").read()
        headings = re.findall(r"<h2[^>]*>([^<]*)</h2>", text)
        wanted, other = (japanese_headings, english_headings) if language == "ja" else (english_headings, japanese_headings)
        check(all(h in headings for h in wanted) and not any(h in headings for h in other),
              f"corpus ({language}): headings {headings}")
        check(f'<html lang="{language}">' in text, f"corpus ({language}): the page does not say lang={language}")
        check(f'<section id="trend">\n<h2>{wanted[1]}</h2>' in text and
              f'<section id="together">\n<h2>{wanted[2]}</h2>' in text,
              f"corpus ({language}): the sections are not headed {wanted[1]} and {wanted[2]}")


check_corpus()

finish("report in browser")
