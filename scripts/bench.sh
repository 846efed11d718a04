#!/usr/bin/env bash
# Builds (optimised) and runs the benchmarks: the news path, the cover-flow, frames at high density, downloads, then search.
# Extra arguments go to both (e.g. --benchmark_filter=startUp).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-release}"
"$root/scripts/install-deps.sh"
BUILD_TYPE=Release BUILD_DIR="$build" "$root/scripts/build.sh"
"$build/bench/bench_news" "$@"
"$build/bench/bench_pictureflow" "$@"
"$build/bench/bench_pictures" "$@"
"$build/bench/bench_density" "$@"
"$build/bench/bench_downloads" "$@"
"$build/bench/bench_search" "$@"
