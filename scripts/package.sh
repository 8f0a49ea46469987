#!/usr/bin/env bash
# Builds the Debian package of the client and the demo hall, without the tests and benchmarks,
# and prints its path. Usage: scripts/package.sh [build-folder] (default: build-pkg)
# Install it with: sudo apt install ./build-pkg/vexobingo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
BUILD=$(mkdir -p "${1:-build-pkg}" && cd "${1:-build-pkg}" && pwd)
# Debian's hardening flags (fortified functions, stack protector, read-only relocations bound at
# start), as a package built by Debian's own tools gets them.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINGO_TESTS=OFF -DBINGO_BENCH=OFF \
    -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" \
    ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
rm -f "$BUILD"/vexobingo_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
ls "$BUILD"/vexobingo_*.deb
