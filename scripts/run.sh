#!/usr/bin/env bash
# Installs what is missing, builds, starts the local sample service and the application.
# Without a display the application runs under Xvfb for a while and leaves screenshots.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
port="${KURENDAL_SAMPLE_PORT:-18080}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

"$build/kurendal-sampleserver" --port "$port" --content "$root/sampleserver/content" &
server=$!

cleanup() {
  kill "$server" 2>/dev/null || true
}
trap cleanup EXIT
sleep 0.5

# The application reaches the publisher's hosts through the sample service, as its proxy.
export http_proxy="http://127.0.0.1:$port"
export no_proxy=""

if [ -n "${DISPLAY:-}" ] && [ -z "${KURENDAL_HEADLESS:-}" ]; then
  "$build/kurendal"
  exit 0
fi

shots="$root/screenshots"
# A screen is WIDTHxHEIGHT in device pixels, with @SCALE when the program runs scaled.
for screen in ${KURENDAL_SCREENS:-480x854 854x480 720x1440@2 1080x2340@2.5 1920x1080}; do
  "$root/scripts/screenshots.sh" "$build" "$shots" "${screen%@*}" "$(echo "$screen@1" | cut -d@ -f2)"
done
echo "Screenshots are in $shots"
