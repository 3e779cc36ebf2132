#!/usr/bin/env bash
# The main job on the sample driver package, run inside a Wine session.
set -euo pipefail
build=${1:-build}
tool="$build/win64/tools/mrlprint/mrlprint.exe"
pkg=$(winepath -w "$build/package")
run() { echo; echo "\$ mrlprint $*"; wine "$tool" "$@"; }

run module "$pkg\\mrl32ui.dll"
