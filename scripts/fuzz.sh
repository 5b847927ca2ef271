#!/usr/bin/env bash
# Builds the decoder fuzzers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs them one after another.
#
#   scripts/fuzz.sh [seconds]   run each fuzzer that long (default 60) from the
#                               seed corpus fuzz/corpus/<name>/; new inputs go
#                               to build/fuzz/corpus/<name>/, a crash input to
#                               fuzz/crashes/<name>/
#   scripts/fuzz.sh --regress [seconds]
#                               replay the corpus and every saved crash input,
#                               then run each fuzzer briefly (default 20 s)
#                               on a scratch copy of its corpus
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

regress=0
if [ "${1:-}" = "--regress" ]; then
  regress=1
  shift
fi
seconds=${1:-$([ $regress = 1 ] && echo 20 || echo 60)}
build=build/fuzz
fuzzers=(${VEXLO_FUZZERS:-bmp jpeg png bgra tga dds pair})

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXLO_FUZZ=ON -DVEXLO_TESTS=OFF >/dev/null
cmake --build "$build" --target $(printf 'fuzz_%s ' "${fuzzers[@]}") >/dev/null

failed=0
for name in "${fuzzers[@]}"; do
  bin="$build/bin/fuzz_$name"
  corpus="fuzz/corpus/$name"
  crashes="fuzz/crashes/$name"
  mkdir -p "$corpus" "$crashes"
  if [ $regress = 1 ]; then
    # Every corpus file and saved crash input must run clean.
    inputs=("$corpus"/* )
    [ -n "$(ls -A "$crashes")" ] && inputs+=("$crashes"/*)
    if ! "$bin" -runs=0 "${inputs[@]}" >"$build/$name-replay.log" 2>&1; then
      echo "fuzz: $name: replay failed, see $build/$name-replay.log"
      failed=1
      continue
    fi
    scratch=$(mktemp -d)
    cp "$corpus"/* "$scratch"/
    if ! "$bin" -max_total_time="$seconds" -artifact_prefix="$crashes/" "$scratch" >"$build/$name-run.log" 2>&1; then
      echo "fuzz: $name: finding, input in $crashes/, see $build/$name-run.log"
      failed=1
    fi
    rm -rf "$scratch"
  else
    mkdir -p "$build/corpus/$name"
    if ! "$bin" -max_total_time="$seconds" -artifact_prefix="$crashes/" "$build/corpus/$name" "$corpus" \
        >"$build/$name-run.log" 2>&1; then
      echo "fuzz: $name: finding, input in $crashes/, see $build/$name-run.log"
      failed=1
    fi
  fi
  runs=$(grep -Eo '^Done [0-9]+ runs' "$build/$name-run.log" 2>/dev/null | tail -1 | awk '{print $2}' || true)
  echo "fuzz: $name: ${runs:-0} executions in ${seconds} s"
done
exit $failed
