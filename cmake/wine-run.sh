#!/bin/sh
# Runs a Windows program under Wine with the project's prefix (the build
# tree's, unless WINEPREFIX is set) and a quiet, prompt-free environment.
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/windows/wineprefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
