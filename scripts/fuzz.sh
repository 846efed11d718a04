#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs each for FUZZ_SECONDS (default 10) from the seed corpus in
# fuzz/corpus/. Inputs the fuzzers find go to build-fuzz/corpus/, crashes to build-fuzz/crashes/.
# Usage: scripts/fuzz.sh [target...]   (targets: channelcache settings bannercache json articleparser galleryparser)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-10}"
"$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURENDAL_FUZZ=ON \
  -DKURENDAL_TESTS=OFF -DKURENDAL_BENCH=OFF >/dev/null
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(channelcache settings bannercache json articleparser galleryparser)
cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")
mkdir -p "$build/crashes"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$t-" "$build/corpus/$t" "$root/fuzz/corpus/$t" 2>"$build/fuzz_$t.log"; then
    status=1
    echo "fuzz_$t failed; its log:"
    tail -n 60 "$build/fuzz_$t.log"
  else
    grep -E "^stat::number_of_executed_units|^stat::new_units_added" "$build/fuzz_$t.log" | tr '\n' ' '
    echo
  fi
done
exit $status
