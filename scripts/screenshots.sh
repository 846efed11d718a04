#!/usr/bin/env bash
# Walks through the screens under Xvfb with a fresh data directory and leaves a PNG of each.
# usage: screenshots.sh BUILD_DIR SHOTS_DIR WIDTHxHEIGHT [SCALE] [dark]
# WIDTHxHEIGHT is the screen in device pixels; SCALE (default 1) is QT_SCALE_FACTOR. A screen whose
# short side is more than 600 logical pixels is a desktop: the program opens as a window in its
# middle, and the taps go into that window. KURENDAL_DISPLAY picks the X display number.
set -euo pipefail
# The program meets no D-Bus here: neither the machine's session bus nor its system bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent" DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
shots="$2"
screen="$3"
scale="${4:-1}"
look="${5:-}"
size="$screen"
[ "$scale" != 1 ] && size="$screen@${scale}x"
[ "$look" = dark ] && size="$size-dark"
read -r w h ox oy <<<"$(awk -v s="$screen" -v f="$scale" 'BEGIN {
  split(s, d, "x"); w = int(d[1] / f); h = int(d[2] / f); ox = 0; oy = 0
  if ((w < h ? w : h) > 600) {
    ww = w - 16 < 480 ? w - 16 : 480; wh = h - 48 < 854 ? h - 48 : 854
    ox = int(w / 2 - ww / 2); oy = int(h / 2 - wh / 2); w = ww; h = wh
  }
  print w, h, ox, oy }')"
mkdir -p "$shots"
data="$(mktemp -d)"
# Xvfb takes a free display of its own, and names it once it accepts clients: a display picked at
# random could still be held by the last size's server, and the program found no screen.
if [ -n "${KURENDAL_DISPLAY:-}" ]; then
  Xvfb ":$KURENDAL_DISPLAY" -screen 0 "${screen}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  echo "$KURENDAL_DISPLAY" >"$data/display"
else
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$data/display" >/dev/null 2>&1 &
fi
xvfb=$!
app=""
finish() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$data"
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$data/display" ] && DISPLAY=":$(head -1 "$data/display")" xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
display=":$(head -1 "$data/display")"
export DISPLAY="$display"
if ! DISPLAY="$display" xdotool getmouselocation >/dev/null 2>&1; then
  echo "screenshots.sh: no X server for $size (set KURENDAL_DISPLAY to a free display)" >&2
  exit 1
fi
export XDG_DATA_HOME="$data"
# A desktop session has its own runtime folder; a bare headless shell has none, and Qt says so.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$data/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
[ "$scale" != 1 ] && export QT_SCALE_FACTOR="$scale"

shot() { sleep "${2:-1}"; import -window root "$shots/$size-$1.png"; }
# Device pixels of a point given in logical pixels of the program's window.
at() { awk -v x="$1" -v y="$2" -v f="$scale" -v ox="$ox" -v oy="$oy" 'BEGIN { print int((ox + x) * f), int((oy + y) * f) }'; }
tap() { xdotool mousemove $(at "$1" "$2") click 1; }
bottom=$((h - 40))

if [ "$look" = dark ]; then
  # The stored choice "Ciemny": the first four numbers out of range read as their defaults, all
  # categories on, then the preferences block (version 1, dark, 100 %, no notices, no pictures on
  # metered networks).
  mkdir -p "$data/kurendal"
  printf '\xff\xff\xff\xff%.0s' 1 2 3 4 > "$data/kurendal/settings"
  printf '\x01%.0s' 1 2 3 4 5 6 7 8 9 >> "$data/kurendal/settings"
  printf '\x01\x00\x00\x00\x02\x00\x00\x00\x64\x00\x00\x00\x00\x01' >> "$data/kurendal/settings"
fi
"$build/kurendal" > "$shots/$size-kurendal.log" 2>&1 &
app=$!
shot 1-splash 1.5
shot 2-article-list 5
tap 45 45                               # back to the categories
shot 3-category-list
tap 40 "$bottom"                        # the briefcase, still empty
shot 4-briefcase-empty
tap 45 45                               # back
sleep 1
tap 200 204                             # first category, under the top banner
sleep 1
tap 250 258                             # its first article (two photos), under the banner
shot 5-article 3
tap 40 "$bottom"                        # add it to the briefcase
shot 6-added-to-briefcase
xdotool key Return
sleep 0.5
tap "$((w - 40))" "$bottom"             # main menu
sleep 1
tap 40 "$bottom"                        # the briefcase, now with the article
shot 7-briefcase-filled 1.5
tap 45 45
sleep 1
# Scroll the categories to the end and open the picture gallery, the last row.
xdotool mousemove $(at 200 "$((h - 120))") mousedown 1
for y in $(seq "$((h - 140))" -40 120); do xdotool mousemove $(at 200 "$y"); sleep 0.03; done
xdotool mouseup 1
sleep 2
last=$((h - 79 - 35))                   # on a tall screen the list is shorter than the room:
[ "$last" -gt 744 ] && last=744         # under the bar, the banner (80) and eight rows of 70
tap 200 "$last"
shot 8-gallery 5
tap "$((w - 12))" "$((h / 2))"               # the right zone: next picture
shot 8-gallery-next 1.5
tap 34 34                               # back to the categories
sleep 1
tap "$((w - 45))" 45                    # exit button
shot 9-exit-question
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true

# The next start shows the splash advertisement fetched during this one, after the built-in picture.
"$build/kurendal" >> "$shots/$size-kurendal.log" 2>&1 &
app=$!
shot 10-splash-advertisement 4.5
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true

# Sharing: the overlay over an article, then the Twitter login panel waiting for its PIN.
# The sample service plays Twitter over HTTPS with its own test authority, trusted for this run only.
SSL_CERT_FILE="$here/../sampleserver/tls/ca.pem" "$build/kurendal" >> "$shots/$size-kurendal.log" 2>&1 &
app=$!
sleep 8.5                               # the splash, then the splash advertisement
tap 250 258                             # the first article, under the banner
sleep 1.5
tap "$((w / 2))" "$bottom"              # share
shot 11-share-overlay 1
top=$(( (h - 450) / 2 ))
tap "$((w / 2))" "$((top + 55 + 3 * 67 + 33))"   # Twitter
shot 12-twitter-pin 3
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true

# Each settings section, opened from a fresh start of the settings screen.
section=0
for name in kategorie wyglad online twitter blip pomoc; do
  "$build/kurendal" >> "$shots/$size-kurendal.log" 2>&1 &
  app=$!
  sleep 8.5
  tap 45 45                             # back to the categories
  sleep 1
  tap "$((w - 40))" "$bottom"           # settings
  sleep 1
  y=$((89 + 5 + 37 + 75 * section))
  if [ "$y" -gt "$((h - 79 - 30))" ]; then
    # Below the bar on a short screen: the list is dragged to its end, and the section is counted
    # from there (six sections of 75 and a margin of 5).
    xdotool mousemove $(at 200 "$((h - 100))") mousedown 1
    for y in $(seq "$((h - 120))" -40 100); do xdotool mousemove $(at 200 "$y"); sleep 0.03; done
    xdotool mouseup 1
    sleep 1
    y=$((h - 79 - 5 - 75 * (6 - section) + 37))
  fi
  tap 200 "$y"
  shot "13-settings-$section-$name" 1.5
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  section=$((section + 1))
done
app=""
