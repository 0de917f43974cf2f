#!/usr/bin/env python3
"""The report's corpus sections (出現位置, キーワード) loaded in headless Chromium.

A small hand-made corpus of three texts: one with a keyword inside ordinary
words, one of generated lines with keywords in varied contexts, and one that
names 高篠七緒 (member 9, in no other text) 250 times. The report is loaded
with ?selfcheck (the page's own script sums each strip's cells, clicks each
keyword table's two context headings and writes the row orders it saw, and
turns on the switch that hides the occurrences inside ordinary words), and
what it wrote is compared with the counter's --json and --matches output and
with a reference sort in Python.

Usage: report_corpus_browser_test.py COUNTER CHROMIUM WORKDIR
"""
import html
import json
import os
import random
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_checks import check, finish, load  # noqa: E402

counter, chromium, workdir = sys.argv[1:4]
os.makedirs(workdir, exist_ok=True)


def run(args):
    return subprocess.run([counter] + args, capture_output=True, check=True, timeout=120).stdout


def write(name, text, encoding="utf-8"):
    path = os.path.join(workdir, name)
    with open(path, "w", encoding=encoding, newline="") as f:
        f.write(text)
    return path


# Member 9 (高篠七緒) is named in the third text only.
NAMES = ["椎葉", "澄香", "千鶴", "みのり", "睦美", "紗羅", "瑠衣", "るい"]
FILLER = ["今日は", "ライブで", "あ", "ん", "昨日の", "配信、", "さんが", "と", "!", "ABC", "、", "ね"]
rng = random.Random(2929)
lines = []
for _ in range(60):
    words = [rng.choice(FILLER) for _ in range(rng.randint(0, 8))]
    words.insert(rng.randint(0, len(words)), rng.choice(NAMES))
    lines.append("".join(words))
texts = [
    write("inside.txt", "明るい部屋で、るいちゃんと話した。\nファイルあるいはディレクトリ。\n"),
    write("mixed.txt", "\n".join(lines) + "\n", "cp932"),
    write("many.txt", "".join(f"{rng.choice(FILLER)}七緒{i % 7}。" for i in range(250))),
]
report = os.path.join(workdir, "corpus.html")
run(["--html", report, "--lang", "ja"] + texts)
with open(report, encoding="utf-8") as f:
    page = f.read()
dom = load(chromium, report)
selfcheck = re.search(r'<pre id="selfcheck">(.*?)</pre>', dom, re.S)
if not check(selfcheck, "the page wrote no self-check"):
    finish("report corpus sections in browser")
seen = [line.split(" ") for line in html.unescape(selfcheck.group(1)).split("\n")]

check("<h2>出現位置</h2>" in page and "<h2>キーワード</h2>" in page, "the sections' headings are not in Japanese")

# 出現位置: one strip per member, its cells summing to the member's count.
counts = json.loads(run(["--json", "--by-keyword"] + texts))
strips = {int(s[1]): (int(s[2]), int(s[3])) for s in seen if s[0] == "strip"}
check(sorted(strips) == list(range(21)), f"strips for members {sorted(strips)}, not one for each of the 21")
for m, member in enumerate(counts["members"]):
    total, cells = strips.get(m, (None, 0))
    check(total == member["total"], f"member {m}'s strip sums to {total}, the count is {member['total']}")
    check(cells <= 400, f"member {m}'s strip has {cells} cells")
ranges = json.loads(re.search(r'<script type="application/json" id="position-cells">(.*?)</script>',
                              page, re.S).group(1))["ranges"]
nanami = re.search(r'<svg class="strip" data-member="9"(.*?)</svg>', page).group(1)
edges = {ranges[int(x)][ranges[int(x)].index("(") + 1:-1] for x in re.findall(r'<rect x="(\d+)"', nanami)}
check(edges == {texts[2]}, f"高篠七緒's cells name {edges}, not the third text alone")
title = [s[1:] for s in seen if s[0] == "strip-title"]
check(title and re.fullmatch(r"\d+ 件、バイト [\d,]+–[\d,]+ \(.*\)", " ".join(title[0])),
      f"a cell's hover text is {title}")

# キーワード: the rows of each keyword as the page made them on opening its
# table (the self-check opened every one), and their order after each click;
# the "where" cell names the text's last two parts, the full path on hover.
tables = {}
for entry, body in re.findall(r'<details class="kwic" data-entry="(\d+)"[^>]*>(.*?)</details>', dom, re.S):
    rows = re.findall(r'<tr data-i="(\d+)"[^>]*><td class="l">(.*?)</td><td class="k">(.*?)</td>'
                      r'<td class="r">(.*?)</td><td class="w" title="([^"]*)">(.*?)</td></tr>', body)
    for row in rows:
        check(html.unescape(row[5]) == "/".join(html.unescape(row[4]).split("/")[-2:]),
              f"keyword {entry}: the row names {row[5]} for {row[4]}")
    more = re.search(r'<p class="more">ほか ([\d,]+) 件</p>', body)
    tables[int(entry)] = ([(i, html.unescape(l), k, html.unescape(r), html.unescape(w)) for i, l, k, r, w, _ in rows],
                          int(more.group(1).replace(",", "")) if more else 0)
clicked = {(s[0], int(s[1])): s[2:] for s in seen if s[0] in ("kwic-left", "kwic-right")}
for entry, (rows, _) in tables.items():
    by_left = [r[0] for r in sorted(rows, key=lambda r: r[1][::-1])]
    by_right = [r[0] for r in sorted(rows, key=lambda r: r[3])]
    check(clicked.get(("kwic-left", entry)) == by_left, f"keyword {entry}: sorted by the left context "
          f"{clicked.get(('kwic-left', entry))}, the reference sort says {by_left}")
    check(clicked.get(("kwic-right", entry)) == by_right, f"keyword {entry}: sorted by the right context "
          f"{clicked.get(('kwic-right', entry))}, the reference sort says {by_right}")
