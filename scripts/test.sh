#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# Each stage says how long it took, so that CI's cost can be read from its log.
stage_start=$SECONDS
stage() { echo "== $1 took $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }
"$root/scripts/install-deps.sh"
stage "installing"
"$root/scripts/build.sh"
stage "building"
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure -j "$(nproc)"
stage "the suite"
# The whole suite again under AddressSanitizer (with its leak checker) and UndefinedBehaviorSanitizer,
# in build-asan/ (without the benchmarks); KURENDAL_SKIP_SANITIZE=1 leaves it out.
case "${CMAKE_ARGS:-}" in *KURENDAL_SANITIZE=ON*) KURENDAL_SKIP_SANITIZE=1 ;; esac
if [ "${KURENDAL_SKIP_SANITIZE:-0}" != 1 ]; then
  BUILD_DIR="$root/build-asan" CMAKE_ARGS="${CMAKE_ARGS:-} -DKURENDAL_SANITIZE=ON -DKURENDAL_BENCH=OFF" \
    "$root/scripts/build.sh"
  stage "building with the sanitizers"
  (cd "$root/build-asan" && ctest --output-on-failure -j "$(nproc)")
  stage "the sanitizer suite"
fi
# A short fuzzing round over the seed corpus; KURENDAL_SKIP_FUZZ=1 leaves it out.
if [ "${KURENDAL_SKIP_FUZZ:-0}" != 1 ]; then
  FUZZ_SECONDS="${FUZZ_SECONDS:-5}" "$root/scripts/fuzz.sh"
  stage "the fuzz round"
fi
