#!/usr/bin/env bash
# Checks the release archive as a user gets it: unpacks it, checks its file
# list, that readme.txt is the user's guide in code page 932 with CR LF line
# ends only, that quenbol-count.exe run from the unpacked folder under Wine
# prints what the native counter prints, and that quenbol.exe started from the
# unpacked folder opens its window, counts the sample text as the native
# counter does and closes. Every wait is bounded. Prints one PASS or FAIL line
# and exits 0 only when every check passed.
#
#   scripts/tests/package_test.sh ARCHIVE.zip NATIVE_QUENBOL_COUNT QUENBOL_DRIVER_EXE
#
# Needs a display ($DISPLAY, e.g. inside xvfb-run) and WINEPREFIX set to a
# prepared prefix (scripts/wine-prefix.sh).
set -uo pipefail
archive="$(realpath "${1:?usage: package_test.sh ARCHIVE.zip NATIVE_QUENBOL_COUNT QUENBOL_DRIVER_EXE}")"
native_count="$(realpath "${2:?native quenbol-count missing}")"
driver="$(realpath "${3:?quenbol-driver.exe missing}")"
root="$(cd "$(dirname "$0")/../.." && pwd)"  # the checkout: this script is in scripts/tests/
wine_run="$root/cmake/wine-run.sh"

failures=0
fail() { echo "package_test: FAIL: $*" >&2; failures=$((failures + 1)); }
ok() { echo "package_test: ok: $*"; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# --- the file list ---------------------------------------------------------
name="$(basename "$archive" -win32.zip)"  # quenbol-<version>
expected="$(printf '%s\n' "$name/" "$name/IPADIC-LICENSE.txt" "$name/LICENSE.txt" "$name/quenbol-count.exe" \
  "$name/quenbol.exe" "$name/readme.txt" "$name/sample-thread.txt")"
actual="$(unzip -Z1 "$archive" | sort)"
if [ "$actual" = "$expected" ]; then
  ok "file list"
else
  fail "file list differs:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"
fi
unzip -q "$archive" -d "$work" || fail "cannot unpack $archive"
dir="$work/$name"

# --- readme.txt: code page 932, CR LF only, the guide's text ---------------
if python3 - "$dir/readme.txt" "$root/docs/readme-user.txt" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
guide = open(sys.argv[2], encoding="utf-8").read()
problems = []
try:
    text = data.decode("cp932")  # strict: any byte sequence outside the code page fails
except UnicodeDecodeError as e:
    problems.append(f"not code page 932: {e}")
    text = None
bare_lf = sum(1 for i, b in enumerate(data) if b == 0x0A and (i == 0 or data[i - 1] != 0x0D))
bare_cr = sum(1 for i, b in enumerate(data) if b == 0x0D and (i + 1 == len(data) or data[i + 1] != 0x0A))
if bare_lf or bare_cr:
    problems.append(f"{bare_lf} line ends without CR, {bare_cr} CR without LF")
if not data.endswith(b"\r\n"):
    problems.append("last line has no CR LF")
if text is not None and text.replace("\r\n", "\n") != guide:
    problems.append("text differs from docs/readme-user.txt")
for p in problems:
    print("  " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
then
  ok "readme.txt is code page 932 with CR LF line ends and the guide's text"
else
  fail "readme.txt"
fi
if [ -f "$dir/LICENSE.txt" ] && ! grep -q $'[^\r]$' "$dir/LICENSE.txt" && cmp -s <(tr -d '\r' <"$dir/LICENSE.txt") "$root/LICENSE"; then
  ok "LICENSE.txt has CR LF line ends and the licence's text"
else
  fail "LICENSE.txt is not the licence with CR LF line ends"
fi
if [ -f "$dir/IPADIC-LICENSE.txt" ] && grep -q "Nara Institute of Science" "$dir/IPADIC-LICENSE.txt"; then
  ok "IPADIC-LICENSE.txt holds the IPA dictionary's notice"
else
  fail "IPADIC-LICENSE.txt is missing or is not the IPA dictionary's notice"
fi
cmp -s "$dir/sample-thread.txt" "$root/samples/sample-thread.txt" || fail "sample-thread.txt differs from samples/"

# --- quenbol-count.exe from the unpacked folder ------------------------------
expected_line="$("$native_count" --line "$root/samples/sample-thread.txt")" || fail "native quenbol-count failed"
actual_line="$(cd "$dir" && timeout 120 "$wine_run" quenbol-count.exe --line sample-thread.txt)"
rc=$?
if [ $rc -ne 0 ]; then
  fail "quenbol-count.exe --line sample-thread.txt exited with $rc"
elif [ "$actual_line" != "$expected_line" ]; then
  fail "quenbol-count.exe printed '$actual_line', the native counter '$expected_line'"
else
  ok "quenbol-count.exe --line sample-thread.txt matches the native counter: $actual_line"
fi
# A wildcard reaches the program as it is (no shell expands it on Windows);
# the program expands it as Windows programs do, in byte order of the names.
expected_rows="$(cd "$dir" && "$native_count" --csv $(LC_ALL=C ls -- *.txt))" || fail "native quenbol-count --csv failed"
actual_rows="$(cd "$dir" && timeout 120 "$wine_run" quenbol-count.exe --csv '*.txt')"
if [ "$actual_rows" = "$expected_rows" ]; then
  ok "quenbol-count.exe --csv '*.txt' expands the wildcard and matches the native counter"
else
  fail "quenbol-count.exe --csv '*.txt' printed '$actual_rows', the native counter '$expected_rows'"
fi

# --- quenbol.exe from the unpacked folder -----------------------------------
# The counts the window should show for the sample text, from the native counter.
expected_counts="$("$native_count" --json "$root/samples/sample-thread.txt" | python3 -c '
import json, sys
state = json.load(sys.stdin)
print("counts: " + " ".join(str(m["current"]) for m in state["members"]) + " manual: " + str(state["manual"]["current"]))
')" || fail "native quenbol-count --json failed"
(cd "$dir" && exec timeout 120 "$wine_run" quenbol.exe) &
program=$!
win_sample="$(timeout 30 winepath -w "$root/samples/sample-thread.txt" 2>/dev/null)"
driver_out="$(timeout 120 "$wine_run" "$driver" --wait 60 --text "$win_sample" --search --counts --close)"
rc=$?
echo "$driver_out" | sed 's/^/  driver: /'
if [ $rc -ne 0 ]; then
  fail "quenbol-driver exited with $rc (window not found, not answering or not closing)"
  kill "$program" 2>/dev/null  # timeout passes the signal on to the program
else
  actual_counts="$(echo "$driver_out" | grep '^counts:' | tr -d '\r')"
  if [ "$actual_counts" = "$expected_counts" ]; then
    ok "quenbol.exe opened, counted the sample text as the native counter does, and closed"
  else
    fail "the window shows '$actual_counts', the native counter '$expected_counts'"
  fi
fi
wait "$program"
rc=$?
[ $rc -eq 0 ] || fail "quenbol.exe exited with $rc"

if [ $failures -eq 0 ]; then
  echo "package_test: PASS ($(basename "$archive"))"
else
  echo "package_test: FAIL ($failures failed checks, $(basename "$archive"))"
  exit 1
fi
