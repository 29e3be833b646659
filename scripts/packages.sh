# The Debian 12 packages Tolvane builds and runs with. Sourced by demo.sh and
# test.sh.

BUILD_PACKAGES="build-essential cmake pkg-config qt6-base-dev libgl-dev libsqlcipher-dev \
sqlcipher libreoffice-dev fp-utils qt6-qpa-plugins fonts-dejavu-core fonts-liberation2"
# desktop-file-utils: the packaging test validates the menu entry.
TEST_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev desktop-file-utils"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Writer with its windows on a desktop; without them where the windowed one
# is not already there (a server, CI). The two cannot be installed together.
writer_package() {
    if [ "${1:-}" = desktop ] || dpkg -s libreoffice-core >/dev/null 2>&1; then
        echo libreoffice-writer
    else
        echo libreoffice-writer-nogui
    fi
}

install_packages() {
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"
}

build_tolvane() {
    cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$ROOT/build" -j"$(nproc)"
}
