#!/usr/bin/env bash
# Runs the program headless where things go wrong and prints what it cost and what it kept.
# usage: scripts/hostile.sh [network] [datafolder] [once]        (default: all three)
#   network     about a minute behind kurendal-hostileserver, as its proxy: a feed that stalls after
#               its first bytes, one that trickles, redirects to file:/// and to loopback, picture
#               bombs (PNG and JPEG), pictures that are not pictures, 100 000 articles, a NUL;
#               the analytics report stalls too. The clock runs HOSTILE_SPEED (60) times faster
#               under faketime, so the refresh rounds of an hour fit in the minute.
#   datafolder  starts on a data folder (a briefcase of three articles, caches, banners, splash)
#               damaged in turn: links to /dev/zero, FIFOs, cut files, wrong version bytes, a
#               directory, a huge sparse file, picture bombs as splash, thumbnail and photo.
#   once        one start against the plain sample service: each feed is asked for once.
# Goals: peak memory under 300 MB, the program alive and refreshing, nothing local fetched or kept.
# Prints "FAIL: ..." for each goal missed and exits 1 then; a missing tool skips a run ("SKIP").
# BUILD_DIR (build/; build-asan/ runs the sanitizer build), HOSTILE_SECONDS (60), HOSTILE_SPEED (60),
# HOSTILE_LIMIT_MB (300, or 900 for a sanitizer build), HOSTILE_START_SECONDS (each damaged start: 10, or 30 for a sanitizer build),
# HOSTILE_PLAIN=1 (the network run with nothing hostile: a baseline).
set -uo pipefail
# The program meets no D-Bus here: neither the machine's session bus nor its system bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent" DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"
root="$(cd "$(dirname "$0")/.." && pwd)"
# The network run's fast clock (only what is missing is installed).
"$root/scripts/install-deps.sh" libfaketime
build="${BUILD_DIR:-$root/build}"
seconds="${HOSTILE_SECONDS:-60}"
speed="${HOSTILE_SPEED:-60}"
limit_mb="${HOSTILE_LIMIT_MB:-}"
start_seconds="${HOSTILE_START_SECONDS:-}"
runs=("$@")
[ ${#runs[@]} -eq 0 ] && runs=(network datafolder once)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok:   $*"; }

for tool in python3 mkfifo timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 0; }
done
if [ ! -x "$build/kurendal" ] || [ ! -x "$build/kurendal-hostileserver" ] || [ ! -x "$build/kurendal-seeddata" ]; then
  cmake --build "$build" --target kurendal kurendal-hostileserver kurendal-seeddata >/dev/null \
    || { echo "SKIP: cannot build the program and its hostile service in $build"; exit 0; }
fi

sanitized=0
[ "$(nm -D "$build/kurendal" 2>/dev/null | grep -c __asan_init)" -gt 0 ] && sanitized=1
# A sanitizer build starts about three times slower.
[ -z "$start_seconds" ] && start_seconds=$([ "$sanitized" = 1 ] && echo 30 || echo 10)
# and takes three times the memory (shadow, quarantine of freed blocks).
[ -z "$limit_mb" ] && limit_mb=$([ "$sanitized" = 1 ] && echo 900 || echo 300)
work="$(mktemp -d)"
server=""
app=""
cleanup() {
  [ -n "$app" ] && kill -9 "$app" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 130" INT TERM

# Starts the service (hostile, or with "--plain" only counting) and sets $port.
start_server() {
  : >"$work/requests"
  "$build/kurendal-hostileserver" --canary "$work/canary" "$@" >"$work/requests" 2>"$work/server.err" &
  server=$!
  port=""
  for _ in $(seq 1 300); do
    port="$(awk '/^listening/ { print $2 }' "$work/requests")"
    [ -n "$port" ] && return 0
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  echo "SKIP: the hostile service did not start: $(cat "$work/server.err")"
  exit 0
}
stop_server() { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; server=""; }

# Runs the program for $2 seconds on data folder $1 (faketime speed $3, 1 for none). Sets $peak_kb,
# $alive (1 when still running at the end), $first_feed (seconds to its first feed request, or "-"),
# $stuck (the call the main thread sits in when it waits on a FIFO).
run_app() {
  local data="$1" run_seconds="$2" run_speed="$3"
  # libfaketime preloaded into the program itself (the faketime wrapper would stand between).
  local -a clock=()
  if [ "$run_speed" != 1 ]; then
    local preload="$faketime_lib"
    # A sanitizer's runtime must come first.
    [ "$sanitized" = 1 ] && preload="$(ldd "$build/kurendal" | awk '/libasan/ { print $3 }'):$preload"
    clock=(LD_PRELOAD="$preload" FAKETIME="@2026-12-08 05:00:00 x$run_speed")
  fi
  mkdir -p "$data/config"
  (
    # A safety net for this machine: 8 GB of address space (not for a sanitizer build,
    # whose shadow memory is reserved up front).
    [ "$sanitized" = 1 ] || ulimit -v 8000000
    exec env XDG_DATA_HOME="$data" XDG_CONFIG_HOME="$data/config" QT_QPA_PLATFORM=offscreen \
      http_proxy="http://127.0.0.1:$port" no_proxy="" "${clock[@]}" "$build/kurendal"
  ) >"$data/app.log" 2>&1 &
  app=$!
  local start now
  start=$(date +%s.%N)
  peak_kb=0
  first_feed="-"
  alive=1
  stuck=""
  while :; do
    now=$(date +%s.%N)
    awk -v n="$now" -v s="$start" -v t="$run_seconds" 'BEGIN { exit !(n - s >= t) }' && break
    if ! kill -0 "$app" 2>/dev/null; then
      alive=0
      break
    fi
    local hwm
    hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$app/status" 2>/dev/null)
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak_kb" ] && peak_kb=$hwm
    if [ "$first_feed" = "-" ] && grep -q "/pub/mobi_lg/out/" "$work/requests"; then
      first_feed=$(awk -v n="$(date +%s.%N)" -v s="$start" 'BEGIN { printf "%.1f", n - s }')
    fi
    sleep 0.2
  done
  if [ "$alive" = 1 ]; then
    # The main thread sitting in one open() or read() (a FIFO) instead of its event loop's poll.
    local call1 call2
    call1="$(cut -d' ' -f1-2 "/proc/$app/syscall" 2>/dev/null)"
    sleep 0.5
    call2="$(cut -d' ' -f1-2 "/proc/$app/syscall" 2>/dev/null)"
    if [ "$call1" = "$call2" ]; then
      case "${call1%% *}" in 0) stuck="read()" ;; 2 | 257) stuck="open()" ;; esac
    fi
    kill -9 "$app" 2>/dev/null
  fi
  wait "$app" 2>/dev/null
  app=""
}

