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
xvfb=""
cleanup() {
  kill "$server" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
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
mkdir -p "$shots"
size="${KURENDAL_SCREEN:-480x854}"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"
"$build/kurendal" > "$shots/kurendal.log" 2>&1 &
app=$!
sleep 1.5
import -window root "$shots/1-splash.png"
sleep "${KURENDAL_WAIT:-5}"
import -window root "$shots/2-start.png"
# Tap the exit button: the exit question must come up.
xdotool mousemove "$(( ${size%x*} - 45 ))" 45 click 1 || true
sleep 1
import -window root "$shots/3-exit-question.png"
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
echo "Screenshots are in $shots"
