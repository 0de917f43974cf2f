#!/usr/bin/env python3
"""Every output form of quenbol-count on one mixed corpus, kept for comparing.

Makes a fixed corpus (the sample thread in code page 932 and UTF-8, a 3 MB
generated text, small texts, EUC-JP and UTF-16 copies, ill-formed UTF-8, an
empty file, a keyword file) and runs each form on it, writing every run's
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
