#!/usr/bin/env python3
"""Whole-process counting speed, side by side in one run.

Makes its texts (the sample thread repeated to 10 MB, generated prose with a
name about every 300 bytes as in a busy thread, and 10,000 texts of 1 KB),
then times quenbol-count beside ripgrep (rg -F --count-matches on the UTF-8
copies, with the same keywords) and the one-pass-per-keyword counter
(bench/one_pass_count). The runs take turns so that a noisy machine slows all
commands alike; every command writes its output to a file. Prints the median
of each and the ratios to ripgrep. With --kernels it also runs the Google
Benchmark engine rows and prints each hard case's time and extra memory
against the typical text.

    python3 bench/whole_process.py [--build build/native] [--runs 7] [--kernels]
"""
import argparse
import json
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEN_MB = 10_000_000


def cut_to(text, size):
    """The longest prefix of `text` whose code page 932 form fits in `size` bytes."""
    data = text.encode("cp932")[:size]
    return data.decode("cp932", errors="ignore")


def sample_prose(size):
    with open(os.path.join(ROOT, "samples", "sample-thread.txt"), encoding="utf-8") as f:
        sample = f.read()
    # Keep only what code page 932 can hold, so both copies say the same.
    sample = sample.encode("cp932", errors="ignore").decode("cp932")
    repeats = size // len(sample.encode("cp932")) + 1
    return cut_to(sample * repeats, size)


