#!/usr/bin/env python3
"""Every output form of quenbol-count on one mixed corpus, kept for comparing.

Makes a fixed corpus (the sample thread in code page 932 and UTF-8, a 3 MB
generated text, small texts, EUC-JP and UTF-16 copies, ill-formed UTF-8, an
empty file, a keyword file, and thread logs of each format: .dat logs with
their markup, a copied thread, a talk history, dated paragraphs) and runs each
form on it, the logs counted post by post as well, writing every run's
standard output, standard error and exit status (and the report file) into
OUT. Two snapshots of two builds must be equal byte for byte when a change
means to keep behaviour:

    python3 scripts/output_snapshot.py --bin old/quenbol-count --out /tmp/before
    python3 scripts/output_snapshot.py --bin build/native/bin/quenbol-count --out /tmp/after
    diff -r /tmp/before /tmp/after
"""
import argparse
import os
import random
import shutil
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def make_corpus(folder):
    with open(os.path.join(ROOT, "samples", "sample-thread.txt"), encoding="utf-8") as f:
        thread = f.read().encode("cp932", errors="ignore").decode("cp932")
    rng = random.Random(27)
    lines = thread.splitlines()
    big = "\n".join(rng.choice(lines) for _ in range(60000))[:1_500_000]
    files = {
        "a-thread-cp932.txt": thread.encode("cp932"),
        "b-thread-utf8.txt": thread.encode("utf-8"),
        "c-big-cp932.txt": big.encode("cp932"),
        "d-big-utf8.txt": big.encode("utf-8"),
        "e-small-eucjp.txt": lines[3].encode("euc_jp", errors="ignore"),
        "f-small-utf16.txt": b"\xff\xfe" + lines[5].encode("utf-16-le"),
        "g-illformed-utf8.txt": thread.encode("utf-8")[:4000] + b"\xff\xfe\x80" + thread.encode("utf-8")[4000:6000],
        "h-empty.txt": b"",
        "i-ascii.txt": b"no names here\r\n",
        "j-jis.txt": lines[7].encode("iso2022_jp", errors="ignore"),
    }
    texts = os.path.join(folder, "texts")
    os.makedirs(texts)
    for name, data in files.items():
        with open(os.path.join(texts, name), "wb") as f:
            f.write(data)
    return texts


