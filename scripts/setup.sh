#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing; does
# nothing (and needs no network) when everything is already there.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
check_cmd() { have_cmd "$1" || need+=("$2"); }
check_file() { compgen -G "$1" >/dev/null || need+=("$2"); }

check_cmd x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
check_cmd x86_64-w64-mingw32-gcc-posix gcc-mingw-w64-x86-64-posix
check_cmd x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64
check_cmd i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix
check_cmd i686-w64-mingw32-gcc-posix gcc-mingw-w64-i686-posix
check_cmd i686-w64-mingw32-windres binutils-mingw-w64-i686
check_cmd wine "wine wine64"
check_cmd winepath wine
check_cmd Xvfb xvfb
check_cmd import imagemagick
check_cmd cmake cmake
check_cmd ninja ninja-build
check_cmd g++ g++
check_cmd python3 python3
check_cmd clang++ clang
check_file /usr/src/googletest/CMakeLists.txt googletest
check_file /usr/include/nlohmann/json.hpp nlohmann-json3-dev
# Real TrueType fonts: Wine finds them through fontconfig and rasterises them
# for bitmap font downloads.
check_file /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf fonts-dejavu-core
check_file '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' libclang-rt-14-dev

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi
pkgs=$(printf '%s\n' "${need[@]}" | sort -u | tr '\n' ' ')
echo "setup: installing $pkgs"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq $pkgs >/dev/null
