#!/usr/bin/env bash
# Runs the Windows build of vennikplus-cli under wine, in place of the Linux
# one, for the tests written for the Linux tool. A pseudo-terminal given as
# --port (a board the tests play) becomes a COM port first, as a board's USB
# port is on Windows: dosdevices/comN in the wine prefix leads to it, and the
# tool is given "COMN" (N is the terminal's number plus 20, so that tests
# running side by side each have their own), or "\\.\COMN" when
# VENNIK_WINE_PORT_FORM=device, or COM<VENNIK_WINE_COM> when that is set.
# Needs VENNIK_WINDOWS_CLI (the .exe) and WINEPREFIX.
set -euo pipefail
: "${VENNIK_WINDOWS_CLI:?the .exe to run}" "${WINEPREFIX:?the wine prefix}"
args=()
previous=
for a in "$@"; do
  if [ "$previous" = --port ] && [[ $a =~ ^/dev/pts/([0-9]+)$ ]]; then
    number=${VENNIK_WINE_COM:-$((BASH_REMATCH[1] + 20))}
    ln -sfn "$a" "$WINEPREFIX/dosdevices/com$number"
    if [ "${VENNIK_WINE_PORT_FORM:-name}" = device ]; then a="\\\\.\\COM$number"; else a="COM$number"; fi
  fi
  previous=$a
  args+=("$a")
done
# The same process from here on: a signal the test sends reaches wine,
# which hands SIGINT to the program as the console's Ctrl-C.
exec wine "$VENNIK_WINDOWS_CLI" "${args[@]}"
