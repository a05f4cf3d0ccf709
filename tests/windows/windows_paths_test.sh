#!/usr/bin/env bash
# Windows' own paths on the Windows tool: a drive path with "\" and one
# with "/", in a folder whose name is not ASCII, and an #INCLUDE written with
# "\" and in other letter case than the file, which Windows opens all the
# same. Runs the tool through wine_cli.sh (VENNIK_WINDOWS_CLI, WINEPREFIX).
#   windows_paths_test.sh WORK
set -euo pipefail
work=$1
here=$(cd "$(dirname "$0")" && pwd)
# Wine reads the arguments as the locale says.
export LC_ALL=C.UTF-8
rm -rf "$work" && mkdir -p "$work/Programmé ü/lib"
printf 'PRINT 1\r\n#INCLUDE "LIB\\Util.INC"\r\nPRINT 2\r\n' > "$work/Programmé ü/main.bas"
printf 'SUB A\r\nEND SUB\r\n' > "$work/Programmé ü/lib/util.inc"
printf 'PRINT 1\r\nSUB A\r\nEND SUB\r\nPRINT 2\r\n' > "$work/expected.bas"
backslashed=$(winepath -w "$work/Programmé ü/main.bas")
slashed=${backslashed//\\//}
failures=0
for path in "$backslashed" "$slashed"; do
  if ! "$here/wine_cli.sh" flatten "$path" > "$work/flat.bas" 2> "$work/err.txt" || ! cmp -s "$work/flat.bas" "$work/expected.bas"; then
    echo "FAILED: flatten $path"; cat "$work/err.txt"; failures=$((failures + 1))
  fi
  "$here/wine_cli.sh" report "$path" > "$work/report.txt"
  first=$(head -n 1 "$work/report.txt")
  if [ "$first" != "$path" ]; then
    echo "FAILED: the report of $path begins with $first"; failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "Windows paths: ok"
