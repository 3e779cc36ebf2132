#!/usr/bin/env bash
# Runs one command inside a Wine session of the build tree: the private prefix
# (made once, then reused), an Xvfb display for windows and screenshots, and
# one wineserver kept alive for the whole run so each process starts fast.
# usage: scripts/wine-session.sh BUILD_DIR COMMAND...
set -euo pipefail
build=$1; shift
mkdir -p "$build"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh" "$build"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

xvfb_pid=""
if [ -z "${MRL_NO_XVFB:-}" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 0.5
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      break
    fi
    xvfb_pid=""
  done
fi

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

wineserver -p
# Start Wine's own service processes now, detached from our output: started
# later by a test, they would inherit ctest's pipe and keep it open forever.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
# Without a window manager Wine waits about 2 s whenever a managed window is
# hidden or destroyed; unmanaged windows close at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
# The sample driver packages are installed once per session; tests then add printers of their own.
if [ -x "$build/$MRL_WIN/tools/mrlprint/mrlprint.exe" ] && [ -d "$build/package" ] && [ -z "${MRL_NO_INSTALL:-}" ]; then
  wine "$build/$MRL_WIN/tools/mrlprint/mrlprint.exe" install "$(winepath -w "$build/package")" >/dev/null 2>&1 || true
fi
set +e
"$@"
rc=$?
exit $rc
