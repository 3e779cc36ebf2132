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

# The paper page of a model that centres its labels and of one that loads them
# from the left, in inches and in millimetres (BUILD/screenshots/paper-*.png).
shots="$build/screenshots"
mkdir -p "$shots"
echo
echo "# paper page screenshots in $shots"
for entry in "Kestrel KT61-600dpi:centred" "Kestrel KT41-300dpi:left"; do
  printer=${entry%%:*}
  for units in 1:in 2:mm; do
    wine reg add "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData" \
      /v "Measurement System" /t REG_DWORD /d "${units%%:*}" /f >/dev/null 2>&1
    wine "$tool" preferences "$printer" --shot "$(winepath -w "$shots")\\paper-${entry##*:}-${units##*:}.bmp" >/dev/null
  done
  wine reg delete "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers\\$printer\\PrinterDriverData" \
    /v "Measurement System" /f >/dev/null 2>&1
done
scripts/screenshots-png.sh "$shots"
