#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Safe to run again: it installs only what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

APT_PACKAGES=(
  cmake ninja-build pkg-config dpkg-dev nasm
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 xvfb xdotool imagemagick x11-utils
  locales fonts-vlgothic
  googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  libsdl2-dev libpixman-1-dev
  python3 python3-pil libpng-dev libjpeg62-turbo-dev zlib1g-dev
)

missing=()
for p in "${APT_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "vx: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Japanese locale: gives programs under wine the Shift-JIS ANSI code page.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  echo "vx: generating ja_JP.UTF-8"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
