#!/usr/bin/env bash
# Converts the BMP screenshots that Windows tests write into PNG files.
# usage: scripts/screenshots-png.sh DIR
set -euo pipefail
dir=${1:?usage: screenshots-png.sh DIR}
shopt -s nullglob
n=0
for f in "$dir"/*.bmp; do
  convert "$f" "${f%.bmp}.png" && rm "$f"
  n=$((n + 1))
done
echo "screenshots-png: $n converted in $dir"
