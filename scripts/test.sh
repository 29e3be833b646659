#!/bin/bash
# Installs what the tests need, builds everything and runs every test.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$ROOT/scripts/packages.sh"

# shellcheck disable=SC2086
install_packages $BUILD_PACKAGES $TEST_PACKAGES "$(writer_package)"
build_tolvane -DTOLVANE_BUILD_TESTS=ON -DTOLVANE_BUILD_BENCH=ON
cd "$ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900
