#!/usr/bin/env bash
# Start to first visible window on a 1920 x 1080 X screen (Xvfb), fresh profile each run: the
# program with SSL_CERT_FILE naming the system's bundle, naming the sample service's authority, and
# unset, beside a bare Qt window started the same way (the floor) and the same window loading the
# program's libraries. The window shows before the program's library loads, so the time until its
# first page (the splash) is drawn is measured too. Runs are interleaved; prints the median of each
# in ms and its ratio to the floor.
# usage: starttime.sh [BUILD_DIR]   RUNS (default 5) runs of each; KURENDAL_DISPLAY picks the display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${RUNS:-5}"
display=":${KURENDAL_DISPLAY:-$((90 + RANDOM % 100))}"
[ -x "$build/kurendal" ] || { echo "starttime.sh: no $build/kurendal" >&2; exit 1; }
work="$(mktemp -d)"
# -noreset: by default the server resets when its last client leaves, and a program started
# during the reset cannot connect.
# -br: a black root, so that the page's first pixels stand out from it and the black window.
Xvfb "$display" -screen 0 1920x1080x24 -br -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display"
# The windows go to that X screen whatever the calling shell chose: with QT_QPA_PLATFORM=offscreen
# (as the tests run) or a Wayland session, no X window ever showed and every run waited out its
# time limit.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_SCALE_FACTOR
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
if ! kill -0 "$xvfb" 2>/dev/null || ! xdotool getmouselocation >/dev/null 2>&1; then
  echo "starttime.sh: no X server on $display (is the display in use? set KURENDAL_DISPLAY)" >&2
  exit 1
fi
# Nothing reaches a network or a bus: a dead proxy, dead bus addresses.
export http_proxy="http://127.0.0.1:9" no_proxy=""
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent" DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"

cat > "$work/bare.cpp" <<'CPP'
#include <QApplication>
#include <QWidget>
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(480, 854);
    window.show();
    return application.exec();
}
CPP
qt=Qt6Widgets
# shellcheck disable=SC2046
g++ -O2 -fPIC -std=c++17 "$work/bare.cpp" -o "$work/bare" $(pkg-config --cflags --libs "$qt")
# The same window, loading the libraries the program links: what the loader alone adds.
# shellcheck disable=SC2046
g++ -O2 -fPIC -std=c++17 "$work/bare.cpp" -o "$work/barelibs" -Wl,--no-as-needed \
  $(pkg-config --cflags --libs "$qt" Qt6Quick Qt6Network Qt6DBus Qt6Bluetooth) -lcrypto
sleep 1

# One poller in one process, so that no forked xdotool competes with the program for the CPU:
#   poll.py window TITLE CMD...   ms from the start of CMD to its first viewable window titled TITLE
#   poll.py page CMD...           ms to the first pixel other than black in the middle of the screen
#                                 (the window is black until the program's page is in it)
# Nothing is printed if CMD ends or 20 s pass first.
cat > "$work/poll.py" <<'PY'
import ctypes, subprocess, sys, time
from ctypes import POINTER, byref, c_int, c_uint, c_ulong, c_void_p, c_char_p
x = ctypes.CDLL("libX11.so.6")

class Attributes(ctypes.Structure):
    _fields_ = [("x", c_int), ("y", c_int), ("width", c_int), ("height", c_int), ("border_width", c_int),
                ("depth", c_int), ("visual", c_void_p), ("root", c_ulong), ("c_class", c_int),
                ("bit_gravity", c_int), ("win_gravity", c_int), ("backing_store", c_int),
                ("backing_planes", c_ulong), ("backing_pixel", c_ulong), ("save_under", c_int),
                ("colormap", c_ulong), ("map_installed", c_int), ("map_state", c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", c_int), ("screen", c_void_p)]

class Text(ctypes.Structure):
    _fields_ = [("value", c_char_p), ("encoding", c_ulong), ("format", c_int), ("nitems", c_ulong)]

x.XOpenDisplay.restype = c_void_p
x.XDefaultRootWindow.argtypes = [c_void_p]
x.XDefaultRootWindow.restype = c_ulong
x.XQueryTree.argtypes = [c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong), POINTER(POINTER(c_ulong)), POINTER(c_uint)]
x.XGetWindowAttributes.argtypes = [c_void_p, c_ulong, POINTER(Attributes)]
x.XGetWMName.argtypes = [c_void_p, c_ulong, POINTER(Text)]
x.XFree.argtypes = [c_void_p]
x.XGetImage.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int]
x.XGetImage.restype = c_void_p
x.XGetPixel.argtypes = [c_void_p, c_int, c_int]
x.XGetPixel.restype = c_ulong
x.XDestroyImage.argtypes = [c_void_p]
display = x.XOpenDisplay(None)
root = x.XDefaultRootWindow(display)

