#!/usr/bin/env bash
# Assembles the driver package in BUILD/package from the Windows and native builds,
# in the spooler's layout: one folder per environment (named as the spooler's
# driver directory of that environment), each with the whole driver for it, and
# environments.txt, which tells the installer which folder serves which environment.
set -euo pipefail
build=${1:-build}
root="$build/package"
rm -rf "$root"
mkdir -p "$root"
cp package/environments.txt "$root/"
while read -r win dir; do
  pkg="$root/$dir"
  mkdir -p "$pkg"
  cp "$build/$win/mrl32ui.dll" "$pkg/"
  # Further parts of the package (data files, renderer stand-ins, language modules) are
  # listed by package/manifest.sh when present; it reads the modules from $build/$win.
  if [ -f package/manifest.sh ]; then
    . package/manifest.sh
  fi
done <<'LIST'
win64 x64
win32 w32x86
LIST
(cd "$root" && ls -R)
