#!/usr/bin/env bash
# Makes the wine prefix the Windows tests run in, inside the build folder
# (never the user's own ~/.wine), once: later runs find it made. Wine's
# Mono and Gecko are not installed: a console program needs neither, and
# their installers would ask on a display. Its server is then kept running
# until two minutes after the last program ends, so that the tests' many
# short runs never start while it is shutting down.
set -euo pipefail
prefix=$(realpath -m "$1")
keep_server() { WINEPREFIX=$prefix wineserver --persistent=120 < /dev/null > /dev/null 2>&1 || true; }
if [ -f "$prefix/system.reg" ] && [ -d "$prefix/dosdevices" ]; then keep_server; exit 0; fi
command -v wine > /dev/null || { echo "wine is missing: run scripts/install-deps.sh --windows"; exit 1; }
rm -rf "$prefix"
mkdir -p "$prefix"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= wineboot --init
# wineboot returns before its server has written the prefix out.
WINEPREFIX=$prefix wineserver --wait
test -f "$prefix/system.reg"
keep_server