def window_shown(title):
    parent, top, children, count = c_ulong(), c_ulong(), POINTER(c_ulong)(), c_uint()
    if not x.XQueryTree(display, root, byref(top), byref(parent), byref(children), byref(count)):
        return False
    found = False
    for i in range(count.value):
        attributes, name = Attributes(), Text()
        if (x.XGetWindowAttributes(display, children[i], byref(attributes)) and attributes.map_state == 2
                and x.XGetWMName(display, children[i], byref(name)) and name.value == title):
            found = True
            break
    if count.value:
        x.XFree(children)
    return found

def page_drawn():
    image = x.XGetImage(display, root, 960, 540, 1, 1, 0xFFFFFFFF, 2)
    pixel = x.XGetPixel(image, 0, 0) & 0xFFFFFF
    x.XDestroyImage(image)
    return pixel != 0

if sys.argv[1] == "window":
    done, command = (lambda title: lambda: window_shown(title))(sys.argv[2].encode()), sys.argv[3:]
else:
    done, command = page_drawn, sys.argv[2:]
start = time.monotonic()
program = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
while time.monotonic() - start < 20 and program.poll() is None:
    if done():
        print(round((time.monotonic() - start) * 1000))
        break
    time.sleep(0.001)
program.kill()
program.wait()
PY
# poll window TITLE CMD... | poll page CMD...: the poller's figure, with a fresh profile.
poll() {
  rm -rf "$work/home"
  mkdir -p "$work/home"
  local ms
  ms=$(XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" python3 "$work/poll.py" "$@")
  [ -n "$ms" ] || { echo "starttime.sh: $* showed nothing in time" >&2; return 1; }
  echo "$ms"
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

bundle=/etc/ssl/certs/ca-certificates.crt
authority="$root/sampleserver/tls/ca.pem"
bare="" barelibs="" system="" sample="" unset_="" drawn=""
for _ in $(seq "$runs"); do
  bare="$bare $(poll window Bare "$work/bare")"
  barelibs="$barelibs $(poll window Bare "$work/barelibs")"
  system="$system $(SSL_CERT_FILE="$bundle" poll window Kurendal "$build/kurendal")"
  sample="$sample $(SSL_CERT_FILE="$authority" poll window Kurendal "$build/kurendal")"
  unset_="$unset_ $(unset SSL_CERT_FILE; poll window Kurendal "$build/kurendal")"
  drawn="$drawn $(unset SSL_CERT_FILE; poll page "$build/kurendal")"
done
floor=$(echo "$bare" | median)
report() {
  local m
  m=$(echo "$2" | median)
  awk -v name="$1" -v m="$m" -v f="$floor" -v all="$2" 'BEGIN { printf "%-40s %5d ms  %.2f x the bare window  (runs:%s)\n", name, m, m / f, all }'
}
printf '%-40s %5d ms  (runs:%s)\n' "bare Qt window" "$floor" "$bare"
report "bare window, the program's libraries" "$barelibs"
report "kurendal, SSL_CERT_FILE the system bundle" "$system"
report "kurendal, SSL_CERT_FILE another authority" "$sample"
report "kurendal, SSL_CERT_FILE unset" "$unset_"
report "kurendal, its first page drawn" "$drawn"
