#!/usr/bin/env bash
# Takes docs/report.png: builds quenbol-count, writes the HTML report of
# samples/sample-thread.txt and photographs it in headless Chromium (the
# ranking, the keyword table and the start of the marked text).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native --target quenbol-count >/dev/null
mkdir -p build/screenshots
report="$PWD/build/screenshots/sample-report.html"
build/native/cli/quenbol-count --html "$report" samples/sample-thread.txt
timeout 120 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --window-size=1000,2000 --virtual-time-budget=3000 \
  --screenshot="$PWD/docs/report.png" "file://$report" 2>/dev/null
echo "report-screenshot: docs/report.png"