def generated_prose(size, bytes_per_name, names, seed=1):
    rng = random.Random(seed)
    hiragana = "のいにしてはたとるかなっがでうをもれすらくこまあんりきおよさつせだやけめみそえちじわひろばどごずぶげ"
    kanji = "日本人今年月時間大中小上下前後見行来思言話会社事業生活手心気分自出入学校先方"
    katakana = "ンールトスイクラリタカシコッドレマテアプジロフメオバィブデキパグエナミハツサ"
    punctuation = "、。「」！？・（）…ー"
    ascii = " eatoinsrhldcumfpgw0123456789.,"
    classes = [hiragana] * 52 + [kanji] * 26 + [katakana] * 9 + [punctuation] * 6 + [ascii] * 5
    honorifics = ["さん", "ちゃん", "", "が", "は", "の"]
    parts, used, next_name = [], 0, rng.randint(bytes_per_name // 2, bytes_per_name * 3 // 2)
    while used < size:
        if used >= next_name:
            piece = rng.choice(names) + rng.choice(honorifics)
            next_name = used + rng.randint(bytes_per_name // 2, bytes_per_name * 3 // 2)
        elif rng.random() < 0.01:
            piece = "\r\n"
        else:
            piece = rng.choice(rng.choice(classes))
        parts.append(piece)
        used += len(piece.encode("cp932"))
    return cut_to("".join(parts), size)


def write_pair(directory, name, text):
    """The text as code page 932 (name.txt) and as UTF-8 (name.utf8)."""
    cp932, utf8 = os.path.join(directory, name + ".txt"), os.path.join(directory, name + ".utf8")
    with open(cp932, "wb") as f:
        f.write(text.encode("cp932"))
    with open(utf8, "wb") as f:
        f.write(text.encode("utf-8"))
    return cp932, utf8


def keywords(counter):
    """The built-in table's keywords and the initial manual words, as text."""
    dump = subprocess.run([counter, "--dump-keywords"], check=True, capture_output=True).stdout
    lines = dump.decode("cp932").split("\r\n") if b"\r\n" in dump else dump.decode("cp932").split("\n")
    words = [w for w in lines[1:] if w]  # the first line is the file's greeting
    words += ["鞍馬透子", "鞍馬", "透子", "とーこりん", "トーコリン"]
    return list(dict.fromkeys(words))


def time_commands(commands, runs, out_dir):
    """Median wall time and processor time (user + system) of each command
    (name -> argv), runs taken in turn."""
    wall = {name: [] for name in commands}
    cpu = {name: [] for name in commands}
    for run in range(runs):
        for name, argv in commands.items():
            with open(os.path.join(out_dir, name.replace(" ", "_") + ".out"), "wb") as out:
                before = resource.getrusage(resource.RUSAGE_CHILDREN)
                start = time.perf_counter()
                result = subprocess.run(argv, stdout=out, stderr=subprocess.PIPE)
                elapsed = time.perf_counter() - start
                after = resource.getrusage(resource.RUSAGE_CHILDREN)
            # rg exits 1 when nothing matched, which is not a failure here.
            if result.returncode not in (0, 1) or (result.returncode == 1 and argv[0] != "rg"):
                sys.exit(f"{name} failed ({result.returncode}): {result.stderr.decode(errors='replace')}")
            wall[name].append(elapsed)
            cpu[name].append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return ({name: statistics.median(t) for name, t in wall.items()},
            {name: statistics.median(t) for name, t in cpu.items()})


def report(title, medians, peer, goal_ratio=None):
    wall, cpu = medians
    print(f"\n{title}")
    for name, seconds in wall.items():
        ratio = seconds / wall[peer]
        goal = ""
        if goal_ratio and name in goal_ratio:
            goal = f"   goal <= {goal_ratio[name]:.2f}x: {'met' if ratio <= goal_ratio[name] else 'NOT met'}"
        print(f"  {name:<34} {seconds * 1000:8.1f} ms  {ratio:5.2f}x rg   "
              f"(processor {cpu[name] * 1000:7.1f} ms, {cpu[name] / cpu[peer]:5.2f}x){goal}")


def same_counts(out_dir):
    """Both encodings of a text must give the same results lines."""
    outputs = [open(os.path.join(out_dir, f"quenbol-count_--encoding_{e}.out"), "rb").read()
               for e in ("cp932", "utf-8")]
    if outputs[0] != outputs[1] or not outputs[0]:
        sys.exit("quenbol-count counted the code page 932 and UTF-8 copies differently")


def kernels(bench, out_dir):
    out = os.path.join(out_dir, "kernels.json")
    with open(os.path.join(out_dir, "kernels.log"), "wb") as log:
        # The repetitions of all rows in random turns: the machine's speed drifts
        # over a run, and a ratio of rows timed minutes apart measures the drift.
        subprocess.run([bench, "--benchmark_filter=^Engine/.*10MB", "--benchmark_repetitions=9",
                        "--benchmark_enable_random_interleaving=true",
                        "--benchmark_report_aggregates_only=true", f"--benchmark_out={out}",
                        "--benchmark_out_format=json"], check=True, stdout=log, stderr=log)
    with open(out) as f:
        rows = [b for b in json.load(f)["benchmarks"] if b.get("aggregate_name") == "median"]
    for b in rows:  # named with "/process_time": timed over the whole process, every thread
        b["run_name"] = b["run_name"].removesuffix("/process_time")
    order = ["default", "seven-per-member", "name-every-20-bytes", "five-names-per-line", "awkward-table"]

    def place(b):  # the table's order, whatever order the turns came in
        name = b["run_name"].split("/")[1]
        return order.index(name) if name in order else len(order)
    rows.sort(key=place)
    # Processor time: on a shared machine the wall clock mostly measures the neighbours.
    typical = next(b for b in rows if b["run_name"] == "Engine/default/10MB")["cpu_time"]
    print("\nEngine kernels (Google Benchmark, medians of 9 in random turns, processor time), "
          "against Engine/default/10MB")
    for b in rows:
        ratio = b["cpu_time"] / typical
        memory = b.get("extra_mem/text", float("nan"))
        verdict = "met" if ratio <= 3 and memory <= 1 else "NOT met"
        print(f"  {b['run_name']:<34} {b['cpu_time']:8.2f} ms   {ratio:5.2f}x   "
              f"extra memory {memory:4.2f}x text   (goal <= 3x, <= 1x: {verdict})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--small-files", type=int, default=10_000)
    parser.add_argument("--kernels", action="store_true", help="also run the Google Benchmark engine rows")
    args = parser.parse_args()
    counter = os.path.join(args.build, "cli", "quenbol-count")
    one_pass = os.path.join(args.build, "bench", "one_pass_count")

    with tempfile.TemporaryDirectory(prefix="quenbol-bench-") as work:
        words = keywords(counter)
        keyword_file = os.path.join(work, "keywords.utf8")
        with open(keyword_file, "w", encoding="utf-8") as f:
            f.write("\n".join(words) + "\n")
        prose, prose_utf8 = write_pair(work, "prose", sample_prose(TEN_MB))
        busy, busy_utf8 = write_pair(work, "busy", generated_prose(TEN_MB, 300, words))
        small_dir = os.path.join(work, "small")
        os.mkdir(small_dir)
        small, small_utf8 = [], []
        source = sample_prose(2 * 1024 * 1024)
        for i in range(args.small_files):
            start = (i * 997) % (len(source) - 600)
            a, b = write_pair(small_dir, f"t{i:05}", cut_to(source[start:start + 600], 1024))
            small.append(a)
            small_utf8.append(b)

        rg = ["rg", "-F", "--count-matches", "-f", keyword_file]
        print(f"quenbol-count beside {subprocess.run(['rg', '--version'], capture_output=True, text=True).stdout.splitlines()[0]}; "
              f"medians of {args.runs} runs, each output written to a file; {os.cpu_count()} cores")
        cases = [("10 MB of the sample thread (real prose)", prose, prose_utf8,
                  {"quenbol-count --encoding cp932": 0.5, "quenbol-count --encoding utf-8": 0.75}),
                 ("10 MB busy thread: a name about every 300 bytes", busy, busy_utf8,
                  {"quenbol-count --encoding cp932": 0.5})]
        for title, cp932, utf8, goals in cases:
            commands = {
                "rg": rg + [utf8],
                "quenbol-count --encoding cp932": [counter, "--encoding", "cp932", "--line", cp932],
                "quenbol-count --encoding utf-8": [counter, "--encoding", "utf-8", "--line", utf8],
                "one_pass_count": [one_pass, cp932],
            }
            report(title, time_commands(commands, args.runs, work), "rg", goals)
            same_counts(work)
        commands = {
            "rg": rg + small_utf8,
            "quenbol-count --encoding cp932": [counter, "--encoding", "cp932", "--line"] + small,
            "quenbol-count --encoding utf-8": [counter, "--encoding", "utf-8", "--line"] + small_utf8,
            "one_pass_count": [one_pass] + small,
        }
        report(f"{args.small_files} texts of 1 KB in one run", time_commands(commands, args.runs, work),
               "rg", {"quenbol-count --encoding cp932": 1.0, "quenbol-count --encoding utf-8": 1.0})
        same_counts(work)
        if args.kernels:
            kernels(os.path.join(args.build, "bench", "quenbol_bench"), work)


if __name__ == "__main__":
    main()
