#!/usr/bin/env bash
# Sets up what is missing, builds both trees and runs every test: the native
# tests, the same with the sanitizers, the tests of what runs on several
# threads with the thread sanitizer, a short run of each fuzz target, the
# Windows programs' tests under Wine on a virtual display, the release
# archive unpacked and run under Wine, and the Python package.
# Every stage runs even when an earlier one failed; a summary ends the output
# and the exit status is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

bash scripts/setup.sh || exit 1

native() {
  cmake --preset native >/dev/null && cmake --build --preset native && ctest --preset native
}

sanitize() {
  cmake --preset sanitize >/dev/null && cmake --build --preset sanitize && ctest --preset sanitize
}

# The two-half scan, the corpus workers and the two-thread decoding, where a
# data race would show only now and then.
threads() {
  cmake --preset threads >/dev/null && cmake --build --preset threads && ctest --preset threads
}

# The libFuzzer targets, briefly each (QUENBOL_FUZZ_SECONDS, 60 by default).
fuzz() {
  bash scripts/fuzz.sh "${QUENBOL_FUZZ_SECONDS:-60}"
}

# Wine names Unix files in the host's character set: make it UTF-8, whatever
# the caller's locale, so Japanese file names survive. The programs themselves
# convert with code page 932 explicitly and do not depend on it.
wine_env() {
  env WINEPREFIX="$root/build/windows/wineprefix" LC_ALL=C.UTF-8 "$@"
}

windows() {
  cmake --preset windows >/dev/null && cmake --build --preset windows &&
    bash scripts/wine-prefix.sh build/windows/wineprefix || return 1
  wine_env wineserver -k 2>/dev/null
  wine_env xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash -c 'rc=0; ctest --preset windows || rc=$?; wineserver -w; exit $rc' || return 1
  # The window's counts on a full pane against the native counter's.
  bash bench/window.sh --counts-only
}

# The archive from the programs just built, checked by scripts/tests/package_test.sh
# (its own waits are bounded; the outer bound catches anything else).
package() {
  local archive
  cmake --build --preset native --target quenbol-count &&
    cmake --build --preset windows --target quenbol quenbol-count quenbol-driver &&
    bash scripts/wine-prefix.sh build/windows/wineprefix &&
    archive="$(QUENBOL_SKIP_BUILD=1 bash scripts/package.sh)" || return 1
  wine_env wineserver -k 2>/dev/null
  wine_env timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash -c 'rc=0; bash "$@" || rc=$?; wineserver -w; exit $rc' sh \
    scripts/tests/package_test.sh "$archive" build/native/cli/quenbol-count build/windows/tools/quenbol-driver.exe
}

# The Python package installed into a virtual environment under build/ as
# the README says (Debian's packages, nothing fetched), its tests run against
# the native counter. Debian's interpreter, whose packages those are.
python() {
  local venv="$root/build/python/venv"
  cmake --preset native >/dev/null && cmake --build --preset native --target quenbol-count &&
    /usr/bin/python3 -m venv --system-site-packages "$venv" &&
    "$venv/bin/pip" install --no-build-isolation --no-deps --quiet "$root" || return 1
  (cd python/tests && QUENBOL_COUNT="$root/build/native/cli/quenbol-count" \
    "$venv/bin/python" -m pytest -q -p no:cacheprovider)
}

summary=()
failed=0
passed=0
for stage in native sanitize threads fuzz windows package python; do
  echo "== $stage"
  if "$stage"; then
    summary+=("PASS  $stage")
    passed=$((passed + 1))
  else
    summary+=("FAIL  $stage")
    failed=$((failed + 1))
  fi
done

echo "== summary"
printf '%s\n' "${summary[@]}"
echo "stages: $passed passed, $failed failed"
if [ $failed -ne 0 ]; then
  echo "test: FAIL"
  exit 1
fi
echo "test: PASS"