count() { grep -c -- "$1" "$work/requests"; }

# A sanitizer build's report in the program's log, if any.
sanitizer_finding() {
  grep -m 1 -E "ERROR: (Address|Leak)Sanitizer|runtime error:" "$1" && grep -m 3 -E "^    #[0-9] " "$1"
}
mb() { echo $(( $1 / 1024 )); }

# True when a file under $1 holds the bytes of $2 or the text $3 (UTF-8 or UTF-16).
kept_file() { [ -n "$(find "$1" -type f -size -20M -exec cmp -s "$2" {} \; -print -quit)" ]; }
kept_text() {
  python3 - "$1" "$2" <<'PY'
import os, sys
root, text = sys.argv[1], sys.argv[2]
needles = [text.encode(e) for e in ("utf-8", "utf-16-be", "utf-16-le")]
for folder, _, files in os.walk(root):
    for name in files:
        path = os.path.join(folder, name)
        if os.path.isfile(path) and not os.path.islink(path) and os.path.getsize(path) < 20 << 20:
            data = open(path, "rb").read()
            if any(n in data for n in needles):
                sys.exit(0)
sys.exit(1)
PY
}

network() {
  echo "== network: ${seconds}s against the hostile service, clock x$speed"
  faketime_lib="$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/lib/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1)"
  if [ "$speed" != 1 ] && [ -z "$faketime_lib" ]; then
    echo "SKIP: libfaketime is missing (HOSTILE_SPEED=1 runs in real time)"
    return
  fi
  # HOSTILE_PLAIN=1: the same run with nothing hostile, for a baseline.
  if [ "${HOSTILE_PLAIN:-0}" = 1 ]; then start_server --plain; else start_server; fi
  local data="$work/network"
  run_app "$data" "$seconds" "$speed"
  stop_server
  echo "peak memory $(mb "$peak_kb") MB; first feed asked for after ${first_feed}s"
  [ "$peak_kb" -lt $((limit_mb * 1024)) ] && ok "peak memory under $limit_mb MB" \
    || fail "peak memory $(mb "$peak_kb") MB (goal: under $limit_mb MB)"
  [ "$alive" = 1 ] && ok "still running after ${seconds}s" \
    || fail "the program ended early: $(tail -n 3 "$data/app.log" | tr '\n' ' ')"
  sanitizer_finding "$data/app.log" >/dev/null && fail "the sanitizers found: $(sanitizer_finding "$data/app.log")"
  echo "requests per feed (the first four misbehave):"
  local feed n
  for feed in kraj kr_sport kr_swiat kr_kultura gospodarka kr_komentarze kr_najnowsze kr_najwazniejsze; do
    n=$(count "/out/$feed.xml")
    printf '  %-18s %s\n' "$feed" "$n"
    [ "$n" -ge 1 ] || fail "$feed.xml never asked for: the queue stalled before it"
  done
  n=$(count "/pub/rss/fotoplan.xml")
  printf '  %-18s %s\n' fotoplan "$n"
  local rounds
  rounds=$(count "/out/kr_najnowsze.xml")
  if [ "$speed" -ge 30 ] && [ "$seconds" -ge 60 ]; then
    [ "$rounds" -ge 2 ] && ok "kept refreshing: $rounds rounds" \
      || fail "no refresh round after the first (kr_najnowsze.xml asked for $rounds times)"
  fi
  echo "pictures served: $(count '^png-bomb') PNG bombs, $(count '^jpeg-bomb') JPEG bombs, $(count '^not-a-picture') not pictures"
  # A goal counts only when the program asked for the address that tests it.
  tried() { [ "$(count "$1")" -gt 0 ] || { echo "not tried: $2 never asked for"; return 1; }; }
  if tried '^to-loopback\|^picture-to-loopback' "an address redirecting to loopback"; then
    [ "$(count '^CANARY')" -eq 0 ] && ok "no redirect to a loopback address followed" \
      || fail "a redirect to a loopback address was followed: $(grep '^CANARY' "$work/requests" | sort -u | tr '\n' ' ')"
  fi
  if tried '^to-file' "the feed redirecting to file:///"; then
    kept_text "$data" "KANAREK" && fail "a feed redirected to file:/// was kept" || ok "no local file kept as a feed"
  fi
  if tried '^picture-to-file' "the picture redirecting to file:///"; then
    kept_file "$data" "$work/canary/canary.png" && fail "a picture redirected to a local file was kept" \
      || ok "no local file kept as a picture"
  fi
  if tried '^not-a-picture' "a picture that is not one"; then
    kept_text "$data" "NIE-OBRAZEK" && fail "bytes that are not a picture were kept as one" \
      || ok "nothing that is not a picture kept"
  fi
  if tried '^nul-feed' "the feed with a NUL"; then
    kept_text "$data" "ZEPSUTY" && fail "the feed with a NUL was cached" || ok "the feed with a NUL not cached"
  fi
  local bombs=0 f
  for f in bomb.png bomb.jpg; do
    kept_file "$data" "$work/canary/$f" && bombs=$((bombs + 1))
  done
  echo "picture bombs stored as they came: $bombs of 2 kinds"
  echo "data folder: $(du -sk "$data" | cut -f1) KB; the 100 000-article feed's cache: $(find "$data" -name rssGospodarka -type f -exec du -k {} + 2>/dev/null | cut -f1) KB"
}

