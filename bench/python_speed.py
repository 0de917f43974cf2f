#!/usr/bin/env python3
"""The Python package's speed beside quenbol-count on the same texts.

1. quenbol.count on a str of 10 MB (its UTF-8 form: the sample thread
   repeated), the conversion included, beside the whole process
   `quenbol-count --jsonl FILE` on that text written as a UTF-8 file, with
   the automatic choice and with --encoding utf-8 (goal: at most 1.3x).
2. quenbol.dask.count_files on a LocalCluster of two worker processes (started
   before the clock) over 200 files of 1 MB, beside
   `quenbol-count --jsonl --jobs 2` on the same files (goal: at most 2x).
3. Short texts: quenbol.count on 10,000 posts of about 200 characters, and
   what json.loads would take for each row (the rows are read into dicts by
   the compiled part instead).

Commands run in turns, so that a noisy machine slows all alike; medians are
printed, each result checked against the counter's. Run it with the
interpreter the package is installed in:

    build/python/venv/bin/python bench/python_speed.py [--build build/native] [--runs 5]
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from corpus_speed import cut_utf8, make_corpus, sample_text  # noqa: E402

import quenbol  # noqa: E402
import quenbol.dask  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run_counter(argv, out_path):
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        subprocess.run(argv, stdout=out, check=True)
        return time.perf_counter() - start


def timed(function):
    start = time.perf_counter()
    result = function()
    return time.perf_counter() - start, result


def report(title, mine, theirs, goal):
    ratio = mine / theirs
    verdict = "ok" if ratio <= goal else "OVER"
    print(f"{title}: package {mine * 1000:.1f} ms, quenbol-count {theirs * 1000:.1f} ms, "
          f"{ratio:.2f}x (goal <= {goal}x: {verdict})")


def long_str(counter, work, runs):
    source = sample_text()
    text = cut_utf8(source * (10_000_000 // len(source.encode("utf-8")) + 2), 10_000_000)
    path = os.path.join(work, "ten-mb.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    out = os.path.join(work, "ten-mb.jsonl")
    quenbol.count(text)  # the words compiled once, as in any session
    mine, theirs, forced = [], [], []
    for _ in range(runs):
        theirs.append(run_counter([counter, "--jsonl", path], out))
        forced.append(run_counter([counter, "--jsonl", "--encoding", "utf-8", path], out + ".forced"))
        seconds, row = timed(lambda: quenbol.count(text))
        mine.append(seconds)
    with open(out, encoding="utf-8") as f:
        expected = json.loads(f.read())
    del expected["file"]
    if row != expected:
        sys.exit("quenbol.count differs from quenbol-count on the 10 MB text")
    report(f"10 MB str ({len(text):,} characters)", statistics.median(mine), statistics.median(theirs), 1.3)
    report("  the same beside quenbol-count --encoding utf-8, which reads it as a str is read",
           statistics.median(mine), statistics.median(forced), 1.3)


def dask_corpus(counter, work, runs, batch_size):
    from distributed import Client, LocalCluster

    folder = os.path.join(work, "corpus")
    make_corpus(folder, 200, 1_000_000, sample_text())
    paths = sorted(os.path.join(folder, name) for name in os.listdir(folder))
    out = os.path.join(work, "corpus.jsonl")
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        quenbol.dask.count_files(paths[:2], client=client)  # workers import the package once
        mine, theirs = [], []
        for _ in range(runs):
            theirs.append(run_counter([counter, "--jsonl", "--jobs", "2", *paths], out))
            seconds, df = timed(lambda: quenbol.dask.count_files(paths, client=client, batch_size=batch_size))
            mine.append(seconds)
    with open(out, encoding="utf-8") as f:
        expected = [[m["current"] for m in json.loads(line)["members"]] for line in f]
    if df[quenbol.dask.COLUMNS[3:24]].values.tolist() != expected:
        sys.exit("quenbol.dask differs from quenbol-count on the corpus")
    report(f"200 files of 1 MB, Dask with 2 worker processes (batches of {batch_size})",
           statistics.median(mine), statistics.median(theirs), 2.0)


def posts(runs):
    source = sample_text()
    texts = [source[(i * 997) % (len(source) - 200):][:200] for i in range(10_000)]
    lines = [json.dumps(quenbol.count(t), ensure_ascii=False) for t in texts]
    rows, loads = [], []
    for _ in range(runs):
        rows.append(timed(lambda: [quenbol.count(t) for t in texts])[0])
        loads.append(timed(lambda: [json.loads(line) for line in lines])[0])
    r, j = statistics.median(rows), statistics.median(loads)
    print(f"10,000 posts of 200 characters: quenbol.count {r / len(texts) * 1e6:.1f} us a post; "
          f"json.loads of such a row alone {j / len(texts) * 1e6:.1f} us")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--batch-size", type=int, default=16)
    args = parser.parse_args()
    counter = os.path.join(args.build, "cli", "quenbol-count")
    print(f"medians of {args.runs} runs in turn; {os.cpu_count()} cores; load {os.getloadavg()[0]:.1f}")
    with tempfile.TemporaryDirectory(prefix="quenbol-python-bench-") as work:
        long_str(counter, work, args.runs)
        dask_corpus(counter, work, args.runs, args.batch_size)
    posts(args.runs)


if __name__ == "__main__":
    main()
