#!/bin/bash
# Builds the Debian package from a built tree into a temporary folder and
# checks what it holds and declares, then runs its programs from the
# unpacked tree as an installed copy (no DB/ beside them).
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
BUILD="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

(cd "$BUILD" && cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1) ||
    { cat "$WORK/cpack.log" >&2; fail "cpack"; }
DEB=$(find "$WORK/out" -maxdepth 1 -name "tolvane_*_amd64.deb" | head -1)
[ -n "$DEB" ] || fail "no tolvane_<version>_amd64.deb made"

dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's#^\./#/#' >"$WORK/files"
for f in /usr/lib/tolvane/Zenlo /usr/lib/tolvane/BackUp.exe /usr/lib/tolvane/tolvane-makebank \
    /usr/lib/tolvane/libtolvane_uno.so /usr/share/tolvane/Zenlo.chm \
    /usr/bin/tolvane /usr/bin/tolvane-makebank /usr/bin/tolvane-backup \
    /usr/share/applications/tolvane.desktop; do
    grep -qx -- "$f" "$WORK/files" || fail "$f is not in the package"
done
for size in 16 22 24 32 48 64 128 256; do
    f=/usr/share/icons/hicolor/${size}x${size}/apps/tolvane.png
    grep -qx -- "$f" "$WORK/files" || fail "$f is not in the package"
done
if [ -x "$BUILD/bin/tolvane-exchange" ]; then
    grep -qx /usr/lib/tolvane/tolvane-exchange "$WORK/files" || fail "tolvane-exchange is missing"
fi
# Nothing of the build's own: no bank, no tests, no data folder.
if grep -E '/DB/|TiKu|/tests?/|set\.ini' "$WORK/files"; then fail "build leftovers packaged"; fi

[ "$(dpkg-deb -f "$DEB" Package)" = tolvane ] || fail "package name"
[ "$(dpkg-deb -f "$DEB" Architecture)" = amd64 ] || fail "architecture"
depends=$(dpkg-deb -f "$DEB" Depends)
for need in libqt6widgets6 libqt6gui6 libqt6core6 libsqlcipher0 \
    "libreoffice-writer | libreoffice-writer-nogui" libuno-cppu3; do
    grep -qF -- "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done
grep -q xchm <<<"$(dpkg-deb -f "$DEB" Recommends)" || fail "xchm not recommended"

dpkg-deb -x "$DEB" "$WORK/root"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$WORK/root/usr/share/applications/tolvane.desktop" ||
        fail "the desktop entry does not validate"
else
    echo "desktop-file-validate not installed: menu entry not validated" >&2
fi
# The entry starts the command the package puts on the PATH.
grep -qx 'Exec=tolvane' "$WORK/root/usr/share/applications/tolvane.desktop" || fail "Exec line"

# Installed programs keep their data in the user's data folder.
export XDG_DATA_HOME="$WORK/xdg"
for cmd in tolvane-makebank tolvane-backup; do
    "$WORK/root/usr/bin/$cmd" --help | grep -q '^Usage:' || fail "$cmd --help"
done
"$WORK/root/usr/bin/tolvane-makebank" >"$WORK/makebank.log" 2>&1 ||
    { cat "$WORK/makebank.log" >&2; fail "tolvane-makebank from the package"; }
[ -f "$XDG_DATA_HOME/Tolvane/DB/TiKu.mdb" ] || fail "the bank is not in the user's data folder"
[ ! -e "$WORK/root/usr/lib/tolvane/DB" ] || fail "the bank went beside the program"
echo "Package checked: $(basename "$DEB")"