# A good data folder: the briefcase, then the caches, banners, splash and settings of one run.
seed() {
  local data="$1"
  XDG_DATA_HOME="$data" "$build/kurendal-seeddata" >/dev/null 2>&1 || return 1
  start_server --plain
  run_app "$data" 12 1
  stop_server
  [ -s "$data/kurendal/splash" ] && [ -s "$data/kurendal/rssNajnowsze" ]
}

# The briefcase as a start would load it.
briefcase_ids() {
  local ids
  ids="$(XDG_DATA_HOME="$1" timeout -s KILL 15 "$build/kurendal-seeddata" --list 2>/dev/null)" || { echo "not loaded in 15 s"; return; }
  echo "$ids" | sort | tr '\n' ' '
}

damage() {
  local d="$1/kurendal" how="$2"
  case "$how" in
    good) ;;
    devices)
      rm -f "$d/rssNajnowsze" "$d/banners" "$d/rssTeczka" "$d/rssKraj"
      ln -s /dev/zero "$d/rssNajnowsze"; ln -s /dev/urandom "$d/banners"; ln -s /dev/zero "$d/rssTeczka"
      ln -s /dev/zero "$d/rssKraj" ;;
    fifos)
      rm -f "$d/rssNajnowsze" "$d/banners" "$d/settings" "$d/rssTeczka" "$1/config/Tarvo/Kurendal.conf"
      mkfifo "$d/rssNajnowsze" "$d/banners" "$d/rssTeczka"
      rm -f "$d/settings" && mkfifo "$d/settings"
      mkdir -p "$1/config/Tarvo" && mkfifo "$1/config/Tarvo/Kurendal.conf" ;;
    cut-and-versions)
      truncate -s $(( $(stat -c %s "$d/rssTeczka") / 2 )) "$d/rssTeczka"
      truncate -s 7 "$d/banners"
      printf '\x07' | dd of="$d/rssNajnowsze" bs=1 seek=0 conv=notrunc status=none
      printf '\x09' | dd of="$d/rssKraj" bs=1 seek=3 conv=notrunc status=none
      truncate -s 100 "$d/splash" ;;
    directory-and-huge)
      rm -f "$d/rssTeczka" && mkdir "$d/rssTeczka"
      rm -f "$d/rssNajnowsze" && truncate -s 300M "$d/rssNajnowsze" ;;
    picture-bombs)
      cp "$work/canary/bomb.png" "$d/splash"
      local t p
      for t in "$d"/teczka/thumb*.jpg; do cp "$work/canary/bomb.jpg" "$t"; done
      for p in "$d"/teczka/photo_*.jpg; do
        python3 -c 'import struct,sys; b=open(sys.argv[1],"rb").read(); sys.stdout.buffer.write(struct.pack(">I",len(b))+b)' \
          "$work/canary/bomb.png" >"$p"
      done ;;
  esac
}

