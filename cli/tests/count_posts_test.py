#!/usr/bin/env python3
"""quenbol-count as a user runs it, in either build: a hand-made .dat log and
LINE talk counted post by post (--jsonl and --json --period week), and --help
in Japanese as UTF-8 when redirected.

    count_posts_test.py WORKDIR COUNTER [WRAPPER...]

The Windows build runs under Wine through its wrapper (cmake/wine-run.sh).
The expected values are worked out by hand from the texts below.
"""
import json
import os
import shutil
import subprocess
import sys

# Three posts of a .dat log (code page 932): the title and a <br> in post 1,
# an anchor, a poster named after a member and an alias in post 2, an entity
# in post 3. 2024-06-01 and 06-02 are in ISO week 22, 06-03 in week 23.
DAT = (
    "名無しさん<>sage<>2024/06/01(土) 20:00:12.34 ID:abc<> 瑠衣と七緒 <br> &gt;&gt;1 <>ライブ実況スレ<>\n"
    "七緒推し<><>2024/06/02(日) 09:30:00.00 ID:def<> "
    '<a href="../test/read.cgi/x/1/1" rel="noopener noreferrer" target="_blank">&gt;&gt;1</a>'
    " ナオピー！ <br> 澄香も <>\n"
    "名無しさん<><>2024/06/03(月) 12:00:00.00 ID:ghi<> るい、るい &amp; 千鶴 <>\n"
)
# A saved talk (UTF-8): speakers named after members, a quoted message of two
# lines, and a join line (one tab) that is not a message.
TALK = (
    "[LINE] 推し会のトーク履歴\n保存日時：2024/06/03 22:00\n\n"
    "2024/06/01(土)\n"
    "21:00\t瑠衣推し\t七緒かわいい\n"
    '21:05\tみのり\t"今日の澄香\n七緒もよかった"\n'
    "2024/06/03(月)\n"
    "08:00\t瑠衣推し\tおはよう\n"
    "08:01\tゆずこっぺがグループに参加しました。\n"
)

# (file, post, date, id, the members named with their counts)
ROWS = [
    ("live.dat", 1, "2024-06-01T20:00:12", "abc", {"月岡瑠衣": 1, "高篠七緒": 1}),
    ("live.dat", 2, "2024-06-02T09:30:00", "def", {"高篠七緒": 1, "椎葉澄香": 1}),
    ("live.dat", 3, "2024-06-03T12:00:00", "ghi", {"月岡瑠衣": 2, "芦屋千鶴": 1}),
    ("talk.txt", 1, "2024-06-01T21:00:00", None, {"高篠七緒": 1}),
    ("talk.txt", 2, "2024-06-01T21:05:00", None, {"椎葉澄香": 1, "高篠七緒": 1}),
    ("talk.txt", 3, "2024-06-03T08:00:00", None, {}),
]
# name: (mentions, posts naming, share of the 6 posts)
SUMS = {"椎葉澄香": (2, 2, 0.3333), "芦屋千鶴": (1, 1, 0.1667), "月岡瑠衣": (3, 2, 0.3333), "高篠七緒": (4, 4, 0.6667)}
# Pairs of members named in one post, and how many such posts.
PAIRS = {("月岡瑠衣", "高篠七緒"): 1, ("椎葉澄香", "高篠七緒"): 2, ("芦屋千鶴", "月岡瑠衣"): 1}
WEEKS = [("2024-W22", 4, {"椎葉澄香": 2, "月岡瑠衣": 1, "高篠七緒": 4}), ("2024-W23", 2, {"月岡瑠衣": 2, "芦屋千鶴": 1})]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(command, args, env=None):
    done = subprocess.run(command + args, capture_output=True, timeout=120, env=env)
    check(done.returncode == 0, f"{args} exited with {done.returncode}: {done.stderr!r}")
    return done.stdout


def named(members, field):
    return {m["name"]: m[field] for m in members if m[field]}


def main():
    workdir, command = sys.argv[1], sys.argv[3:] + [sys.argv[2]]
    shutil.rmtree(workdir, ignore_errors=True)
    os.makedirs(workdir)
    os.chdir(workdir)
    with open("live.dat", "wb") as f:
        f.write(DAT.encode("cp932"))
    with open("talk.txt", "wb") as f:
        f.write(TALK.encode("utf-8"))

    out = run(command, ["--unit", "post", "--jsonl", "live.dat", "talk.txt"])
    check(b"\r" not in out, "--jsonl has a CR")
    lines = out.decode("utf-8").splitlines()
    check(len(lines) > 4 and lines[4].startswith('{"file": "talk.txt", "post": 2, "date": "2024-06-01T21:05:00", "id": null, '
                              '"members": [{"name": "椎葉澄香", "current": 1}, {"name": "鷲尾柚子", "current": 0}'),
          f"row 5 is {lines[4:5]}")
    got = [(r["file"], r["post"], r["date"], r["id"], named(r["members"], "current"))
           for r in map(json.loads, lines)]
    check(got == ROWS, f"--jsonl rows: {got}")

    summary = json.loads(run(command, ["--json", "--unit", "post", "--period", "week", "live.dat", "talk.txt"]))
    check(summary["posts"] == 6, f"posts: {summary['posts']}")
    sums = {m["name"]: (m["mentions"], m["posts"], m["share_of_posts"]) for m in summary["members"] if m["mentions"]}
    check(sums == SUMS, f"sums: {sums}")
    names = [m["name"] for m in summary["members"]]
    pairs = {(names[a], names[b]): n for a, row in enumerate(summary["co_mentions"])
             for b, n in enumerate(row) if n and a < b}
    check(pairs == PAIRS, f"co-mentions: {pairs}")
    check(all(summary["co_mentions"][i][i] == summary["members"][i]["posts"] for i in range(21)),
          "the co-mentions' diagonal is not the posts naming each member")
    weeks = [(p["period"], p["posts"], {names[i]: n for i, n in enumerate(p["members"]) if n})
             for p in summary["periods"]]
    check(weeks == WEEKS, f"weeks: {weeks}")

    help_ja = run(command, ["--help", "--lang", "ja"])
    check(help_ja.decode("utf-8", errors="replace").startswith("使い方: quenbol-count "),
          f"--help --lang ja begins {help_ja[:40]!r}")
    check("  --unit UNIT       単独で数える単位" in help_ja.decode("utf-8", errors="replace"),
          "--help --lang ja has no Japanese line for --unit")

    for failure in failures:
        print("FAIL:", failure)
    print("count_posts_test:", "FAIL" if failures else "PASS")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
