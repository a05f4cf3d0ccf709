#!/usr/bin/env bash
# Makes the wine prefix the Windows tests run in, inside the build folder
# (never the user's own ~/.wine), once: later runs find it made. Wine's
# Mono and Gecko are not installed: a console program needs neither, and
# their installers would ask on a display.
set -euo pipefail
prefix=$(realpath -m "$1")
if [ -f "$prefix/system.reg" ] && [ -d "$prefix/dosdevices" ]; then exit 0; fi
command -v wine > /dev/null || { echo "wine is missing: run scripts/install-deps.sh --windows"; exit 1; }
rm -rf "$prefix"
mkdir -p "$prefix"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= wineboot --init
# wineboot returns before its server has written the prefix out.
WINEPREFIX=$prefix wineserver --wait
test -f "$prefix/system.reg"
