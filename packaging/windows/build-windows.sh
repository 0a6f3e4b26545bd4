#!/usr/bin/env bash
# Builds Velhorn for 64-bit Windows on this Debian machine, from Debian's packages alone:
# cross-builds Qt Core, Gui and Widgets from Debian's qt6-base source (once; the build is kept
# outside the checkout, keyed by Qt's version), builds Velhorn.exe with its version record and
# icon, and velhorn-cli.exe, and packs a zip that a Windows user unpacks and runs.
#   packaging/windows/build-windows.sh               prints the zip's path on its last line
#   packaging/windows/build-windows.sh --qt-prefix   where the cross-built Qt is (or would be) kept
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/packaging/windows
qt_version=6.4.2
cache=${VELHORN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velhorn-windows}
export VELHORN_QT_PREFIX=$cache/qt-$qt_version-mingw64
build=$root/build/windows
jobs=$(nproc)
if [ "${1:-}" = --qt-prefix ]; then
  echo "$VELHORN_QT_PREFIX"
  exit 0
fi

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools qt6-base-dev qt6-base-dev-tools
          libcli11-dev nlohmann-json3-dev libfmt-dev libfast-float-dev xz-utils zip dpkg-dev
          wine64 icoutils libimage-exiftool-perl unzip xvfb openbox xdotool imagemagick)  # its test
"$root/tools/ensure-packages.sh" "${packages[@]}"

# Qt's source, through a private apt configuration that adds source entries for the suites this
# machine already uses; the machine's own configuration is left alone.
fetch_qt_source() {
  local apt=$cache/apt
  mkdir -p "$apt/sources" "$apt/lists/partial" "$cache/download"
  for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed 's/^Types: deb$/Types: deb-src/' "$sources" >"$apt/sources/$(basename "$sources")"
  done
  local options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources"
                 -o Dir::State::Lists="$apt/lists" -o Debug::NoLocking=1)
  apt-get "${options[@]}" update -qq
  (cd "$cache/download" && apt-get "${options[@]}" source --download-only qt6-base >/dev/null)
  ls "$cache"/download/qt6-base_"$qt_version"*.orig.tar.xz | head -1
}

build_qt() {
  local tarball source qt_build
  tarball=$(fetch_qt_source)
  [ -n "$tarball" ] || { echo "no qt6-base $qt_version source found" >&2; exit 1; }
  source=$cache/qtbase-src
  rm -rf "$source" && mkdir -p "$source"
  tar -xf "$tarball" -C "$source" --strip-components=1
  qt_build=$cache/qt-build
  rm -rf "$qt_build" "$VELHORN_QT_PREFIX.partial"
  # What the calculator needs and no more. OpenGL stays on: the Windows platform plugin of this
  # Qt version does not compile without it.
  cmake -S "$source" -B "$qt_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$VELHORN_QT_PREFIX.partial" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF -DFEATURE_testlib=OFF
  cmake --build "$qt_build" --parallel "$jobs"
  cmake --install "$qt_build" >/dev/null
  # Only a whole build is ever taken from the cache.
  mv "$VELHORN_QT_PREFIX.partial" "$VELHORN_QT_PREFIX"
  rm -rf "$source" "$qt_build"
}

if [ ! -f "$VELHORN_QT_PREFIX/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  echo "Cross-building Qt $qt_version for Windows into $VELHORN_QT_PREFIX (once; about 20 minutes)"
  build_qt
fi

# The header-only libraries (the command line's, and {fmt} and fast_float for number text), alone
# in a folder, so no other header of this machine's /usr/include reaches the cross compiler.
headers=$build/header-only
mkdir -p "$headers"
ln -sfn /usr/include/CLI "$headers/CLI"
ln -sfn /usr/include/nlohmann "$headers/nlohmann"
ln -sfn /usr/include/fmt "$headers/fmt"
ln -sfn /usr/include/fast_float "$headers/fast_float"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$VELHORN_QT_PREFIX" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DVELHORN_HEADER_ONLY_INCLUDE="$headers" \
      -DVELHORN_BUILD_TESTS=OFF -DVELHORN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$jobs"

# The zip: the program, the Qt libraries and plugins it loads, and the MinGW runtime.
version=$(sed -n 's/^#define VELHORN_VERSION "\(.*\)"/\1/p' "$build/app/velhorn_version.h")
name=Velhorn-$version-windows-x64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles"
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$build/app/Velhorn.exe" "$build/cli/velhorn-cli.exe" "$stage/"
cp "$VELHORN_QT_PREFIX"/bin/Qt6{Core,Gui,Widgets}.dll "$stage/"
cp "$VELHORN_QT_PREFIX/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$VELHORN_QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$gcc_runtime"/{libstdc++-6.dll,libgcc_s_seh-1.dll,libquadmath-0.dll} /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
cp "$root/LICENSE" "$stage/LICENSE.txt"
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll "$stage"/*.exe
(cd "$build" && zip -qr "$name.zip" "$name")
echo "$build/$name.zip"
