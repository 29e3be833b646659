#!/bin/bash
# Builds the Debian package build/tolvane_<version>_amd64.deb: the programs
# without tests or benchmarks (which need packages a fresh machine lacks),
# installed into the package by CPack. Install it with
#   sudo apt install ./build/tolvane_*.deb
# Installs the build packages of scripts/packages.sh first (apt-get, as root or
# through sudo), so that it works on a fresh Debian 12 machine; set
# TOLVANE_NO_APT=1 to skip that where they are installed already.
# Usage: package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
. "$ROOT/scripts/packages.sh"

if [ "${TOLVANE_NO_APT:-}" != 1 ]; then
    # shellcheck disable=SC2086
    install_packages $BUILD_PACKAGES "$(writer_package)"
fi

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_BUILD_TESTS=OFF \
    -DTOLVANE_BUILD_BENCH=OFF "${CMAKE_ARGS[@]+"${CMAKE_ARGS[@]}"}"
cmake --build "$BUILD" -j"$(nproc)"
(cd "$BUILD" && cpack -G DEB -B "$BUILD")
ls "$BUILD"/tolvane_*.deb
