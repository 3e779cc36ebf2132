# Sourced: the environment of every Wine run of this build tree.
# usage: . scripts/wine-env.sh BUILD_DIR
_build=$(cd "${1:-build}" && pwd)
export WINEPREFIX="$_build/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset _build
