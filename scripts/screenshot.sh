#!/usr/bin/env bash
# Takes docs/screenshot.png and docs/settings.png: builds quenbol and
# quenbol-driver, starts the program on a virtual display in Wine's virtual
# desktop (which draws the caption bar), pastes samples/sample-thread.txt into
# the text pane, presses 全検索 and saves a picture of the window; then opens
# the keyword settings dialog for the second picture. Every step is bounded.
#
# QUENBOL_EXE=path/to/program.exe picks another program to photograph.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

bash scripts/setup.sh
cmake --preset windows >/dev/null
if [ -n "${QUENBOL_EXE:-}" ]; then
  exe="$(realpath "$QUENBOL_EXE")"
  cmake --build --preset windows --target quenbol-driver
elif grep -q '/CMakeFiles/quenbol\.dir$' build/windows/CMakeFiles/TargetDirectories.txt; then
  cmake --build --preset windows --target quenbol quenbol-driver
  exe="$root/build/windows/ui/quenbol.exe"
else
  echo "screenshot: the window program (target quenbol) is not in this tree yet" >&2
  exit 1
fi
bash scripts/wine-prefix.sh build/windows/wineprefix
# Wine draws the caption buttons with Marlett; give the prefix Wine's own copy.
marlett=/usr/share/wine/fonts/marlett.ttf
[ -f "$marlett" ] && cp -n "$marlett" build/windows/wineprefix/drive_c/windows/Fonts/

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sample="$root/samples/sample-thread.txt"
if [ ! -f "$sample" ]; then
  # A short stand-in text, used only until the sample text is in the tree.
  sample="$work/sample.txt"
  printf '%s\n' 'クエンボル観察スレ' '今日の配信、みんな可愛かった' \
    'ピポラの歌がまた聴きたい' >"$sample"
fi
mkdir -p docs

export WINEPREFIX="$root/build/windows/wineprefix" ROOT="$root" EXE="$exe" SAMPLE="$sample" WORK="$work"
wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1024x1024x24" timeout 300 bash -c '
  set -euo pipefail
  run() { LC_ALL=ja_JP.UTF-8 "$ROOT/cmake/wine-run.sh" "$@"; }
  driver="$ROOT/build/windows/tests/quenbol-driver.exe"
  win() { winepath -w "$1" 2>/dev/null; }
  run explorer /desktop=quenbol,1000x1000 "$(win "$EXE")" &
  rc=0
  run "$driver" --desktop quenbol --wait 60 --text "$(win "$SAMPLE")" --search \
      --capture "$(win "$WORK/main.bmp")" || rc=$?
  if [ $rc -eq 0 ]; then
    run "$driver" --desktop quenbol --wait 15 --settings --capture "$(win "$WORK/settings.bmp")" --close ||
      echo "screenshot: the keyword settings dialog did not open; no docs/settings.png" >&2
  fi
  wineserver -k 2>/dev/null || true
  wait || true
  exit $rc
'
python3 scripts/bmp_to_png.py "$work/main.bmp" docs/screenshot.png
echo "screenshot: wrote docs/screenshot.png"
if [ -f "$work/settings.bmp" ]; then
  python3 scripts/bmp_to_png.py "$work/settings.bmp" docs/settings.png
  echo "screenshot: wrote docs/settings.png"
fi
