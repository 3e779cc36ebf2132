#!/usr/bin/env bash
# Assembles the driver package in BUILD/package from the Windows and native builds.
set -euo pipefail
build=${1:-build}
pkg="$build/package"
rm -rf "$pkg"
mkdir -p "$pkg"
cp "$build/win64/mrl32ui.dll" "$pkg/"
# Further parts of the package (data files, renderer stand-ins, language modules) are
# listed by package/manifest.sh when present.
if [ -f package/manifest.sh ]; then
  . package/manifest.sh
fi
ls "$pkg"
