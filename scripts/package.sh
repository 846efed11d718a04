#!/usr/bin/env bash
# Builds the program optimised (into build-package/, or $BUILD_DIR) and makes the Debian
# package; prints its path alone on standard output (the build talks on standard error).
# Build and install in one go: sudo apt-get install "$(./scripts/package.sh)"
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-package}"
"$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKURENDAL_TESTS=OFF -DKURENDAL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target kurendal >&2
rm -f "$build"/kurendal_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/kurendal_*.deb
