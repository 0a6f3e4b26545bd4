#!/usr/bin/env bash
# Velhorn quick start. Installs what this Debian machine is missing, builds, then
#   ./quickstart.sh run    starts the calculator
#   ./quickstart.sh test   runs every test
#   ./quickstart.sh bench  runs every benchmark and prints the table of figures and floors
#   ./quickstart.sh windows  builds Velhorn.exe and a zip for Windows (cross-builds Qt once)
#   ./quickstart.sh web    builds the page into build/web/ and serves it on 127.0.0.1
# All are safe to repeat: installed packages and an up-to-date build are left alone.
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
case "$mode" in
  run|test|bench|web) ;;
  windows) exec packaging/windows/build-windows.sh ;;
  *) echo "usage: $0 run|test|bench|windows|web" >&2; exit 2 ;;
esac

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgtest-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev       # the command line's arguments and JSON
  libfmt-dev libfast-float-dev          # numbers written and read as text, in every build
  emscripten python3                    # the page: the core as WebAssembly, and a local server
  esbuild                               # the page's scripts and style sheets, minified
  pybind11-dev python3-dev python3-numpy  # the Python module velhorn
  fonts-dejavu-core fonts-liberation2   # a sans-serif with the metrics the layout was drawn for
)
test_packages=(
  clang libclang-rt-14-dev              # sanitizers and libFuzzer
  xvfb xauth openbox xdotool imagemagick  # a real X session driven from outside
  dbus-x11 at-spi2-core python3 python3-gi gir1.2-atspi-2.0  # reading it through accessibility
  dpkg-dev desktop-file-utils lintian appstream man-db file  # building and checking the Debian package
  x11-utils                             # reading the window icon the window manager gets
  adwaita-qt6                           # another desktop's styles, light and dark
  python3-mpmath python3-numpy          # the command line's precision reference; numpy beside it
  python3-pytest python3-setuptools python3-pip python3-venv  # the module's tests; pip install . from a checkout
  chromium chromium-driver python3-selenium  # the page in a headless browser
)
case "$mode" in run|web) ;; *) packages+=("${test_packages[@]}") ;; esac

tools/ensure-packages.sh "${packages[@]}"

[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default
# The page, into build/web/ (its zip beside it).
[ -f build/wasm/CMakeCache.txt ] || cmake --preset web
cmake --build --preset web

if [ "$mode" = web ]; then
  port=${VELHORN_PORT:-8000}
  echo "The page is in build/web/ (to host anywhere: build/velhorn-web-*.zip)."
  echo "Serving it at http://127.0.0.1:$port/ (Ctrl+C stops)"
  exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
fi

if [ "$mode" = bench ]; then
  exec /usr/bin/python3 bench/run_benchmarks.py build/default
fi

if [ "$mode" = test ]; then
  # Everything in a plain build, including the real-window test and the soak; then the unit,
  # window and fuzz tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
  status=0
  ctest --preset default || status=1
  [ -f build/sanitize/CMakeCache.txt ] || cmake --preset sanitize
  cmake --build --preset sanitize
  ctest --preset sanitize || status=1
  exit $status
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Velhorn is built (build/default/app/velhorn) but cannot open its window:" >&2
  echo "no display is set (DISPLAY or WAYLAND_DISPLAY). Start it from a desktop session," >&2
  echo "or under a virtual one: xvfb-run build/default/app/velhorn" >&2
  exit 1
fi
exec build/default/app/velhorn
