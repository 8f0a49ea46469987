#!/usr/bin/env bash
# Builds the Debian package of the client and the demo hall, without the tests and benchmarks,
# and prints its path. Usage: scripts/package.sh [build-folder] (default: build-pkg)
# Install it with: sudo apt install ./build-pkg/vexobingo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
BUILD=$(mkdir -p "${1:-build-pkg}" && cd "${1:-build-pkg}" && pwd)
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINGO_TESTS=OFF -DBINGO_BENCH=OFF ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
rm -f "$BUILD"/vexobingo_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
ls "$BUILD"/vexobingo_*.deb
