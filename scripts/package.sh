#!/bin/bash
# Builds the Debian package build/tolvane_<version>_amd64.deb: a release
# build without tests, installed into the package by CPack. Install it with
#   sudo apt install ./build/tolvane_*.deb
# Needs the build packages of scripts/packages.sh (it installs nothing itself).
# Usage: package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${CMAKE_ARGS[@]+"${CMAKE_ARGS[@]}"}"
cmake --build "$BUILD" -j"$(nproc)"
(cd "$BUILD" && cpack -G DEB -B "$BUILD")
ls "$BUILD"/tolvane_*.deb