datafolder() {
  echo "== data folder: starts on damaged files"
  local good="$work/good"
  if ! seed "$good"; then
    fail "could not seed a data folder: $(tail -n 3 "$good/app.log" | tr '\n' ' ')"
    return
  fi
  local expected baseline=""
  expected="$(briefcase_ids "$good")"
  printf '  %-20s %8s %12s %10s  %s\n' case "peak MB" "first feed s" running briefcase
  local how data ids
  for how in good devices fifos cut-and-versions directory-and-huge picture-bombs; do
    data="$work/case-$how"
    cp -a "$good" "$data"
    rm -f "$data/app.log"
    damage "$data" "$how"
    start_server --plain
    run_app "$data" "$start_seconds" 1
    stop_server
    ids="$(briefcase_ids "$data")"
    printf '  %-20s %8s %12s %10s  %s\n' "$how" "$(mb "$peak_kb")" "$first_feed" \
      "$([ "$alive" = 1 ] && echo yes || echo no)${stuck:+ (in $stuck)}" "$ids"
    [ "$how" = good ] && baseline="$first_feed"
    [ "$peak_kb" -lt $((limit_mb * 1024)) ] || fail "$how: peak memory $(mb "$peak_kb") MB"
    [ "$alive" = 1 ] || fail "$how: the program ended: $(grep -v 'check [0-9]*$' "$data/app.log" | tail -n 2 | tr '\n' ' ')"
    [ -z "$stuck" ] || fail "$how: the program waits in $stuck"
    sanitizer_finding "$data/app.log" >/dev/null && fail "$how: the sanitizers found: $(sanitizer_finding "$data/app.log")"
    if [ "$first_feed" = "-" ]; then
      fail "$how: never got as far as refreshing in $start_seconds s"
    elif [ "$baseline" != "-" ] && awk -v a="$first_feed" -v b="$baseline" 'BEGIN { exit !(a > b + 3) }'; then
      fail "$how: started ${first_feed}s (good folder: ${baseline}s)"
    fi
    [ "$ids" = "$expected" ] || fail "$how: the briefcase holds '$ids' (was '$expected')"
  done
}

once() {
  echo "== one start against the plain sample service"
  start_server --plain
  run_app "$work/once" 15 1
  stop_server
  local feed n twice=0
  for feed in kraj kr_sport kr_swiat kr_kultura gospodarka kr_komentarze kr_najnowsze kr_najwazniejsze; do
    n=$(count "/out/$feed.xml")
    [ "$n" -eq 1 ] || { fail "$feed.xml asked for $n times in one start"; twice=1; }
  done
  for what in "ads.kurendal.pl/ad/GetBanMb" "/pub/rss/fotoplan.xml"; do
    n=$(count "$what")
    echo "  $what: $n"
  done
  [ "$twice" = 0 ] && ok "each feed asked for once ($(count '/pub/mobi_lg/out/') feed requests, $(count 'pass ') in all)"
}

for r in "${runs[@]}"; do
  case "$r" in
    network | datafolder | once) "$r" ;;
    *) echo "unknown run: $r"; exit 2 ;;
  esac
done
[ "$failures" -eq 0 ] && echo "all goals met" || echo "$failures goals missed"
[ "$failures" -eq 0 ]
