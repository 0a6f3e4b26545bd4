#!/usr/bin/env bash
# Builds the Debian package, checks it as a distribution's reviewer would (lintian, the
# software-centre and desktop entries, icons, manual page, copyright), unpacks it into a scratch
# root, and starts the installed program in a real X session: its window must come up titled
# "Velhorn".
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
count '[ "$(dpkg-deb -f "$deb" Section)" = science ]' "section science"
count 'dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6' "depends on Qt 6 Widgets"
count 'dpkg-deb -f "$deb" Depends | grep -q fonts-liberation2' "depends on the fonts the layout was drawn for"
count '[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 4 ]' "has an extended description"
# The Python module's own package, where this build has the module.
pydeb=""
if [ -d "$build/python/velhorn" ]; then
  pydeb=$(ls "$scratch"/out/python3-velhorn_*.deb)
  echo "package: $(basename "$pydeb")"
  count '[ "$(dpkg-deb -f "$pydeb" Section)" = python ]' "python3-velhorn: section python"
  count 'dpkg-deb -f "$pydeb" Depends | grep -q python3-numpy' "python3-velhorn: depends on numpy"
  count '[ "$(dpkg-deb -f "$pydeb" Description | head -1)" != "$(dpkg-deb -f "$deb" Description | head -1)" ]' \
        "python3-velhorn: a description of its own"
  count '! dpkg-deb -c "$deb" | grep -q dist-packages' "the velhorn package carries no Python module"
else
  echo "skip  this build has no Python module (pybind11-dev is not installed)"
fi
if command -v lintian >/dev/null; then
  for package in $deb $pydeb; do
    lintian --allow-root "$package" >"$scratch/lintian.txt" 2>&1 || true
    sed 's/^/      lintian: /' "$scratch/lintian.txt"
    count '! grep -q "^E:" "$scratch/lintian.txt"' "lintian reports no error for $(dpkg-deb -f "$package" Package)"
  done
else
  echo "skip  lintian is not installed"
fi

dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
if [ -n "$pydeb" ]; then
  dpkg-deb -x "$pydeb" "$root"
  site=$root/usr/lib/python3/dist-packages
  count '[ -f "$site/velhorn/__init__.pyi" ] && [ -f "$root/usr/share/doc/python3-velhorn/copyright" ]' \
        "python3-velhorn installs its type stubs and copyright"
  count '! file "$site"/velhorn/_core*.so | grep -q "not stripped"' "the module is stripped"
  # Imported from the unpacked package alone, it solves the fan the installed velhorn-cli solves.
  count '[ "$(cd / && PYTHONPATH="$site" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c "import velhorn; assert velhorn.__file__.startswith(\"$site/\"); print(repr(float(velhorn.fan(M1=2, theta=10)[\"nu1_deg\"])))")" = 26.379760813416457 ]' \
        "the installed module imports and solves a fan"
fi
id=org.example.velhorn
for f in usr/bin/velhorn usr/bin/velhorn-cli usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/man/man1/velhorn.1.gz usr/share/man/man1/velhorn-cli.1.gz usr/share/doc/velhorn/copyright usr/share/doc/velhorn/changelog.gz \
         usr/share/icons/hicolor/scalable/apps/velhorn.svg; do
  count '[ -f "$root/$f" ]' "installs /$f"
done
for size in 16 22 24 32 48 64 128 256; do
  count '[ "$(identify -format %wx%h "$root/usr/share/icons/hicolor/${size}x$size/apps/velhorn.png")" = ${size}x$size ]' \
        "icon of ${size}x$size px"
done
count '! file "$root/usr/bin/velhorn" "$root/usr/bin/velhorn-cli" | grep -q "not stripped"' "both programs are stripped"
count 'desktop-file-validate "$root/usr/share/applications/$id.desktop"' "desktop entry is valid"
count 'appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null' "software-centre entry is valid"
count 'grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$root/usr/share/doc/velhorn/copyright"' \
      "copyright file is machine-readable"
count 'MANPATH="$root/usr/share/man" MANWIDTH=80 man velhorn 2>/dev/null | grep -q "Prandtl-Meyer expansion fan calculator"' \
      "man velhorn shows the manual page"
count 'MANPATH="$root/usr/share/man" MANWIDTH=80 man velhorn-cli 2>/dev/null | grep -q "full double precision"' \
      "man velhorn-cli shows its manual page, with the precision of its inverse"
# The version as users read it: two decimals, "1.00", wherever it is shown.
count 'grep -q "<release version=\"1.00\"" "$root/usr/share/metainfo/$id.metainfo.xml"' "the software-centre entry's release is 1.00"
for page in velhorn velhorn-cli; do
  count 'zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH [^ ]* 1 \"[^\"]*\" \"Velhorn 1.00\""' "the $page manual page says Velhorn 1.00"
done
count '[ "$("$root/usr/bin/velhorn-cli" --version)" = "velhorn-cli 1.00" ]' "the installed velhorn-cli says velhorn-cli 1.00"
count '"$root/usr/bin/velhorn-cli" --format csv solve --M1 2 --theta 10 | grep -q "^1.4,2,26.379760813416457,30,"' \
      "the installed velhorn-cli solves a fan"

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
