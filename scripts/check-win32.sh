#!/usr/bin/env bash
# The 32-bit build without running it (machines without 32-bit Wine check
# only this): every DLL of the 64-bit build but the tests' own exists in the 32-bit build,
# is a 32-bit module, and exports the same undecorated names (no _Name@12
# forms, which the spooler would not find).
set -euo pipefail
build=${1:-build}
w64="$build/win64" w32="$build/win32"

# Exported names of a module, one a line, sorted.
exports() {
  "$1" -p "$2" | awk '/^\[Ordinal\/Name Pointer\] Table/ { t = 1; next }
                      t && /^\t\[/ { print $NF; next }
                      t && !/^\t/ { t = 0 }' | sort
}

failed=0
count=0
while IFS= read -r -d '' dll; do
  rel=${dll#"$w64"/}
  case "$rel" in googletest/*|*/CMakeFiles/*|tests/*) continue ;; esac
  other="$w32/$rel"
  count=$((count + 1))
  if [ ! -f "$other" ]; then
    echo "check-win32: $rel: missing from the 32-bit build" >&2; failed=1; continue
  fi
  if ! i686-w64-mingw32-objdump -f "$other" | grep -q 'file format pei-i386'; then
    echo "check-win32: $rel: not a 32-bit module" >&2; failed=1; continue
  fi
  a=$(exports x86_64-w64-mingw32-objdump "$dll")
  b=$(exports i686-w64-mingw32-objdump "$other")
  if [ "$a" != "$b" ]; then
    echo "check-win32: $rel: exports differ (< 64-bit, > 32-bit)" >&2
    diff <(echo "$a") <(echo "$b") >&2 || true
    failed=1
  fi
done < <(find "$w64" -name '*.dll' -print0)
# The package's folder for 32-bit Windows holds 32-bit modules only.
while IFS= read -r -d '' dll; do
  if ! i686-w64-mingw32-objdump -f "$dll" 2>/dev/null | grep -q 'file format pei-i386'; then
    echo "check-win32: ${dll#"$build"/}: not a 32-bit module" >&2; failed=1
  fi
done < <(find "$build/package/w32x86" -iname '*.dll' -print0 2>/dev/null)
if [ "$count" -eq 0 ]; then
  echo "check-win32: no DLLs in $w64" >&2
  exit 1
fi
[ "$failed" -eq 0 ] && echo "check-win32: $count DLLs, same exports in both builds"
exit "$failed"
