# Sourced: the environment of every Wine run of this build tree.
# usage: . scripts/wine-env.sh BUILD_DIR
# MRL_WIN32=1: the 32-bit build's session (32-bit Wine, see scripts/win32-env.sh).
_build=$(cd "${1:-build}" && pwd)
if [ -n "${MRL_WIN32:-}" ]; then
  export WINEPREFIX="$_build/wineprefix32" WINEARCH=win32 MRL_WIN=win32
else
  export WINEPREFIX="$_build/wineprefix" WINEARCH=win64 MRL_WIN=win64
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
unset _build
