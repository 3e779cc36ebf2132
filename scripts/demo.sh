#!/usr/bin/env bash
# The main job on the sample driver package, run inside a Wine session (which
# has installed the package): one printer per sample model, and what the
# driver answers for them.
set -euo pipefail
build=${1:-build}
tool="$build/win64/tools/mrlprint/mrlprint.exe"
pkg=$(winepath -w "$build/package")
run() { echo; echo "\$ mrlprint $*"; wine "$tool" "$@"; }

run module "$pkg\\mrl32ui.dll"

# One printer per model of every data file in the package.
models=()
for f in "$build"/package/*.ddt; do
  while IFS= read -r m; do models+=("$m"); done < <("$build/native/tools/ddtc/ddtc" dump "$f" |
    python3 -c 'import json, sys
for r in json.load(sys.stdin).get("records", []):
    for m in r.get("directory", {}).get("models", []):
        print(m["name"])')
done
echo
echo "# adding one printer per sample model (${#models[@]} models)"
for m in "${models[@]}"; do
  wine "$tool" add-printer "$m" --model "$m" --port "LPT1:" >/dev/null 2>&1 || true
done
run list
run devmode "Kestrel KD42-203dpi"
# Two models of different width and paper loading.
run caps "Kestrel KD42-203dpi"
run forms "Kestrel KD42-203dpi"
run caps "Heron HX6-300dpi"
run forms "Heron HX6-300dpi"

# The sample picture as printers print it: every method through mrlprint,
# and the graphics page itself, one screenshot per method.
shots="$build/screenshots"
mkdir -p "$shots"
sample=$(winepath -w "$build/win64/resources/bitmaps/sample.bmp")
for m in 0 1 2 3 4; do
  run dither "$sample" "$(winepath -w "$shots")\\dither-method$m.png" --method "$m" --smooth
done
run dither "$sample" "$(winepath -w "$shots")\\dither-spot.png" --printer "Osprey OX4S-305dpi Spot" --smooth
echo
echo "# the graphics page (screenshots in $shots/graphics-*.png)"
wine "$build/win64/tests/win_sheet.exe" --gtest_filter='GraphicsPage.*' --gtest_brief=1 | tail -1
scripts/screenshots-png.sh "$shots" >/dev/null
ls "$shots" | grep -E '^(graphics|dither)-.*\.png$'
