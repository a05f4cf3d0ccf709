#!/usr/bin/env bash
# Every program of the shared corpus gives the same report, JSON report,
# crunch and flatten from the Windows build (run under wine) as from the
# Linux build, byte for byte: standard output, standard error and exit code
# (but for the time each analysis took).
# Exit 77 (skipped) when the corpus is missing.
#   corpus_identity_test.sh LINUX-CLI CORPUS-OUTPUTS-EXE CORPUS WORK
set -euo pipefail
linux_cli=$1 driver=$2 corpus=$3 work=$4
if [ ! -d "$corpus" ]; then echo "no corpus at $corpus: skipped"; exit 77; fi
if [ ! -x "$linux_cli" ]; then echo "no Linux build of the tool at $linux_cli (make test-windows builds it)"; exit 1; fi

rm -rf "$work" && mkdir -p "$work/linux" "$work/windows"
: > "$work/VennikPlus.inf"
settings=$work/VennikPlus.inf
find "$corpus" -type f -iname '*.bas' | LC_ALL=C sort > "$work/programs.txt"
i=0
while IFS= read -r program; do
  for kind in report json crunch flatten; do
    case $kind in
      report) args=(report --settings "$settings" "$program") ;;
      json) args=(report --json --settings "$settings" "$program") ;;
      crunch) args=(crunch --settings "$settings" "$program") ;;
      flatten) args=(flatten "$program") ;;
    esac
    code=0
    "$linux_cli" "${args[@]}" > "$work/linux/$i.$kind" 2> "$work/linux/$i.$kind.err" || code=$?
    echo "$i $kind $code" >> "$work/linux/exits"
  done
  i=$((i + 1))
done < "$work/programs.txt"

wine "$driver" "$work/programs.txt" "$settings" "$work/windows"
# The time an analysis took is the one thing that may differ.
for side in linux windows; do
  sed -i -E 's/^Time taken [0-9]+mS$/Time taken (some) mS/' "$work/$side"/*.report
  sed -i -E '1s/"elapsedMs":[0-9]+/"elapsedMs":0/' "$work/$side"/*.json
done
if ! diff -r "$work/linux" "$work/windows" > "$work/differences.txt"; then
  head -c 4000 "$work/differences.txt"
  echo "FAILED: the Windows build's outputs differ (all in $work/differences.txt; lines of $work/programs.txt from 0)"
  exit 1
fi
echo "$i programs: every output identical"
