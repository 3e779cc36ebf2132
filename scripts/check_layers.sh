#!/bin/sh
# Includes run one way: a file under src/<layer>/ may include headers of its
# own layer and of lower ones only. Prints every upward include and fails.
# Usage: check_layers.sh [SRC_DIR]
src=${1:-src}
find "$src" -name '*.h' -o -name '*.cpp' -o -name '*.rc' | sort | xargs grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
awk -v src="$src" '
function rank(l) {
    if (l == "foundation") return 0
    if (l == "platform") return 1
    if (l == "model") return 2
    if (l == "store") return 3
    if (l == "devmode") return 4
    if (l == "locale" || l == "output" || l == "imaging") return 5
    if (l == "pageframe") return 6
    if (l == "pages" || l == "diagnostics") return 7
    if (l == "driver") return 8
    return -1
}
{
    file = substr($0, 1, index($0, ":") - 1)
    rel = substr(file, length(src) + 2)
    layer = substr(rel, 1, index(rel, "/") - 1)
    if (rank(layer) < 0) { print file ": directory " layer " has no layer"; bad = 1; next }
    target = $0
    sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
    if (target !~ /^\.\.\//) next
    to = substr(target, 4); to = substr(to, 1, index(to, "/") - 1)
    if (rank(to) < 0 || rank(to) > rank(layer)) { print $0 "  (" layer " includes " to ")"; bad = 1 }
}
END { exit bad }'
