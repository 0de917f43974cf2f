#!/usr/bin/env bash
# What a user waits for in the window under Wine, measured from outside with
# quenbol-driver: pasting a 10 MB and a 1 MB text through the clipboard
# (Ctrl+A, Ctrl+V), 全検索 over the full pane (9,999,990 bytes: a line with
# five names in 74 bytes repeated, and the sample thread repeated), and keys
# typed at the end of the full pane. Each figure is the median over RUNS
# fresh starts of the program (default 3). The pastes and keys are measured
# in turns with quenbol-bare-pane too, the same dialog with the system's edit
# control alone as the pane, and each is given as a ratio to it: what is left
# at 1.00x is the edit control's own work. It also checks that the counts the
# window shows after 全検索 equal quenbol-count's on the same text (exit 1 if
# not), for the prose and for the sample thread repeated to fill the pane.
#
#   bash bench/window.sh            # RUNS=5 bash bench/window.sh for more runs
#   bash bench/window.sh --counts-only   # the counts check alone (a test stage runs it)
#
# QUENBOL_EXE=path/to/quenbol.exe measures another build of the program (an
# older one, say) with this tree's driver.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
runs="${RUNS:-3}"
counts_only=0
[ "${1:-}" = --counts-only ] && counts_only=1 runs=1

