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
# Wine turns arguments and file names from and into UTF-16 by the locale's
# character set: UTF-8, so that every name survives whatever the caller's
# locale (C.UTF-8 is on every Debian system).
export LC_ALL=C.UTF-8

if ! command -v wine >/dev/null; then
  echo "wine-run.sh: wine is not installed (bash scripts/setup.sh installs it)" >&2
  exit 127
fi

# Under a lock, as tests run in parallel; no process started here may keep
# the lock's descriptor (9), or it would hold the lock for its whole life.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  # The prefix: Mono and Gecko are not needed and their installers would
  # ask. system.reg is written when the new prefix is complete.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
    wineserver --wait 9>&- || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-run.sh: could not make the Wine prefix $WINEPREFIX" >&2
      exit 125
    fi
  fi
  # Wine's background processes (wineserver, services.exe and others) start
  # with the first program of a session and outlive it. Started by the program
  # itself they would inherit its standard output and error, and whoever waits
  # for the end of those (ctest, a shell's $(...)) would wait for them too. So
  # a session is started here, with nothing open, when none is running (the
  # command fails when one is); it ends 30 seconds after its last program.
  if wineserver --persistent=30 </dev/null >/dev/null 2>&1 9>&-; then
    wine reg query 'HKCU\Environment' </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"

exec wine "$@"
