#!/usr/bin/env bash
# Runs a cross-compiled Windows program under wine, for CTest and test discovery.
#   wine-run.sh PROGRAM.exe [ARGS...]
# The wine prefix lives in the build tree (the nearest directory above the working directory that
# holds CMakeCache.txt, or $DREVANTI_WINEPREFIX) and is made on first use, under a lock so that
# parallel tests make it once. Windows programs write text-mode line ends; they are turned back
# into Unix ones so that output checks read the same on both systems.
set -euo pipefail

if [ -z "${DREVANTI_WINEPREFIX:-}" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "wine-run.sh: no build tree above $PWD; set DREVANTI_WINEPREFIX" >&2
    exit 2
  fi
  DREVANTI_WINEPREFIX=$dir/wine-prefix
fi
export WINEPREFIX=$DREVANTI_WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs only: no window, so no display is needed.
unset DISPLAY WAYLAND_DISPLAY

wine=$(command -v wine || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# The session's server and background programs are started here, apart from the test's output
# pipes, on which CTest would otherwise wait for as long as they live; they stay a while for the
# next test.
wineserver -p10 </dev/null >/dev/null 2>&1 || true
"$wine" wineboot </dev/null >/dev/null 2>&1 || true

"$wine" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
