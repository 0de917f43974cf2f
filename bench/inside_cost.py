#!/usr/bin/env python3
"""What the ordinary-word check costs the whole process.

Times `quenbol-count --by-keyword --json` and the default table (every
occurrence checked) beside `quenbol-count --line` (no check) on 10 MB of the
Japanese manual pages (prose naming no member; code page 932), on the 20 KB
sample thread, and, as
a harder case, on 10 MB of generated prose with a name about every 300 bytes.
Start-up is included. The runs take turns; each writes its output to a file.
Prints the median time of each, their ratio (goal: at most 2x) and the peak
memory of each (goal: at most 16 MB more).

    python3 bench/inside_cost.py [--build build/native] [--runs 7]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import inside_words  # noqa: E402  (the manual pages' prose)
import whole_process  # noqa: E402  (generated prose with names)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run(command, out_path):
    """Seconds and peak resident kilobytes of one run. The peak is read by
    /usr/bin/time: a child forked from this large process would report this
    process's memory as its own."""
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=out, stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"inside_cost: {' '.join(command)} failed: {done.stderr.decode(errors='replace')}")
    return elapsed, int(done.stderr.split()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    counter = os.path.join(args.build, "cli", "quenbol-count")
    with tempfile.TemporaryDirectory(prefix="inside_cost.") as d:
        prose = inside_words.prose().encode("cp932", "ignore").decode("cp932")
        prose = whole_process.cut_to(prose * (10_000_000 // len(prose.encode("cp932", "ignore")) + 1), 10_000_000)
        texts = {"prose 10 MB": prose.encode("cp932", "ignore")}
        with open(os.path.join(ROOT, "samples", "sample-thread.txt"), encoding="utf-8") as f:
            texts["sample 20 KB"] = f.read().encode("cp932", "ignore")
        names = [w for member in inside_words.keywords(counter) for w in member]
        texts["names every 300 B, 10 MB"] = whole_process.generated_prose(10_000_000, 300, names).encode(
            "cp932", "ignore")
        for title, data in texts.items():
            path = os.path.join(d, "text.txt")
            with open(path, "wb") as f:
                f.write(data)
            forms = {"--line": [counter, "--line", path], "--by-keyword --json": [counter, "--by-keyword", "--json", path],
                     "table": [counter, path]}
            times = {k: [] for k in forms}
            memory = {k: 0 for k in forms}
            for _ in range(args.runs):
                for k, command in forms.items():
                    seconds, kb = run(command, os.path.join(d, "out.txt"))
                    times[k].append(seconds)
                    memory[k] = max(memory[k], kb)
            line, checked, table = (statistics.median(times[k]) for k in forms)
            print(f"{title} ({len(data):,} bytes): --line {line * 1000:.1f} ms, {memory['--line'] / 1024:.1f} MB; "
                  f"--by-keyword --json {checked * 1000:.1f} ms, {memory['--by-keyword --json'] / 1024:.1f} MB; "
                  f"ratio {checked / line:.2f}x (goal <= 2x), "
                  f"memory +{(memory['--by-keyword --json'] - memory['--line']) / 1024:.1f} MB (goal <= 16 MB); "
                  f"the table (with its note) {table * 1000:.1f} ms, {table / line:.2f}x")


if __name__ == "__main__":
    main()
