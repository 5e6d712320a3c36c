#!/usr/bin/env bash
# Builds the Debian package gramolux_<version>_<arch>.deb from a Release
# build in build/deb (Debian's hardening flags, installed under /usr) and
# prints the package's path as its last line. Install it with
#   sudo apt install ./build/deb/gramolux_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/install-deps.sh
gx_install "${GX_BUILD_PACKAGES[@]}" dpkg-dev file

build=build/deb
# Debian's hardening flags; the preprocessor's (_FORTIFY_SOURCE) go in with
# the compiler's.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGX_BUILD_TESTS=OFF -DGX_BUILD_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null || gx_fail "configuring $build failed"
cmake --build "$build" || gx_fail "building $build failed"
rm -f "$build"/gramolux_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || gx_fail "cpack could not make the package (run: cd $build && cpack -G DEB)"
deb=$(ls "$PWD/$build"/gramolux_*.deb)
echo "$deb"