check(any(len(set(r[1] for r in rows)) > 5 for rows, _ in tables.values()), "no keyword table has varied contexts")

expected_inside = 0
# Each keyword's occurrences, kept every stride-th from the first (the
# smallest power of two that keeps at most 100), as --matches lists them:
# the same texts, and marked inside ordinary words exactly where it says so.
matches = [json.loads(line) for line in run(["--matches"] + texts).decode("utf-8").splitlines()]
for m, member in enumerate(counts["members"]):
    for keyword in member["keywords"]:
        entry = m * 7 + keyword["slot"]
        found = [x for x in matches if x["group"] == "member" and x["member"] == m and x["slot"] == keyword["slot"]]
        if not found:
            check(entry not in tables, f"keyword {entry} has a table but no occurrences")
            continue
        rows, more = tables.get(entry, ([], 0))
        stride = 1
        while -(-len(found) // stride) > 100:
            stride *= 2
        kept = found[::stride]
        check(len(rows) + more == keyword["total"] and len(rows) == len(kept),
              f"keyword {entry}: {len(rows)} rows and {more} more, for {keyword['total']} occurrences")
        rows = sorted(rows, key=lambda r: int(r[0]))
        marked = [(r[4], (re.search(r'data-inside="([^"]*)"', r[2]) or [None, None])[1]) for r in rows]
        expected = [(x["file"], x.get("inside")) for x in kept]
        expected_inside += sum(1 for x in kept if "inside" in x)
        check(marked == expected, f"keyword {entry}: rows (text, inside word) {marked[:5]}..., "
              f"--matches says {expected[:5]}...")
nanami_slot = next(k["slot"] for k in counts["members"][9]["keywords"] if k["word"] == "七緒")
nanami_rows, nanami_more = tables.get(9 * 7 + nanami_slot, ([], 0))
check((len(nanami_rows), nanami_more) == (63, 187),  # every fourth of 250
      f"七緒's 250 occurrences show {len(nanami_rows)} rows and ほか {nanami_more} 件, not 63 and 187")

hidden = [s for s in seen if s[0] == "kwic-hidden"]
rows_in_page = sum(len(rows) for rows, _ in tables.values())
inside_rows = len(re.findall(r'<tr data-i="\d+" class="inside">', dom))
check(inside_rows == expected_inside >= 2, f"{inside_rows} rows marked inside ordinary words, "
      f"--matches says {expected_inside} (明るい, あるいは at least)")
check(hidden == [["kwic-hidden", "0", str(rows_in_page - inside_rows)]],
      f"with the switch on, {hidden} (inside rows, other rows) still shown")

# Counted post by post: positions are posts, each strip sums to the member's
# mentions, and the texts are shown post by post under their headings.
threads = [write("a.dat", "".join(f"n<><>2024/06/0{d}(土) 20:00:00.00 ID:x{p}<> {body} <>{'スレ' if p == 0 else ''}\n"
                                  for p, body in enumerate(["瑠衣と七緒", "明るい <br> 澄香", "あ", "七緒！七緒"])
                                  for d in [1 + p % 2]), "cp932"),
           write("b.dat", "n<><>2024/06/03(月) 20:00:00.00 ID:y<> 七緒 <>スレ<>\n", "cp932")]
post_report = os.path.join(workdir, "posts.html")
run(["--html", post_report, "--unit", "post", "--lang", "en"] + threads)
with open(post_report, encoding="utf-8") as f:
    post_page = f.read()
post_counts = json.loads(run(["--json", "--unit", "post"] + threads))
for m, member in enumerate(post_counts["members"]):
    strip = re.search(rf'<svg class="strip" data-member="{m}" viewBox="0 0 (\d+) 1"(.*?)</svg>', post_page)
    total = sum(int(n) for n in re.findall(r'data-count="(\d+)"', strip.group(2)))
    check(total == member["mentions"], f"posts: member {m}'s strip sums to {total}, mentions {member['mentions']}")
check(re.search(r'viewBox="0 0 (\d+) 1"', post_page).group(1) == "5", "posts: the strips are not 5 posts long")
headings = re.findall(r'<h4 class="post">([^<]*)</h4>', post_page)
check(headings[:2] == ["#1 2024-06-01T20:00:00 ID:x0", "#2 2024-06-02T20:00:00 ID:x1"] and len(headings) == 5,
      f"posts: the headings are {headings}")

# The standard input is named in the page's language wherever a text is
# named; the English hover of a cell reads right for one mention.
stdin_report = os.path.join(workdir, "stdin.html")
subprocess.run([counter, "--html", stdin_report, "--lang", "ja", "-"], input="七緒と瑠衣\n".encode("cp932"),
               check=True, timeout=120)
with open(stdin_report, encoding="utf-8") as f:
    stdin_page = f.read()
stdin_ranges = json.loads(re.search(r'id="position-cells">(.*?)</script>', stdin_page, re.S).group(1))["ranges"]
stdin_paths = json.loads(re.search(r'id="kwic-lines">(.*?)</script>', stdin_page, re.S).group(1))["paths"]
check("(standard input)" not in stdin_page and stdin_paths == [["（標準入力）", "（標準入力）"]] and
      all("（標準入力）" in r for r in stdin_ranges), f"the standard input is named {stdin_paths} and {stdin_ranges}")
hover = json.loads(re.search(r'id="position-cells">(.*?)</script>', post_page, re.S).group(1))["mentions"]
check(hover.replace("%1", "1") == "mentions: 1; ", f"the English hover of a cell of one mention reads {hover!r}")

finish("report corpus sections in browser")
