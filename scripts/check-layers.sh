#!/bin/bash
# Fails when a folder of the source includes from a folder above it. The
# layers, bottom first:
#   db/ core/  <  widgets/  <  docs/ papers/ autogen/ bank/ options/ exchange/
#   <  app/  <  tools/
# A folder includes only from its own layer or the layers below it.
# Usage: check-layers.sh [SOURCE_DIR]   (default: the repository)
set -euo pipefail
ROOT="${1:-$(cd "$(dirname "$0")/.." && pwd)}"

rank() {
    case "$1" in
    db | core) echo 0 ;;
    widgets) echo 1 ;;
    docs | papers | autogen | bank | options | exchange) echo 2 ;;
    app) echo 3 ;;
    tools) echo 4 ;;
    *) echo "" ;;
    esac
}

status=0
checked=0
for dir in db core widgets docs papers autogen bank options exchange app tools; do
    [ -d "$ROOT/$dir" ] || continue
    mine=$(rank "$dir")
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        text=${rest#*:}
        included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
        theirs=$(rank "$included")
        checked=$((checked + 1))
        if [ -n "$theirs" ] && [ "$theirs" -gt "$mine" ]; then
            echo "${file#"$ROOT"/}:$line: $dir/ includes from $included/, a layer above it"
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' \
        --include='*.h' --include='*.cpp' "$ROOT/$dir" || true)
done
if [ "$checked" -eq 0 ]; then
    echo "No includes found under $ROOT" >&2
    exit 1
fi
[ "$status" -eq 0 ] && echo "Layers kept: $checked includes checked."
exit "$status"
