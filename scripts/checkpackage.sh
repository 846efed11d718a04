#!/usr/bin/env bash
# Packs the build in BUILD_DIR as a .deb and checks it: its contents and dependencies, the
# desktop entry and AppStream data through their validators, and the program unpacked into a
# scratch root, started from its desktop entry headless against the sample service.
# usage: checkpackage.sh BUILD_DIR
set -euo pipefail
# The program meets no D-Bus here: neither the machine's session bus nor its system bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent" DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
server=""
app=""
finish() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

id=pl.kurendal.Kurendal
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/out/kurendal_*.deb)"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Contents: the program and its desktop files, nothing of the tests, benchmarks or sample service.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/contents"
icons=""
for size in 16 22 24 32 48 64 128 256 512; do
  icons="$icons /usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
for path in /usr/bin/kurendal /usr/lib/kurendal/libkurendalprogram.so /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/$id.svg $icons; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
if grep -E 'sampleserver|/tst_|bench_|fuzz_|\.a$|\.h$' "$work/contents"; then
  fail "the package holds build-only files (above)"
fi

# Dependencies: the libraries come from dpkg-shlibdeps, the QML module by hand.
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for pkg in libqt6widgets6 libqt6quick6 libqt6network6 libssl3 qml6-module-qtquick qml6-module-qtqml \
    qml6-module-qtqml-models qml6-module-qtqml-workerscript; do
  grep -qE "(^|, |\| )$pkg( |,|$)" <<<"$depends" || fail "Depends lacks $pkg"
done

root="$work/root"
dpkg -x "$deb" "$root"
# Hints count too: a clean entry makes the validator print nothing.
if ! desktop-file-validate "$root/usr/share/applications/$id.desktop" >"$work/dfv" 2>&1 || [ -s "$work/dfv" ]; then
  cat "$work/dfv"
  fail "desktop-file-validate"
fi
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
for icon in $icons; do
  size="$(basename "$(dirname "$(dirname "$icon")")")"
  got="$(identify -format '%wx%h' "$root$icon" 2>/dev/null || echo unreadable)"
  [ "$got" = "$size" ] || fail "$icon is $got"
done
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "the entry names another icon"
# The screenshots the AppStream data names are kept in packaging/screenshots/, at the sizes it gives.
packaging="$(cd "$(dirname "$0")/../packaging" && pwd)"
shots=0
while read -r w h name; do
  shots=$((shots + 1))
  got="$(identify -format '%wx%h' "$packaging/screenshots/$name" 2>/dev/null || echo missing)"
  [ "$got" = "${w}x$h" ] || fail "screenshot $name is $got, the AppStream data says ${w}x$h"
done < <(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/<]*\)</image>.*|\1 \2 \3|p' \
  "$root/usr/share/metainfo/$id.metainfo.xml")
[ "$shots" -gt 0 ] || fail "the AppStream data names no screenshot"

# Start the program as the desktop entry says, with the scratch root's bin/ first on the path.
(cd "$root" && find . -printf '%p %s %T@\n' | sort) >"$work/root-before"
"$build/kurendal-sampleserver" --port 0 >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do grep -q "sample service on" "$work/server.log" && break; sleep 0.1; done
port="$(grep -o '127\.0\.0\.1:[0-9]*' "$work/server.log" | head -n 1 | cut -d: -f2)"
[ -n "$port" ] || { cat "$work/server.log"; exit 1; }
exec_line="$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop")"
home="$work/home"
mkdir -p "$home"
env -i PATH="$root/usr/bin:/usr/bin:/bin" HOME="$home" XDG_RUNTIME_DIR="$work" \
  QT_QPA_PLATFORM=offscreen http_proxy="http://127.0.0.1:$port" no_proxy= \
  QML_IMPORT_TRACE=1 QT_DEBUG_PLUGINS=1 QT_LOGGING_RULES="qt.qml.import.debug=true;qt.core.plugin.loader.debug=true;qt.core.library.debug=true" \
  $exec_line >"$work/app.log" 2>&1 &
app=$!
sleep 6
if kill -0 "$app" 2>/dev/null; then
  # Qt plugins and QML modules are found at run time: the packages holding them must be
  # dependencies, since dpkg-shlibdeps cannot see them. Qt 6 loads the QML modules' optional
  # plugins only when it must, so what was loaded is read from the traces: each imported module's
  # qmldir, and every plugin library the loader says it loaded.
  { grep -oE '/[^ "]*/qt6/qml/[^ "]*/qmldir' "$work/app.log"
    grep 'loaded library' "$work/app.log" | grep -oE '/[^ "]*/qt6/[^ "]*\.so'; } | sort -u >"$work/runtime"
  [ -s "$work/runtime" ] || fail "no QML module or platform plugin seen in the running program"
  while read -r file; do
    owner="$(dpkg -S "$file" 2>/dev/null | cut -d: -f1 | head -n 1)"
    grep -qE "(^|, |\| )$owner( |,|$)" <<<"$depends" || fail "$file comes from $owner, not a dependency"
  done <"$work/runtime"
  kill "$app"
  wait "$app" 2>/dev/null || true
else
  fail "the program ended within 6 s"
fi
app=""
if grep -vE '^qt\.(qml\.import|core\.plugin|core\.library)|^QFactoryLoader|^Got keys|^Found metadata|^In |^looking at|^checking directory|^loaded library|^QLibraryPrivate|^"' "$work/app.log" \
    | grep -E 'is not installed|Cannot load library|Could not load the Qt platform plugin|qrc:/.*: '; then
  fail "the program could not load its pages (above)"
fi
# It fetched the feeds through the sample service and kept them in its data folder, and wrote
# nothing under the prefix it runs from.
ls "$home/.local/share/kurendal"/rss* >/dev/null 2>&1 || fail "no feed cache in ~/.local/share/kurendal"
(cd "$root" && find . -printf '%p %s %T@\n' | sort) >"$work/root-after"
diff "$work/root-before" "$work/root-after" || fail "the program wrote under its install prefix (above)"

if [ "$failures" -ne 0 ]; then
  echo "program log:"
  tail -n 30 "$work/app.log"
  exit 1
fi
echo "package checks passed"
