#!/bin/bash
# Fails when a folder of the source includes from a folder above it. The
# layers, bottom first:
#   db/ core/  <  widgets/  <  docs/ papers/ autogen/ bank/ options/ exchange/
#   <  app/  <  tools/
# A folder includes only from its own layer or the layers below it.
# Usage: check-layers.sh [SOURCE_DIR]   (default: the repository)
set -euo pipefail
ROOT="${1:-$(cd "$(dirname "$0")/.." && pwd)}"

# Sets RANK to the layer of folder $1, empty for a folder outside them.
rank() {
    case "$1" in
    db | core) RANK=0 ;;
    widgets) RANK=1 ;;
    docs | papers | autogen | bank | options | exchange) RANK=2 ;;
    app) RANK=3 ;;
    tools) RANK=4 ;;
    *) RANK="" ;;
    esac
}
include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)/'

status=0
checked=0
for dir in db core widgets docs papers autogen bank options exchange app tools; do
    [ -d "$ROOT/$dir" ] || continue
    rank "$dir"
    mine=$RANK
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        text=${rest#*:}
        [[ $text =~ $include_re ]] || continue
        included=${BASH_REMATCH[1]}
        rank "$included"
        theirs=$RANK
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
