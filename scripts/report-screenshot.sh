#!/usr/bin/env bash
# Takes docs/report.png: builds quenbol-count, writes the HTML report of
# samples/sample-thread.txt and photographs it in headless Chromium (the
# ranking and what follows), then docs/report-posts.png: 240 generated .dat
# threads counted post by post by ISO week.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native --target quenbol-count >/dev/null
mkdir -p build/screenshots
report="$PWD/build/screenshots/sample-report.html"
build/native/cli/quenbol-count --lang ja --html "$report" samples/sample-thread.txt
timeout 120 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --window-size=1000,2000 --virtual-time-budget=3000 \
  --screenshot="$PWD/docs/report.png" "file://$report" 2>/dev/null
echo "report-screenshot: docs/report.png"

# The report of a corpus counted post by post, with only its 推移,
# 同時に話題になるメンバー and 出現位置 sections shown.
corpus=$(python3 -c '
import sys
sys.path.insert(0, "cli/tests")
import large_corpus
large_corpus.THREADS = 240
print(large_corpus.make("build/screenshots/corpus-240", "samples/sample-thread.txt"))')
posts="$PWD/build/screenshots/posts-report.html"
build/native/cli/quenbol-count --lang ja --unit post --period week --html "$posts" -r "$corpus"
sections="$PWD/build/screenshots/posts-sections.html"
sed 's|</head>|<style>body > *:not(#trend):not(#together):not(#positions) { display: none !important }</style></head>|' \
  "$posts" >"$sections"
timeout 120 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --window-size=1000,1900 --virtual-time-budget=3000 \
  --screenshot="$PWD/docs/report-posts.png" "file://$sections" 2>/dev/null
echo "report-screenshot: docs/report-posts.png"
