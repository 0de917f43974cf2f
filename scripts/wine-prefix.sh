#!/usr/bin/env bash
# Prepares the Wine prefix the Windows programs run and are tested in:
# created once per build tree, no Mono/Gecko prompts, no crash dialog, and the
# dialogs' Japanese font mapped to an installed one. Safe to run twice.
set -euo pipefail
prefix="${1:?usage: wine-prefix.sh PREFIX_DIR}"
mkdir -p "$prefix"
prefix="$(cd "$prefix" && pwd)"
export WINEPREFIX="$prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
marker="$prefix/.quenbol-ready"
desktop_marker="$prefix/.quenbol-desktop"

# Wine's virtual desktop: without a window manager (Xvfb), every window that
# Wine unmaps waits about two seconds for one, and focus is unreliable; inside
# the virtual desktop windows are Wine's own. Also applied to older prefixes.
set_virtual_desktop() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
  touch "$desktop_marker"
}
if [ -f "$marker" ]; then
  [ -f "$desktop_marker" ] || set_virtual_desktop
  exit 0
fi

echo "wine-prefix: creating $prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

# The dialogs ask for "ＭＳ Ｐゴシック"; map it (and its relatives) to IPA
# P Gothic. regedit wants UTF-16LE with a byte-order mark for these names.
reg_utf8="$prefix/quenbol-fonts.reg.txt"
cat >"$reg_utf8" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
REG
{ printf '\xff\xfe'; sed 's/$/\r/' "$reg_utf8" | iconv -f UTF-8 -t UTF-16LE; } >"$prefix/quenbol-fonts.reg"
wine regedit /S "$(winepath -w "$prefix/quenbol-fonts.reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
set_virtual_desktop
touch "$marker"