cmake --preset native >/dev/null && cmake --build --preset native --target quenbol-count >/dev/null
cmake --preset windows >/dev/null && cmake --build --preset windows --target quenbol quenbol-driver quenbol-bare-pane >/dev/null
bash scripts/wine-prefix.sh build/windows/wineprefix

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The texts, UTF-8 with CR LF line breaks as the pane holds them.
python3 - "$work" samples/sample-thread.txt <<'PY'
import sys
work, sample = sys.argv[1], sys.argv[2]
def fill(line, limit, path):
    size = len(line.encode("cp932"))
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(line * (limit // size))
prose = "椎葉澄香と高篠七緒、それに御影梢がみのりの話をしていた。ナルナルも来た。\r\n"
fill(prose, 9_999_999, f"{work}/full.txt")       # 9,999,990 bytes in code page 932
fill(prose, 1_000_000, f"{work}/1mb.txt")
thread = open(sample, encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n")
if not thread.endswith("\r\n"):
    thread += "\r\n"
fill(thread, 9_999_999, f"{work}/thread.txt")
PY

exe="$(realpath "${QUENBOL_EXE:-build/windows/ui/quenbol.exe}")"
export WINEPREFIX="$root/build/windows/wineprefix" LC_ALL=ja_JP.UTF-8 WORK="$work" ROOT="$root" RUNS="$runs" EXE="$exe" \
  COUNTS_ONLY="$counts_only"
wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1280x1024x24" timeout 3000 bash -c '
  set -euo pipefail
  run() { "$ROOT/cmake/wine-run.sh" "$@"; }
  win() { winepath -w "$1" 2>/dev/null; }
  driver="$ROOT/build/windows/tools/quenbol-driver.exe"
  bare="$ROOT/build/windows/bench/quenbol-bare-pane.exe"
  session() {  # one fresh start of a program: the driver steps given, then close
    local exe="$1"
    shift
    run "$exe" &
    run "$driver" --wait 60 "$@" --close
    wait
  }
  for i in $(seq "$RUNS"); do
    session "$EXE" --paste "$(win "$WORK/full.txt")" --searches 3 --type 5 --counts >"$WORK/full.$i.out"
    [ "$COUNTS_ONLY" = 1 ] && continue
    session "$bare" --paste "$(win "$WORK/full.txt")" --type 5 >"$WORK/bare-full.$i.out"
    session "$EXE" --paste "$(win "$WORK/1mb.txt")" >"$WORK/1mb.$i.out"
    session "$bare" --paste "$(win "$WORK/1mb.txt")" >"$WORK/bare-1mb.$i.out"
  done
  for i in $(seq "$RUNS"); do
    session "$EXE" --paste "$(win "$WORK/thread.txt")" --searches 3 --counts >"$WORK/thread.$i.out"
  done
  wineserver -w
'
build/native/cli/quenbol-count --encoding utf-8 --json "$work/full.txt" >"$work/full.json"
build/native/cli/quenbol-count --encoding utf-8 --json "$work/thread.txt" >"$work/thread.json"

python3 - "$work" "$runs" "$counts_only" <<'PY'
import json, re, statistics, sys
work, runs, counts_only = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"
def figures(pattern, name):
    values = []
    for i in range(1, runs + 1):
        values += [float(v) for v in re.findall(pattern, open(f"{work}/{name}.{i}.out").read())]
    return values
def show(what, values, bare=None):
    median = statistics.median(values)
    print(f"{what:<44} median {median:9.1f} ms   (min {min(values):.1f}, max {max(values):.1f}, n={len(values)})")
    if bare:
        print(f"{'  the bare edit control':<44} median {statistics.median(bare):9.1f} ms   "
              f"(ratio {median / statistics.median(bare):.2f}x)")
def beside(what, pattern, name):  # the program's figure, then the bare pane's and the ratio
    show(what, figures(pattern, name), figures(pattern, "bare-" + name))
if not counts_only:
    beside("paste 10 MB (9,999,990 bytes), Ctrl+V", r"pasted: .*? in (\d+) ms", "full")
    beside("paste 10 MB: handled, before the repaint", r"pasted: .* \(handled in (\d+) ms\)", "full")
    beside("paste 1 MB, Ctrl+V", r"pasted: .*? in (\d+) ms", "1mb")
    beside("paste 1 MB: handled, before the repaint", r"pasted: .* \(handled in (\d+) ms\)", "1mb")
    show("全検索, first after the paste", figures(r"search 1: ([\d.]+) ms", "full"))
    show("  handled (pull, count, push), first after the paste", figures(r"search 1: [\d.]+ ms \(handled in ([\d.]+) ms\)", "full"))
    show("全検索, again (pane unchanged)", figures(r"search [23]: ([\d.]+) ms", "full"))
    show("  handled (pull, count, push), again (pane unchanged)", figures(r"search [23]: [\d.]+ ms \(handled in ([\d.]+) ms\)", "full"))
    show("全検索 on the sample thread, first", figures(r"search 1: ([\d.]+) ms", "thread"))
    show("  handled (pull, count, push) on the sample thread, first", figures(r"search 1: [\d.]+ ms \(handled in ([\d.]+) ms\)", "thread"))
    show("全検索 on the sample thread, again", figures(r"search [23]: ([\d.]+) ms", "thread"))
    show("  handled (pull, count, push) on the sample thread, again", figures(r"search [23]: [\d.]+ ms \(handled in ([\d.]+) ms\)", "thread"))
    beside("key typed at the end of the full pane", r"key \d+: ([\d.]+) ms", "full")
    beside("key: handled, before the repaint", r"key \d+: .*handled in ([\d.]+) ms", "full")

ok = True
def check(out, js, what):
    global ok
    shown = re.findall(r"counts: (.*) manual: (\d+)", open(out).read())
    state = json.load(open(js))
    expected = [m["current"] for m in state["members"]], state["manual"]["current"]
    if not shown:
        print(f"counts ({what}): the window printed none"); ok = False; return
    got = [int(n) for n in shown[-1][0].split()], int(shown[-1][1])
    same = got == expected
    ok = ok and same
    print(f"counts ({what}): {'equal to quenbol-count' if same else 'DIFFER: window %s, quenbol-count %s' % (got, expected)}")
for i in range(1, runs + 1):
    check(f"{work}/full.{i}.out", f"{work}/full.json", f"prose, run {i}")
for i in range(1, runs + 1):
    check(f"{work}/thread.{i}.out", f"{work}/thread.json", f"sample thread, run {i}")
sys.exit(0 if ok else 1)
PY
