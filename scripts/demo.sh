#!/usr/bin/env bash
# The main job on the sample driver package, run inside a Wine session (which
# has installed the package): one printer per sample model, and what the
# driver answers for them. Then the property sheets: with MRL_DEMO_SHOW=1 (a
# display of the user's) Printing Preferences opens there; otherwise every
# page and dialog is saved, in English and German, to BUILD/screenshots/.
set -euo pipefail
build=${1:-build}
tool="$build/win64/tools/mrlprint/mrlprint.exe"
pkg=$(winepath -w "$build/package/x64")
run() { echo; echo "\$ mrlprint $*"; wine "$tool" "$@"; }

run module "$pkg\\mrl32ui.dll"

# One printer per model of every data file in the package.
models=()
for f in "$build"/package/x64/*.ddt; do
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

if [ "${MRL_DEMO_SHOW:-}" = 1 ]; then
  run preferences "Kestrel KD42-203dpi"
else
  echo
  echo "# every page of the sheets, English and German"
  wine "$build/win64/bench/demo_sheets.exe" </dev/null
  scripts/screenshots-png.sh "$build/screenshots"
  ls "$build/screenshots"
fi

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

# Each sample model's test page on a virtual label printer; its pictures go
# next to the screenshots.
vp="$(cd "$(dirname "$0")/.." && pwd)/tools/vprinter/vprinter.py"
echo
echo "# test pages on virtual label printers (pictures in $shots)"
for m in "${models[@]}"; do
  slug=$(echo "$m" | tr -c 'A-Za-z0-9-\n' '_')
  dir="$(cd "$build" && pwd)/vprinter/$slug"
  rm -rf "$dir"
  python3 "$vp" init "$dir"
  wine "$tool" add-printer "$m (virtual)" --model "$m" --port "|/usr/bin/python3 $vp receive $dir" --replace >/dev/null
  wine "$tool" testpage "$m (virtual)" --png "$(winepath -w "$shots/testpage-$slug.png")" || true
done
ls "$shots"/testpage-*.png
# A bitmap font sent to a virtual printer, which keeps it and draws its glyphs.
fp="Kestrel KT41-300dpi (virtual)"
run fonts "$fp" download "DejaVu Sans" --bitmap --size 24 --chars 7 || true
glyphs=$(ls -t "$(cd "$build" && pwd)/vprinter/Kestrel_KT41-300dpi"/job-*-glyphs.png 2>/dev/null | head -1)
[ -n "$glyphs" ] && cp "$glyphs" "$shots/font-glyphs-dejavu-24pt.png" && echo "glyphs: $shots/font-glyphs-dejavu-24pt.png"
run fonts "$fp" list
run config "Kestrel KD42-203dpi (virtual)"
run config "Kestrel KD42-203dpi (virtual)" set C -10
run config "Kestrel KD42-203dpi (virtual)"

# Colour heads on the two-head model's virtual printer, whose second head prints
# 3 dots left of and 2 dots below the first: the registration test before and
# after setting its offsets, an alignment pattern as the printer draws it, and
# the three colour dialogs in English and German (BUILD/screenshots/colour-*).
spot="Osprey OX4S-305dpi Spot (virtual)"
sdir="$(cd "$build" && pwd)/vprinter/Osprey_OX4S-305dpi_Spot"
echo "misregistration 0 -30 0 0 0 20 0 0" >>"$sdir/config.txt"
newest_png() { ls -t "$sdir"/job-*.png | head -1; }
echo
echo "# colour heads (pictures in $shots/colour-*.png)"
run colour "$spot" heads --use 1,2 --colours red,black
run colour "$spot" register
cp "$(newest_png)" "$shots/colour-registration-before.png"
run colour "$spot" align 2 3 -2 --reference 1
run colour "$spot" register
cp "$(newest_png)" "$shots/colour-registration.png"
printf '{CP;0,FF0000|}\n{CP;1,000000|}\n{CA;1,0,-333,333,-333,333|}\n' >"$sdir/pattern.prn"
python3 "$vp" render "$sdir/pattern.prn" && cp "$sdir/pattern.png" "$shots/colour-alignment-pattern.png"
wine "$build/win64/tests/win_output.exe" --gtest_filter='Virtual.Colour*' --gtest_brief=1 | tail -1
scripts/screenshots-png.sh "$shots" >/dev/null
ls "$shots" | grep -E '^colour-.*\.png$'

# The sample picture as printers print it: every method through mrlprint,
# and the graphics page itself, one screenshot per method.
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
