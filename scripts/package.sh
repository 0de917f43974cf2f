#!/usr/bin/env bash
# Builds the release archive build/quenbol-<version>-win32.zip: both programs,
# the user's guide in code page 932 with CR LF (as Japanese Windows users
# expect it), the sample text, the licence, and the licence of the IPA
# dictionary, whose words are built into quenbol-count.exe (core/words/).
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(quenbol VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

if [ "${QUENBOL_SKIP_BUILD:-}" != 1 ]; then
  bash scripts/setup.sh
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target quenbol quenbol-count
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir="$stage/quenbol-$version"
mkdir -p "$dir"
cp build/windows/ui/quenbol.exe build/windows/cli/quenbol-count.exe "$dir/"
cp samples/sample-thread.txt "$dir/"
sed 's/$/\r/' LICENSE >"$dir/LICENSE.txt"
ipadic_notice=/usr/share/doc/mecab-ipadic/copyright
[ -f "$ipadic_notice" ] || { echo "package: $ipadic_notice is missing (apt-get install mecab-ipadic)" >&2; exit 1; }
sed 's/$/\r/' "$ipadic_notice" >"$dir/IPADIC-LICENSE.txt"
sed 's/$/\r/' docs/readme-user.txt | iconv -f UTF-8 -t CP932 >"$dir/readme.txt"

out="$PWD/build/quenbol-$version-win32.zip"
rm -f "$out"
(cd "$stage" && zip -qr -X "$out" "quenbol-$version")
echo "$out"
