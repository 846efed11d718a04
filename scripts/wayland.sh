#!/usr/bin/env bash
# Runs the application under Weston's headless backend, as on a 720 x 1440 phone at scale 2
# (360 x 720 logical), and leaves the compositor's screenshot in screenshots/.
# usage: wayland.sh [SHELL]   SHELL is a Weston shell module, kiosk-shell.so by default.
set -euo pipefail
# The program meets no D-Bus here: neither the machine's session bus nor its system bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent" DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
port="${KURENDAL_SAMPLE_PORT:-18080}"
shell="${1:-kiosk-shell.so}"
shots="$root/screenshots"
mkdir -p "$shots"
runtime="$(mktemp -d)"
data="$(mktemp -d)"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" XDG_DATA_HOME="$data"
socket="wayland-kurendal"
weston --backend=headless-backend.so --use-pixman --shell="$shell" --width=360 --height=720 --scale=2 \
  --debug --socket="$socket" > "$shots/wayland-weston.log" 2>&1 &
compositor=$!
"$build/kurendal-sampleserver" --port "$port" --content "$root/sampleserver/content" > /dev/null &
server=$!
app=""
finish() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$server" "$compositor" 2>/dev/null || true
  rm -rf "$runtime" "$data"
}
trap finish EXIT
sleep 1.5
export WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland http_proxy="http://127.0.0.1:$port" no_proxy=""
"$build/kurendal" > "$shots/wayland-kurendal.log" 2>&1 &
app=$!
sleep 8                                 # the splash, then the article list
(cd "$runtime" && weston-screenshooter && mv wayland-screenshot-*.png "$shots/wayland-360x720@2x.png")
weston-debug scene-graph > "$shots/wayland-scene.txt" 2>&1 &
sleep 1
kill $! 2>/dev/null || true
echo "Screenshot: $shots/wayland-360x720@2x.png"
