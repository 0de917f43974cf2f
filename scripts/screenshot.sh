#!/usr/bin/env bash
# Takes docs/screenshot.png and docs/settings.png: builds quenbol and
# quenbol-driver, starts the program on a virtual display in Wine's virtual
# desktop (which draws the caption bar), pastes samples/sample-thread.txt into
# the text pane, presses 全検索 and saves a picture of the window; then opens
# the keyword settings dialog for the second picture. A third picture, of the
# About box, is for checking only: build/screenshots/about.png. Every step is
# bounded.
#
# QUENBOL_EXE=path/to/program.exe picks another program to photograph.
# QUENBOL_SCALE=150 (or 200, any percentage) photographs the windows on a
# screen scaled that much: Wine's LogPixels is set to 96 * scale / 100 in a
# scratch prefix of its own (build/windows/wineprefix-scale150), so the test
# prefix is left as it is, and the pictures are docs/screenshot-150.png,
# docs/settings-150.png and build/screenshots/about-150.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

scale="${QUENBOL_SCALE:-100}"
case "$scale" in
  '' | *[!0-9]*) echo "screenshot: QUENBOL_SCALE must be a percentage, not '$scale'" >&2; exit 1 ;;
esac
if [ "$scale" = 100 ]; then
  prefix="$root/build/windows/wineprefix" main_png=docs/screenshot.png settings_png=docs/settings.png
  about_png=build/screenshots/about.png
else
  prefix="$root/build/windows/wineprefix-scale$scale"
  main_png="docs/screenshot-$scale.png" settings_png="docs/settings-$scale.png"
  about_png="build/screenshots/about-$scale.png"
fi

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
bash scripts/wine-prefix.sh "$prefix"
# Wine draws the caption buttons with Marlett; give the prefix Wine's own copy.
marlett=/usr/share/wine/fonts/marlett.ttf
[ -f "$marlett" ] && cp -n "$marlett" "$prefix/drive_c/windows/Fonts/"
if [ "$scale" != 100 ]; then
  # The screen's pixels per inch, where both the window manager side and the
  # font side of Wine read it; read when the Wine server starts.
  dpi=$((96 * scale / 100))
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
  WINEPREFIX="$prefix" wineserver -w
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sample="$root/samples/sample-thread.txt"
if [ ! -f "$sample" ]; then
  # A short stand-in text, used only until the sample text is in the tree.
  sample="$work/sample.txt"
  printf '%s\n' 'クエンボル観察スレ' '今日の配信、みんな可愛かった' \
    'ピポラの歌がまた聴きたい' >"$sample"
fi
mkdir -p docs build/screenshots

# The virtual display and Wine's desktop grow with the scale.
screen=$((1024 * scale / 100)) desktop=$((1000 * scale / 100))
export WINEPREFIX="$prefix" ROOT="$root" EXE="$exe" SAMPLE="$sample" WORK="$work" DESKTOP_SIZE="${desktop}x$desktop"
wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 ${screen}x${screen}x24" timeout 300 bash -c '
  set -euo pipefail
  run() { LC_ALL=ja_JP.UTF-8 "$ROOT/cmake/wine-run.sh" "$@"; }
  driver="$ROOT/build/windows/tools/quenbol-driver.exe"
  win() { winepath -w "$1" 2>/dev/null; }
  run explorer /desktop=quenbol,$DESKTOP_SIZE "$(win "$EXE")" &
  rc=0
  run "$driver" --desktop quenbol --wait 60 --text "$(win "$SAMPLE")" --search \
      --capture "$(win "$WORK/main.bmp")" || rc=$?
  if [ $rc -eq 0 ]; then
    run "$driver" --desktop quenbol --wait 15 --settings --capture "$(win "$WORK/settings.bmp")" --close ||
      echo "screenshot: the keyword settings dialog did not open; no settings picture" >&2
    # The About box, in a fresh start of the program (the step above closed it).
    wait || true
    run explorer /desktop=quenbol,$DESKTOP_SIZE "$(win "$EXE")" &
    run "$driver" --desktop quenbol --wait 60 --about --capture "$(win "$WORK/about.bmp")" --close ||
      echo "screenshot: the About box did not open; no About picture" >&2
  fi
  wineserver -k 2>/dev/null || true
  wait || true
  exit $rc
'
python3 scripts/bmp_to_png.py "$work/main.bmp" "$main_png"
echo "screenshot: wrote $main_png"
if [ -f "$work/settings.bmp" ]; then
  python3 scripts/bmp_to_png.py "$work/settings.bmp" "$settings_png"
  echo "screenshot: wrote $settings_png"
fi
if [ -f "$work/about.bmp" ]; then
  python3 scripts/bmp_to_png.py "$work/about.bmp" "$about_png"
  echo "screenshot: wrote $about_png"
fi
