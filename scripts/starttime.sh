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

# Milliseconds from the start of the command to its first visible window titled $1; the script
# stops if the command ends or shows no such window within 20 s.
measure() {
  local title="$1"
  shift
  rm -rf "$work/home"
  mkdir -p "$work/home"
  local start end pid
  start=$(date +%s%N)
  XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" "$@" >"$work/output" 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null || [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then
      kill "$pid" 2>/dev/null || true
      echo "starttime.sh: $* showed no window titled $title; it wrote:" >&2
      tail -5 "$work/output" >&2
      return 1
    fi
  done
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo $(( (end - start) / 1000000 ))
}

# Milliseconds from the start of the command to the first pixel other than black in the middle of
# the window (the window is black until the program's page is in it).
cat > "$work/page.py" <<'PY'
import ctypes, subprocess, sys, time
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                        ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x.XGetImage.restype = ctypes.c_void_p
x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
x.XGetPixel.restype = ctypes.c_ulong
x.XDestroyImage.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
root = x.XDefaultRootWindow(display)
start = time.monotonic()
program = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
while time.monotonic() - start < 20 and program.poll() is None:
    image = x.XGetImage(display, root, 960, 540, 1, 1, 0xFFFFFFFF, 2)
    pixel = x.XGetPixel(image, 0, 0) & 0xFFFFFF
    x.XDestroyImage(image)
    if pixel:
        print(round((time.monotonic() - start) * 1000))
        break
    time.sleep(0.001)
program.kill()
program.wait()
PY
page() {
  rm -rf "$work/home"
  mkdir -p "$work/home"
  local ms
  ms=$(XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" python3 "$work/page.py" "$@")
  [ -n "$ms" ] || { echo "starttime.sh: $* drew no page" >&2; return 1; }
  echo "$ms"
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

bundle=/etc/ssl/certs/ca-certificates.crt
authority="$root/sampleserver/tls/ca.pem"
bare="" barelibs="" system="" sample="" unset_="" drawn=""
for _ in $(seq "$runs"); do
  bare="$bare $(measure Bare "$work/bare")"
  barelibs="$barelibs $(measure Bare "$work/barelibs")"
  system="$system $(SSL_CERT_FILE="$bundle" measure Kurendal "$build/kurendal")"
  sample="$sample $(SSL_CERT_FILE="$authority" measure Kurendal "$build/kurendal")"
  unset_="$unset_ $(unset SSL_CERT_FILE; measure Kurendal "$build/kurendal")"
  drawn="$drawn $(unset SSL_CERT_FILE; page "$build/kurendal")"
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
