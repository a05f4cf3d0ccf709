#!/usr/bin/env bash
# The desktop program's peak memory on a source, and how fast Quit ends it
# while the source is being analysed; offscreen, in a scratch home, so that
# no settings of the user's are read or written.
#
#   scripts/measure-desktop.sh PROGRAM SOURCE          # peak
#   scripts/measure-desktop.sh --quit PROGRAM SOURCE   # Quit during the analysis
#
# Peak: the program is ended (SIGTERM, which it takes as Quit) once it has
# used no processor time for a second after loading, that is once the
# report is in the window; /usr/bin/time gives the time and the peak
# resident size. Quit: SIGTERM as soon as the program is busy analysing; the
# time from the signal to the end of the process.
set -eu

quit=false
if [ "${1:-}" = --quit ]; then
  quit=true
  shift
fi
[ $# -eq 2 ] || { echo "usage: $0 [--quit] PROGRAM SOURCE" >&2; exit 2; }
program=$(realpath "$1")
source=$(realpath "$2")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
# A copy of its own, so that the settings file lands in the scratch folder.
cp "$program" "$work/vennikplus"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export QT_QPA_PLATFORM=offscreen

/usr/bin/time -f "%e s %M KB" -o "$work/time" "$work/vennikplus" "$source" 2>"$work/err" &
timer=$!
pid=""
for _ in $(seq 100); do
  pid=$(pgrep -P "$timer" || true)
  [ -n "$pid" ] && break
  sleep 0.05
done
[ -n "$pid" ] || { echo "the program did not start" >&2; cat "$work/err" >&2; exit 1; }

# Processor time used so far, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo -1; }

if $quit; then
  # Analysing: the window (some 0.07 s of processor time) and the file
  # are done, and the worker has used a little.
  while [ "$(ticks)" -ge 0 ] && [ "$(ticks)" -lt 15 ]; do sleep 0.01; done
  start=$(date +%s%N)
  kill -TERM "$pid"
  wait "$timer" || true
  echo "ended $(( ($(date +%s%N) - start) / 1000000 )) ms after Quit"
  exit 0
fi

last=-1
idle=0
while kill -0 "$pid" 2>/dev/null; do
  now=$(ticks)
  if [ "$now" = "$last" ]; then idle=$((idle + 1)); else idle=0; last=$now; fi
  if [ "$idle" -ge 10 ] && [ "$now" -gt 10 ]; then
    kill -TERM "$pid"
    break
  fi
  sleep 0.1
done
wait "$timer" || true
cat "$work/time"
