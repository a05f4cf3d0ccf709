#!/usr/bin/env bash
# The desktop program on a virtual X display: a first start analyses an
# example, a second start with another example hands it over and ends with 0,
# the first analyses that one, the Quit button ends it with 0 and the
# settings keep the last file. Screenshots go to the work folder.
#
# Usage: desktop_xvfb_test.sh PROGRAM EXAMPLES_FOLDER WORK_FOLDER
# PROGRAM is the observed build, which writes its file label and text window
# to text_window.log beside itself each time either changes.
# Exit 77 (skipped) only when Xvfb cannot start.
set -u

program=$1
examples=$(cd "$2" && pwd)
work=$3

log="$work/program/text_window.log"
fail() { echo "FAIL: $*"; [ -f "$log" ] && { echo "--- text window log:"; head -5 "$log"; }; exit 1; }

rm -rf "$work"
mkdir -p "$work/program" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
# A copy of its own, so that the settings file lands in the work folder.
cp "$program" "$work/program/vennikplus" || fail "cannot copy $program"

if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed (scripts/install-deps.sh installs it)"
  exit 77
fi

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; }
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the file.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "SKIPPED: Xvfb could not start:"
  cat "$work/xvfb.log"
  exit 77
fi

export DISPLAY=":$(head -n1 "$work/display")"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_CONFIG_HOME XDG_DATA_HOME QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI

screenshot() {
  if command -v import >/dev/null; then
    import -window root "$work/$1.png"
  elif command -v xwd >/dev/null; then
    xwd -root -silent >"$work/$1.xwd"
  else
    echo "(no import or xwd: no screenshot $1)"
  fi
}

# Waits until the text window log starts with the given text.
wait_for_log() {
  for _ in $(seq 150); do
    [ -f "$log" ] && [ "$(head -c ${#1} "$log")" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

first_file="$examples/blink.bas"
second_file="$examples/thermostat.bas"

"$work/program/vennikplus" "$first_file" 2>"$work/first.err" &
first=$!
pids+=($first)
# Label still empty, the path line, then the report headed by the path.
wait_for_log $'\n'"$first_file"$'\n'"$first_file"$'\nTime taken' || fail "the first start did not analyse $first_file"

window=$(xdotool search --sync --name '^Vennik Plus$' | head -n1)
[ -n "$window" ] || fail "no window titled Vennik Plus"
xdotool windowfocus --sync "$window"
# Over the Copy button (x 500 to 580, y 5 to 30 below the menu bar) for its tooltip.
xdotool mousemove --window "$window" 540 40
sleep 1.5
screenshot desktop_first

start=$(date +%s)
timeout 20 "$work/program/vennikplus" "$second_file" 2>"$work/second.err"
second_status=$?
[ "$second_status" = 0 ] || fail "the second start ended with $second_status"
[ $(( $(date +%s) - start )) -le 10 ] || fail "the second start took longer than 10 s"
[ ! -e "$work/program/VennikPlus.inf" ] || fail "the second start wrote settings"

# The first instance shows the handed-over file in its label and analyses it.
wait_for_log "$second_file"$'\n'"$second_file"$'\nTime taken' || fail "the first instance did not analyse $second_file"
kill -0 "$first" 2>/dev/null || fail "the first instance ended"
sleep 0.5
screenshot desktop_after_hand_off

# The Quit button (x 600 to 680).
xdotool mousemove --window "$window" 640 40 click 1
for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$first" 2>/dev/null; then
  screenshot desktop_quit_missed
  fail "a click on the Quit button did not end the program"
fi
wait "$first"
first_status=$?
[ "$first_status" = 0 ] || fail "the first instance ended with $first_status"
grep -q "^Last file = $second_file"$'\r'"\$" "$work/program/VennikPlus.inf" || fail "Last file was not stored"

echo "PASS: hand-off under Xvfb on $DISPLAY; screenshots in $work"
