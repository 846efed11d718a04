#!/usr/bin/env bash
# Builds (optimised) and runs the benchmarks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
BUILD_TYPE=Release BUILD_DIR="${BUILD_DIR:-$root/build-release}" "$root/scripts/build.sh"
"${BUILD_DIR:-$root/build-release}/bench/bench_pictureflow" "$@"
