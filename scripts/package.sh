#!/usr/bin/env bash
# Builds the program optimised (into build-package/, or $BUILD_DIR) and makes the Debian
# package; prints its path. Install it with: sudo apt-get install ./kurendal_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-package}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKURENDAL_TESTS=OFF -DKURENDAL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target kurendal
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/kurendal_*.deb
