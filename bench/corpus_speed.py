#!/usr/bin/env python3
"""Corpus counting speed, quenbol-count beside ripgrep on the same files.

Makes two corpora of UTF-8 texts cut from the sample thread (10,000 texts of
1 KB, and 200 texts of 1 MB), then times, in turns so that a noisy machine
slows all alike, `rg -F --count-matches -f KEYWORDS` over each corpus and
`quenbol-count --jsonl -r` over the same folder (the small texts with the
default number of jobs, the large ones with --jobs 2). Every command writes
its output to a file. Prints the medians and the ratios to ripgrep beside
the goals (1 KB texts: at most 1x; 1 MB texts with 2 jobs: at most 0.6x).

A third row times 5ch .dat logs (Shift-JIS, a post a line, about 200 KB a
thread, --dat-mb in all, 200 by default) counted post by post,
`quenbol-count --jsonl --unit post -r`, beside today's `--jsonl -r` on the same
files with the same --jobs 2 (goal: at most 1.5x).

    python3 bench/corpus_speed.py [--build build/native] [--runs 5] [--dat-mb 200] [--only-dat]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def sample_text():
    with open(os.path.join(ROOT, "samples", "sample-thread.txt"), encoding="utf-8") as f:
        return f.read()


def cut_utf8(text, size):
    """The longest prefix of `text` whose UTF-8 form fits in `size` bytes."""
    return text.encode("utf-8")[:size].decode("utf-8", errors="ignore")


def make_corpus(directory, count, size, source):
    os.makedirs(directory)
    long_source = source * (size // len(source.encode("utf-8")) + 2)
    for i in range(count):
        start = (i * 997) % len(source)
        with open(os.path.join(directory, f"t{i:05}.txt"), "w", encoding="utf-8") as f:
            f.write(cut_utf8(long_source[start:], size))


def make_dat_corpus(directory, total_bytes, source):
    """.dat threads of about 200 KB each, one post a line, the bodies cut from
    the sample thread, with the markup a real log has (<br>, entities, anchors)."""
    os.makedirs(directory)
    lines = [line for line in source.splitlines() if line.strip()]
    thread_bytes = 200_000
    written, thread, i = 0, 0, 0
    while written < total_bytes:
        posts, size, n = [], 0, 0
        while size < thread_bytes:
            n += 1
            body = " <br> ".join(lines[(i + k) % len(lines)].replace("&", "&amp;").replace("<", "&lt;")
                                 .replace(">", "&gt;") for k in range(3))
            i += 3
            if n > 1 and n % 4 == 0:
                body = f'<a href="../test/read.cgi/idol/{thread}/{n - 1}" rel="noopener">&gt;&gt;{n - 1}</a> <br> ' + body
            day = 1 + (n // 200) % 28
            title = f"ピポラ総合スレ Part{thread}" if n == 1 else ""
            line = (f"名無しさん<>sage<>2024/06/{day:02}(土) 20:{n % 60:02}:{n % 60:02}.{n % 100:02} "
                    f"ID:ab{n % 9973:04}cd<> {body} <>{title}\n")
            data = line.encode("cp932", errors="replace")
            posts.append(data)
            size += len(data)
        with open(os.path.join(directory, f"{1700000000 + thread}.dat"), "wb") as f:
            f.write(b"".join(posts))
        written += size
        thread += 1


def keywords(counter):
    """The built-in table's keywords, as ripgrep is to look for them."""
    dump = subprocess.run([counter, "--dump-keywords"], check=True, capture_output=True).stdout
    words = [w for w in dump.decode("cp932").replace("\r\n", "\n").split("\n")[1:] if w]
    return list(dict.fromkeys(words))


def median_times(commands, runs, out_dir):
    times = {name: [] for name in commands}
    for _ in range(runs):
        for i, (name, argv) in enumerate(commands.items()):
            # Each command has its own output file, emptied and the previous
            # runs' writes flushed before the clock starts, so that no run
            # pays for another's hundreds of megabytes going to disk.
            with open(os.path.join(out_dir, f"command-{i}.out"), "wb") as out:
                os.sync()
                start = time.perf_counter()
                result = subprocess.run(argv, stdout=out, stderr=subprocess.PIPE)
                times[name].append(time.perf_counter() - start)
            if result.returncode not in (0, 1) or (result.returncode == 1 and argv[0] != "rg"):
                sys.exit(f"{name} failed ({result.returncode}): {result.stderr.decode(errors='replace')}")
    return {name: statistics.median(t) for name, t in times.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--dat-mb", type=int, default=200)
    parser.add_argument("--only-dat", action="store_true", help="time the .dat logs' row alone")
    args = parser.parse_args()
    counter = os.path.join(args.build, "cli", "quenbol-count")
    rg_version = subprocess.run(["rg", "--version"], capture_output=True, text=True).stdout.splitlines()[0]
    print(f"quenbol-count beside {rg_version}; medians of {args.runs} runs in turn, "
          f"outputs written to files; {os.cpu_count()} cores")
    with tempfile.TemporaryDirectory(prefix="quenbol-corpus-bench-") as work:
        keyword_file = os.path.join(work, "keywords.txt")
        with open(keyword_file, "w", encoding="utf-8") as f:
            f.write("\n".join(keywords(counter)) + "\n")
        source = sample_text()
        rows = [("10,000 texts of 1 KB", 10_000, 1024, [], 1.0),
                ("200 texts of 1 MB, 2 jobs", 200, 1_000_000, ["--jobs", "2"], 0.6)]
        for title, count, size, jobs, goal in [] if args.only_dat else rows:
            corpus = os.path.join(work, f"corpus-{count}")
            make_corpus(corpus, count, size, source)
            commands = {
                "rg -F --count-matches": ["rg", "-F", "--count-matches", "-f", keyword_file, corpus],
                "quenbol-count --jsonl -r": [counter, "--jsonl", "-r"] + jobs + [corpus],
            }
            medians = median_times(commands, args.runs, work)
            ratio = medians["quenbol-count --jsonl -r"] / medians["rg -F --count-matches"]
            print(f"\n{title}")
            for name, seconds in medians.items():
                print(f"  {name:<28} {seconds * 1000:9.1f} ms")
            print(f"  ratio {ratio:.2f}x rg   goal <= {goal:.1f}x: {'met' if ratio <= goal else 'NOT met'}")

        corpus = os.path.join(work, "dat-logs")
        make_dat_corpus(corpus, args.dat_mb * 1_000_000, source)
        commands = {
            "quenbol-count --jsonl -r": [counter, "--jsonl", "-r", "--jobs", "2", corpus],
            "quenbol-count --jsonl --unit post -r": [counter, "--jsonl", "--unit", "post", "-r", "--jobs", "2", corpus],
        }
        medians = median_times(commands, args.runs, work)
        ratio = medians["quenbol-count --jsonl --unit post -r"] / medians["quenbol-count --jsonl -r"]
        print(f"\n.dat logs, {args.dat_mb} MB, 2 jobs")
        for name, seconds in medians.items():
            print(f"  {name:<38} {seconds * 1000:9.1f} ms")
        print(f"  ratio {ratio:.2f}x --jsonl   goal <= 1.5x: {'met' if ratio <= 1.5 else 'NOT met'}")


if __name__ == "__main__":
    main()
