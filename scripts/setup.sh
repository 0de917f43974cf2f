#!/usr/bin/env bash
# Installs, only where missing, everything quenbol needs to build, run and test
# on Debian 12: native toolchain and test libraries, the MinGW-w64 i686 cross
# toolchain, Wine (32-bit) with its own fonts (caption buttons, dialog
# fallbacks) and Xvfb, a Japanese font, and what the Python package is built
# and tested with (pybind11, pytest, pandas, Dask). Safe to run twice.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake g++ make ninja-build pkg-config
  googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine xvfb xauth x11-utils
  fonts-ipafont-gothic locales zip unzip python3 ripgrep
  chromium mecab-ipadic
  pybind11-dev python3-pybind11 python3-pytest python3-dask python3-distributed python3-pandas
  python3-venv python3-setuptools python3-wheel python3-dev
)

missing=()
for p in "${packages[@]}"; do
  # dpkg-query needs the architecture suffix for foreign packages only.
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index now and then: try the
  # update a few times, and install from whatever lists it fetched if one
  # still fails.
  for attempt in 1 2 3; do
    "${sudo_cmd[@]}" apt-get update -qq && break
    echo "setup: package lists incomplete (attempt $attempt of 3)" >&2
    sleep $((attempt * 10))
  done
  install=("${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends)
  if ! "${install[@]}" "${missing[@]}" >/dev/null; then
    # Without one architecture's security index the 32-bit libraries cannot
    # match the 64-bit ones' newest versions: take both from the release.
    . /etc/os-release
    echo "setup: install failed; installing from $VERSION_CODENAME itself, without its security updates" >&2
    "${install[@]}" -o APT::Default-Release="$VERSION_CODENAME" "${missing[@]}" >/dev/null || exit 1
  fi
else
  echo "setup: all packages present"
fi

# The window is run under Wine in a Japanese locale (Wine's own dialogs and
# buttons in Japanese, and Japanese file names kept as they are): generate it.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
