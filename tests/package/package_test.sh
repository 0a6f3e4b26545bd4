#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root, and starts the installed program
# in a real X session: its window must come up titled "Velhorn".
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
server=""
cleanup() {
  [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
  [ -n "$server" ] && kill -TERM "$server" 2>/dev/null && wait "$server" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/velhorn_*.deb)
echo "package: $(basename "$deb")"

fail=0
expect() { if eval "$1"; then echo "ok    $2"; else echo "FAIL  $2"; fail=$((fail + 1)); fi; }
checks=0
count() { checks=$((checks + 1)); expect "$@"; }

count '[ "$(dpkg-deb -f "$deb" Package)" = velhorn ]' "package name velhorn"
count '[ "$(dpkg-deb -f "$deb" Version)" = 1.0.0 ]' "version 1.0.0"
count 'dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6' "depends on Qt 6 Widgets"
dpkg-deb -x "$deb" "$scratch/root"
for f in usr/bin/velhorn usr/share/applications/velhorn.desktop \
         usr/share/icons/hicolor/32x32/apps/velhorn.png usr/share/icons/hicolor/16x16/apps/velhorn.png; do
  count '[ -f "$scratch/root/$f" ]' "installs /$f"
done
count 'desktop-file-validate "$scratch/root/usr/share/applications/velhorn.desktop"' "desktop entry is valid"

number=$(for n in $(seq 90 199); do [ -e "/tmp/.X$n-lock" ] || { echo "$n"; break; }; done)
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null &
server=$!
export DISPLAY=":$number"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
QT_QPA_PLATFORM=xcb "$scratch/root/usr/bin/velhorn" 2>/dev/null &
program=$!
count 'timeout 15 xdotool search --sync --onlyvisible --name "^Velhorn$" >/dev/null' "the installed program shows its window titled Velhorn"

echo "$((checks - fail)) passed, $fail failed"
[ "$fail" -eq 0 ]
