#!/usr/bin/env bash
# The text benchmark: builds text_bench in the win64 tree and runs it under
# wine, full screen (640x480, 16 bits) inside the wine virtual desktop
# "vexlo"; prints its table and writes it to build/bench/text_results.md.
#
#   scripts/text_bench.sh [batches] [lines per batch]
# VEXLO_WIN64_BUILD names the build tree (default build/win64). Without a
# DISPLAY a private Xvfb is started for the run and stopped afterwards.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

build=${VEXLO_WIN64_BUILD:-build/win64}
[ -f "$build/build.ninja" ] || cmake --preset win64 >/dev/null
cmake --build "$build" --target text_bench >/dev/null

source scripts/wine-env.sh
xvfb_pid=""
cleanup() { [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  export DISPLAY=":$n"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINELOADER" wineboot -u >/dev/null 2>&1 || true
  "$WINESERVER" -w || true
fi
# Full-screen modes can be set inside a virtual desktop only.
"$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v vexlo /d 1024x768 /f >/dev/null 2>&1
"$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\text_bench.exe\Explorer' /v Desktop /d vexlo /f >/dev/null 2>&1

mkdir -p build/bench
echo "Text: a cached 40-character line against GDI TextOutA (win64 under wine)"
timeout 300 "$WINELOADER" "$build/bin/text_bench.exe" "${1:-7}" "${2:-2000}" 2>/dev/null | tr -d '\r' |
  tee build/bench/text_results.md
