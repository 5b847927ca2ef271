#!/usr/bin/env bash
# Builds the benchmarks in build/bench (Release, host compiler, no
# sanitizers) and runs the blit benchmark against SDL2 and pixman; prints
# the table of megapixels per second and ratios, and writes it to
# build/bench/blit_results.md; then the text benchmark (scripts/text_bench.sh).
#
#   scripts/bench.sh [repetitions] [benchmark filter]
# Each benchmark runs `repetitions` times (default 3); the table keeps the
# best run of each, so that a busy machine costs as little as possible.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

repetitions=${1:-3}
filter=${2:-.}
build=build/bench

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXLO_BENCH=ON -DVEXLO_TESTS=OFF \
  -DVEXLO_SANITIZE=OFF >/dev/null
cmake --build "$build" --target blit_peers >/dev/null

"$build/bin/blit_peers" --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
  --benchmark_min_time=0.2 --benchmark_format=json --benchmark_out="$build/blit_results.json" \
  --benchmark_out_format=json >/dev/null
/usr/bin/python3 scripts/bench_table.py "$build/blit_results.json" | tee "$build/blit_results.md"

# The text benchmark runs the Windows build under wine.
echo
bash scripts/text_bench.sh
