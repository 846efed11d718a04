#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure -j "$(nproc)"
# A short fuzzing round over the seed corpus; KURENDAL_SKIP_FUZZ=1 leaves it out.
if [ "${KURENDAL_SKIP_FUZZ:-0}" != 1 ]; then
  FUZZ_SECONDS="${FUZZ_SECONDS:-5}" "$root/scripts/fuzz.sh"
fi
