#!/bin/bash
# Installs what Tolvane needs, builds it, makes the demo question bank beside
# the program when there is none, and starts the program.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$ROOT/scripts/packages.sh"

# shellcheck disable=SC2086
install_packages $BUILD_PACKAGES "$(writer_package desktop)"
build_tolvane -DTOLVANE_BUILD_TESTS=OFF -DTOLVANE_BUILD_BENCH=OFF

BIN="$ROOT/build/bin"
if [ ! -e "$BIN/DB/TiKu.mdb" ]; then
    "$BIN/tolvane-makebank" --demo
fi
exec "$BIN/Zenlo"