def make_logs(folder, thread):
    """Thread logs in each format, counted post by post: a hand-made .dat log
    with every kind of markup, a generated one of about 1 MB, the same posts
    as a copied thread, a talk history and dated paragraphs."""
    rng = random.Random(29)
    lines = [line for line in thread.splitlines() if line.strip()]
    pieces = ["&amp;", "&lt;", "&gt;", "&quot;", "&#12354;", "&#x3044;", "&#0;", "&#xZZ;", "&bogus;", "& ", "<b>", "</b>",
              " <br> ", "<br/>", "<BR>", "<brx>", " ", "　", "<", ">", "&", "ID:", "<>", "ソ", "表", "\\"]

    def body():
        words = [rng.choice(lines)[: rng.randint(0, 60)] if rng.random() < 0.6 else rng.choice(pieces)
                 for _ in range(rng.randint(0, 14))]
        return "".join(words)

    def stamp(n):
        return f"2024/12/{28 + n % 4:02}(月) {n % 24:02}:{n % 60:02}:{n % 60:02}.{n % 100:02} ID:x{n % 97}+/y"

    dat = ["名無しさん<>sage<>2024/06/01(土) 20:00:12.34 ID:abCD1234<> 瑠衣ちゃん &gt; 七緒 <br> 二行目 &amp; "
           "&quot;引用&quot; <>【ピポラ】スレ Part1 &amp; 雑談<>extra<>fields",
           "名無しさん<><>2024/06/01(土) 20:05:00.00 ID:Xy/9+zQ0<> <a href=\"../test/read.cgi/idol/1/1\" "
           "rel=\"noopener\">&gt;&gt;1</a> <br> <b>るい</b>&#12354;&#x3044;&lt;br&gt; <>",
           "あぼーん<>あぼーん<>あぼーん<>あぼーん<>", "", "   ", "only<>two fields &amp; 瑠衣",
           "名無し<>sage<>2024/02/30 25:61 ID:<>  <br>  <br> 七緒 <br> <br> <>", "名無し<>sage<>no date ID:id1 ID:id2<> x <>"]
    dat += [f"名無しさん<>{rng.choice(['', 'sage'])}<>{stamp(n)}<> {body()} <>" for n in range(300)]
    big, size, n = [], 0, 0
    while size < 1_000_000:
        n += 1
        line = f"名無しさん<>sage<>{stamp(n)}<> {body()} <br> {body()} <>" + ("スレタイ &amp; 瑠衣" if n == 1 else "")
        big.append(line)
        size += len(line.encode("cp932", errors="replace"))
    copied = ["【ピポラ】スレ Part1", ""]
    for n in range(1, 200):
        copied.append(rng.choice([f"{n} 名前：名無しさん [sage] 投稿日：{stamp(n)}", f"{n}：名無し：{stamp(n)}",
                                  f"{n} ：名無し ：2024/06/02(日) 08:00"]))
        copied += [rng.choice(lines) for _ in range(rng.randint(0, 4))] + [""]
    talk = ["[LINE] ピポラ部のトーク履歴", "保存日時：2024/06/02 10:00", ""]
    for n in range(300):
        if n % 40 == 0:
            talk.append(f"2024/{1 + n // 40:02}/01(土)")
        talk.append(rng.choice([f"{n % 24:02}:{n % 60:02}\tたろう\t{rng.choice(lines)}",
                                f"{n % 24:02}:{n % 60:02}\tはなこ\t\"{rng.choice(lines)}\n\"\"るい\"\"\n{rng.choice(lines)}\"",
                                f"{n % 24:02}:{n % 60:02}\tはなこさんが参加しました。", rng.choice(lines)]))
    paragraphs = "\n\n".join("\n".join(rng.choice(lines) for _ in range(rng.randint(1, 5))) for _ in range(100))
    files = {
        "1700000001.dat": ("\n".join(dat) + "\n").encode("cp932", errors="replace"),
        "1700000002.dat": ("\r\n".join(big) + "\r\n").encode("cp932", errors="replace"),
        "1700000003-copied.txt": "\n".join(copied).encode("cp932", errors="replace"),
        "1700000004-talk-utf8.txt": "\n".join(talk).encode("utf-8"),
        "2024-06-01-paragraphs.txt": paragraphs.encode("cp932", errors="replace"),
    }
    logs = os.path.join(folder, "logs")
    os.makedirs(logs)
    for name, data in files.items():
        with open(os.path.join(logs, name), "wb") as f:
            f.write(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    binary = os.path.abspath(args.bin)
    out = os.path.abspath(args.out)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    work = os.path.join(out, "corpus")
    texts = make_corpus(work)
    make_logs(work, open(os.path.join(texts, "b-thread-utf8.txt"), encoding="utf-8").read())
    names = sorted(os.listdir(texts))
    paths = [os.path.join("texts", n) for n in names]

    keywords = subprocess.run([binary, "--dump-keywords"], capture_output=True, check=True).stdout
    # The same table with one keyword lengthened and one row emptied, saved as a user would.
    edited = keywords.replace("るい".encode("cp932"), "るいちゃん".encode("cp932"), 1)
    with open(os.path.join(work, "edited.ini"), "wb") as f:
        f.write(edited)
    with open(os.path.join(work, "list.txt"), "wb") as f:
        f.write(b"\n".join(p.encode() for p in paths[:4] + ["texts/missing.txt"] + paths[4:]) + b"\n")

    forms = {
        "table": [],
        "line": ["--line"],
        "json": ["--json"],
        "jsonl": ["--jsonl"],
        "csv": ["--csv"],
        "by-keyword-table": ["--by-keyword"],
        "by-keyword-json": ["--by-keyword", "--json"],
        "by-keyword-jsonl": ["--by-keyword", "--jsonl"],
        "matches": ["--matches"],
        "matches-context-0": ["--matches", "--context", "0"],
        "matches-context-40": ["--matches", "--context", "40"],
        "report": ["--html", "report.html"],
        "report-stdout": ["--html", "-"],
        "keywords-json": ["--keywords", "edited.ini", "--json"],
        "keywords-jsonl": ["--keywords", "edited.ini", "--by-keyword", "--jsonl"],
        "manual-json": ["--manual", "スレ", "--manual", "ｗ", "--json"],
        "manual-table": ["--manual", "スレ"],
        "encoding-cp932": ["--encoding", "cp932", "--jsonl"],
        "encoding-utf8": ["--encoding", "utf-8", "--csv"],
        "one-job": ["--jobs", "1", "--jsonl"],
    }
    runs = []
    for name, options in forms.items():
        runs.append((name, options + paths))
        runs.append((name + "-one-text", options + paths[1:2]))
        runs.append((name + "-recursive", options + ["-r", "texts"]))
    runs += [
        ("missing-table", ["texts/missing.txt"] + paths),
        ("missing-jsonl", ["--jsonl", "--files-from", "list.txt"]),
        ("missing-csv", ["--csv", "--files-from", "list.txt"]),
        ("missing-matches", ["--matches", "--files-from", "list.txt"]),
        ("stdin", ["--json", "-"]),
        # The texts whose occurrences can be placed: code page 932 and UTF-8.
        ("matches-placed", ["--matches"] + paths[:4] + paths[6:9]),
        ("report-placed", ["--html", "report.html"] + paths[:4] + paths[6:9]),
        ("dump-edited", ["--keywords", "edited.ini", "--dump-keywords"]),
        ("refused-keywords", ["--keywords", "texts/i-ascii.txt"]),
        ("usage-error", ["--line", "--json"]),
        ("help", ["--help"]),
    ]
    # Post by post: the logs, and the other texts as paragraphs.
    posts = {
        "posts-jsonl": ["--jsonl"],
        "posts-csv": ["--csv"],
        "posts-json": ["--json"],
        "posts-json-week": ["--json", "--period", "week"],
        "posts-json-month": ["--json", "--period", "month"],
        "posts-table": [],
        "posts-one-job": ["--jobs", "1", "--jsonl"],
        "posts-manual": ["--manual", "スレ", "--jsonl"],
    }
    for name, options in posts.items():
        runs.append((name, ["--unit", "post"] + options + ["-r", "logs", "texts"]))
    # The report of posts places their occurrences: the logs, and texts in code page 932 and UTF-8.
    runs.append(("posts-report", ["--unit", "post", "--html", "report.html", "-r", "logs"] + paths[:4]))
    for form in ("dat", "thread", "line-talk", "plain"):
        runs.append((f"posts-as-{form}", ["--unit", "post", "--format", form, "--jsonl", "-r", "logs", "texts"]))
    for name, command in runs:
        stdin = open(os.path.join(texts, names[0]), "rb")
        result = subprocess.run([binary, "--progress", "never"] + command, cwd=work, stdin=stdin, capture_output=True)
        stdin.close()
        for suffix, data in (("out", result.stdout), ("err", result.stderr), ("status", str(result.returncode).encode())):
            with open(os.path.join(out, f"{name}.{suffix}"), "wb") as f:
                f.write(data)
        report = os.path.join(work, "report.html")
        if os.path.exists(report):
            os.replace(report, os.path.join(out, f"{name}.html"))
    print(f"{len(runs)} runs written to {out}")


if __name__ == "__main__":
    main()
