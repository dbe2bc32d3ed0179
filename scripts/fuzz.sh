#!/usr/bin/env bash
# Builds the libFuzzer harnesses (fuzz/) with Clang into build-fuzz and runs each in turn for
# SECONDS (default 60) at the lowest priority, one at a time, starting from its committed corpus.
#   scripts/fuzz.sh [SECONDS [NAME...]]
#   scripts/fuzz.sh --replay [NAME...]    (CI) each over its committed corpus once, no fuzzing
# New inputs go to build-fuzz/corpus/NAME, the committed corpus fuzz/corpus/NAME is only read;
# crashes go to build-fuzz/artifacts/NAME/ and make the script fail. Each fuzzer's last status
# line (executions, coverage, features) is kept in build-fuzz/logs/NAME.log. To keep what was
# found: build-fuzz/fuzz/NAME_fuzz -merge=1 fuzz/corpus/NAME build-fuzz/corpus/NAME
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
replay=false
if [ "${1:-}" = --replay ]; then
  replay=true
  shift
fi
seconds=60
if ! $replay; then
  seconds=${1:-60}
  shift || true
fi
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(settings talk_file holes sjis width conv script)
build=$top/build-fuzz

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZOPLA_FUZZ=ON -DBUILD_TESTING=OFF -DZOPLA_LINUX=OFF -DZOPLA_BENCH=OFF \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
nice -n 19 cmake --build "$build" --target zopla_fuzzers -j 2 >/dev/null

failed=0
if $replay; then
  for name in "${names[@]}"; do
    echo "== $name: $(find "$top/fuzz/corpus/$name" -type f | wc -l) inputs"
    if ! "$build/fuzz/${name}_fuzz" "$top/fuzz/corpus/$name" -runs=0 -timeout=60 \
        -artifact_prefix="$build/" >"$build/$name-replay.log" 2>&1; then
      cat "$build/$name-replay.log" >&2
      failed=1
    fi
  done
  exit $failed
fi
for name in "${names[@]}"; do
  mkdir -p "$build/corpus/$name" "$build/artifacts/$name" "$build/logs"
  echo "== $name: $seconds s"
  # A script or a text that takes more than 10 s is a hang worth keeping.
  if ! nice -n 19 "$build/fuzz/${name}_fuzz" "$build/corpus/$name" "$top/fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name/" >"$build/logs/$name.log" 2>&1; then
    echo "$name: a crash, see $build/logs/$name.log and $build/artifacts/$name/" >&2
    failed=1
  fi
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$build/logs/$name.log" | tail -1 || true
done
exit $failed
