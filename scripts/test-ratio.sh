#!/usr/bin/env bash
# Test lines against code lines (C and C++ sources, non-blank lines).
# Tests: tests/, fuzz/, tools/*/test*. Code: src/, tools/ (without its tests), bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  '') ;;
  -h|--help) echo "usage: scripts/test-ratio.sh   test lines, code lines and their ratio"; exit 0 ;;
  *) echo "test-ratio.sh: unknown option $1" >&2
     echo "usage: scripts/test-ratio.sh   test lines, code lines and their ratio" >&2; exit 2 ;;
esac

# Non-blank lines of the C and C++ sources find prints (NUL-separated).
count() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
    xargs -0 -r cat | grep -c '[^[:space:]]' || true
}
tests=$(count tests fuzz tools/*/test*)
code=$(count src bench tools -not -path 'tools/*/test*')
echo "test lines  $tests"
echo "code lines  $code"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio       %.1f%%\n", c ? 100 * t / c : 0 }'
