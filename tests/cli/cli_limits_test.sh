#!/usr/bin/env bash
# The command-line tool where a user's input or machine fails it: too little
# memory, unreadable standard input, endless or huge sources, a huge settings
# file. Each ends with a clear message and exit code 1 (the settings file
# with the defaults), never with an abort or a report of nothing.
# Usage: cli_limits_test.sh CLI EXAMPLE WORK
set -uo pipefail
cli=$(realpath "$1") example=$(realpath "$2") work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
# expect NAME WANTED_RC [STDERR_TEXT]: checks the last run's exit code and that
# its standard error holds the text.
expect() {
  if [ "$rc" -ne "$2" ] || { [ -n "${3:-}" ] && ! grep -qF -- "$3" err.txt; }; then
    echo "FAILED: $1 (exit $rc, want $2 and '${3:-}'): $(head -c 300 err.txt)"
    failures=$((failures + 1))
  fi
}

# Out of memory: 30 MB of source cannot even be decoded in 50 MB. (The
# address sanitizer cannot start within such a limit.)
if [ -z "${VENNIK_SANITIZED:-}" ]; then
  yes 'a = 1' | head -n 5000000 > big.bas
  (ulimit -v 50000; "$cli" report big.bas > /dev/null 2> err.txt); rc=$?
  expect "out of memory" 1 "out of memory"
fi

# Standard input that cannot be read is no empty program.
"$cli" report - < "$work" > out.txt 2> err.txt; rc=$?
expect "a folder as standard input" 1 "standard input"
"$cli" report - <&- > out.txt 2> err.txt; rc=$?
expect "closed standard input" 1 "standard input"

# Sources beyond 256 MiB: a regular file by its size (sparse, so it costs no
# disk), streams once that much has arrived.
truncate -s 257M huge.bas
"$cli" report huge.bas > /dev/null 2> err.txt; rc=$?
expect "a regular file over the limit" 1 "larger than 256 MiB"
"$cli" report /dev/zero > /dev/null 2> err.txt; rc=$?
expect "an endless device" 1 "larger than 256 MiB"
"$cli" report - < /dev/zero > /dev/null 2> err.txt; rc=$?
expect "an endless device as standard input" 1 "larger than 256 MiB"
# Streams within the limit are read whole.
mkfifo fifo.bas
cat "$example" > fifo.bas &
"$cli" report fifo.bas > out.txt 2> err.txt; rc=$?
# Opening the FIFO both ways never blocks and frees a writer that no reader
# took, so the wait ends even when the tool did not open it.
exec 3<> fifo.bas
exec 3<&-
wait
expect "a FIFO" 0
grep -q "Lines of code: 22" out.txt || { echo "FAILED: FIFO report"; failures=$((failures + 1)); }
"$cli" report <(cat "$example") > out.txt 2> err.txt; rc=$?
expect "process substitution" 0
grep -q "Lines of code: 22" out.txt || { echo "FAILED: process substitution report"; failures=$((failures + 1)); }

# A settings file over 1 MiB is passed over with a note: the Library in it
# does not mark the name it lists.
{ printf '[General]\r\nLibrary = Blink\r\n'; yes 'a' | head -n 600000; } > big.inf
"$cli" report --settings big.inf "$example" > out.txt 2> err.txt; rc=$?
expect "a huge settings file" 0 "settings 'big.inf' not read (larger than 1 MiB)"
if grep -q " Lib " out.txt; then echo "FAILED: the huge settings file was read"; failures=$((failures + 1)); fi

echo "$failures failed"
[ "$failures" -eq 0 ]
