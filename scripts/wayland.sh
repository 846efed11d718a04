#!/usr/bin/env bash
# Runs the application on a 720 x 1440 phone under a Wayland compositor's headless backend, leaves
# the compositor's screenshot in screenshots/, and fails unless the window is what a phone shell
# expects: an ordinary window that the shell fills the screen with (never one that asks for full
# screen, which would hide the shell's status bar), with no toolkit title bar above the red bar.
# usage: wayland.sh [SHELL]        Weston at scale 2; SHELL is a Weston shell module, desktop-shell.so
#                                  by default (kiosk-shell.so leaves Weston 10's headless output black)
#        wayland.sh phoc [SCALE]   Phosh's compositor phoc at SCALE, 2 by default (1.5 works too)
set -euo pipefail
# The program meets no D-Bus here: neither the machine's session bus nor its system bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent" DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
port="${KURENDAL_SAMPLE_PORT:-18080}"
compositor_name="${1:-desktop-shell.so}"
scale=2
if [ "$compositor_name" = phoc ]; then
  scale="${2:-2}"
  "$root/scripts/install-deps.sh" phoc grim
fi
shots="$root/screenshots"
mkdir -p "$shots"
runtime="$(mktemp -d)"
data="$(mktemp -d)"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" XDG_DATA_HOME="$data"
# The output in logical pixels.
read -r width height <<<"$(awk -v f="$scale" 'BEGIN { print int(720 / f + 0.5), int(1440 / f + 0.5) }')"
if [ "$compositor_name" = phoc ]; then
  name="phoc-${width}x${height}@${scale}x"
  printf '[output:HEADLESS-1]\nmode = 720x1440\nscale = %s\n' "$scale" > "$runtime/phoc.ini"
  # phoc opens its socket (wayland-0 or the next free one) in this run's own runtime folder.
  GSETTINGS_BACKEND=memory WLR_BACKENDS=headless WLR_RENDERER=pixman \
    phoc -C "$runtime/phoc.ini" > "$shots/$name-compositor.log" 2>&1 &
else
  name="wayland-${width}x${height}@${scale}x"
  weston --backend=headless-backend.so --use-pixman --shell="$compositor_name" --width="$width" \
    --height="$height" --scale="$scale" --debug --socket=wayland-kurendal > "$shots/$name-compositor.log" 2>&1 &
fi
compositor=$!
"$build/kurendal-sampleserver" --port "$port" --content "$root/sampleserver/content" > /dev/null 2>&1 &
server=$!
app=""
finish() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$server" "$compositor" 2>/dev/null || true
  rm -rf "$runtime" "$data"
}
trap finish EXIT
for _ in $(seq 50); do
  socket="$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n 1 || true)"
  [ -n "$socket" ] && break
  sleep 0.1
done
[ -n "$socket" ] || { echo "The compositor did not start: $shots/$name-compositor.log" >&2; exit 1; }
# The client's side of the protocol, to see what the window asked for and what it was given.
export WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland
export http_proxy="http://127.0.0.1:$port" no_proxy=""
WAYLAND_DEBUG=client "$build/kurendal" > "$shots/$name-kurendal.log" 2>&1 &
app=$!
sleep 8                                 # the splash, then the article list
shot="$shots/$name.png"
if [ "$compositor_name" = phoc ]; then
  grim "$shot"
else
  (cd "$runtime" && weston-screenshooter && mv wayland-screenshot-*.png "$shot")
fi
echo "Screenshot: $shot"

protocol="$shots/$name-kurendal.log"
failed=0
if grep -Eq 'xdg_toplevel@[0-9]+\.set_fullscreen\(' "$protocol"; then
  echo "The window asked for full screen: the shell's status bar would be hidden." >&2
  failed=1
fi
# The last size the shell gave the window: the output's width, and its height less any panel.
read -r given_w given_h <<<"$(grep -Eo 'xdg_toplevel@[0-9]+\.configure\([0-9]+, [0-9]+' "$protocol" \
  | tail -n 1 | sed -E 's/.*\(([0-9]+), ([0-9]+)/\1 \2/')"
if [ "${given_w:-0}" != "$width" ] || [ "${given_h:-0}" -lt $((height * 3 / 4)) ]; then
  echo "The shell did not fill the screen with the window: ${given_w:-?} x ${given_h:-?} of $width x $height." >&2
  failed=1
fi
# The window's top rows and the left edge of its bar are the red bar, not a title bar or frame
# drawn by the toolkit. Weston's desktop shell keeps its 32 px panel above the window, as a phone
# shell keeps its status bar.
top=0
[ "$compositor_name" = desktop-shell.so ] && top=$((32 * scale))
for area in "720x8+0+$top" "4x64+0+$top"; do
  read -r r g b <<<"$(convert "$shot" -crop "$area" +repage -scale '1x1!' \
    -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)"
  if [ "$r" -lt 120 ] || [ "$r" -lt $((2 * g)) ] || [ "$r" -lt $((2 * b)) ]; then
    echo "The window's bar is not red at $area (mean colour $r,$g,$b): a title bar or frame?" >&2
    failed=1
  fi
done
exit "$failed"
