#!/usr/bin/env bash
# Sets up what is missing, builds quenbol and opens its window under Wine on
# this display ($DISPLAY). Until the window program is in the tree it runs the
# command-line counter on the sample text instead, if that is there.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

bash scripts/setup.sh
cmake --preset windows >/dev/null

if grep -q '/CMakeFiles/quenbol\.dir$' build/windows/CMakeFiles/TargetDirectories.txt; then
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "run: no usable display (DISPLAY='${DISPLAY:-}'); start this from a desktop session" >&2
    exit 1
  fi
  cmake --build --preset windows --target quenbol
  bash scripts/wine-prefix.sh build/windows/wineprefix
  # Wine draws the caption buttons with Marlett; give the prefix Wine's own copy.
  marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && cp -n "$marlett" build/windows/wineprefix/drive_c/windows/Fonts/
  # A Japanese system: code page 932 for the program's texts.
  exec env WINEPREFIX="$root/build/windows/wineprefix" LC_ALL=ja_JP.UTF-8 \
    cmake/wine-run.sh build/windows/ui/quenbol.exe
fi

cmake --preset native >/dev/null
if grep -q '/CMakeFiles/quenbol-count\.dir$' build/native/CMakeFiles/TargetDirectories.txt &&
   [ -f samples/sample-thread.txt ]; then
  echo "run: the window program is not in this tree yet; running the command-line counter" >&2
  cmake --build --preset native --target quenbol-count
  exec build/native/cli/quenbol-count samples/sample-thread.txt
fi
echo "run: neither the window program nor the command-line counter is in this tree yet" >&2
exit 1
