#!/usr/bin/env bash
# Runs a Windows program under Wine without a display and without questions:
#
#   bash scripts/wine-run.sh PROGRAM.exe [ARGUMENT...]
#
# The Wine prefix is WINEPREFIX, by default build/wine-prefix; it is made on
# first use. Wine's own messages are off unless WINEDEBUG says otherwise. The
# exit code is the program's. The Windows build's tests run through this (it
# is the toolchain file's CMAKE_CROSSCOMPILING_EMULATOR).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# A console program needs no display; without one Wine never opens a window.
unset DISPLAY WAYLAND_DISPLAY

if ! command -v wine >/dev/null; then
  echo "wine-run.sh: wine is not installed (bash scripts/setup.sh installs it)" >&2
  exit 127
fi

# Made once, under a lock: tests run in parallel. Mono and Gecko are not
# needed and their installers would ask. system.reg is written last.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init </dev/null >/dev/null 2>&1 || true
      wineserver --wait || true
    fi
  ) 9>"$WINEPREFIX.lock"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-run.sh: could not make the Wine prefix $WINEPREFIX" >&2
    exit 125
  fi
fi

exec wine "$@"
