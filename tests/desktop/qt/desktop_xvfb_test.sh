#!/usr/bin/env bash
# The desktop program on a virtual X display with a window manager, used as
# a user would (xdotool): a first start on a relative path, a second start
# that hands another file over, a start without parameters that only raises
# the window, the icon and the least size, the keys and menus (the keyword
# list among them), an unreadable file, saving a report twice, sending to a
# board on a pseudo-terminal, quitting, and a source of a million lines.
# Screenshots go to the work folder.
#
# Usage: desktop_xvfb_test.sh PROGRAM EXAMPLES_FOLDER WORK_FOLDER PTY_BOARD
# PROGRAM is the observed build, which writes its file label and text window
# to text_window.log beside itself each time either changes; PTY_BOARD is
# the test board (tests/desktop/qt/pty_board.cpp).
# Exit 77 (skipped) only when Xvfb or the window manager is missing.
set -u

program=$1
work=$3
pty_board=$4

log="$work/program/text_window.log"
fail() { echo "FAIL: $*"; [ -f "$log" ] && { echo "--- text window log:"; head -5 "$log"; }; exit 1; }

rm -rf "$work"
mkdir -p "$work/program" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
# A copy of its own, so that the settings file lands in the work folder, and
# of the examples, so that reports saved beside them do too.
cp "$program" "$work/program/vennikplus" || fail "cannot copy $program"
cp -r "$2" "$work/examples" || fail "cannot copy the examples"
examples="$work/examples"

for tool in Xvfb openbox; do
  if ! command -v $tool >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps.sh --tests installs it)"
    exit 77
  fi
done

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

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager announces itself on the root window.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "openbox did not start"

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
  for _ in $(seq ${2:-150}); do
    [ -f "$log" ] && [ "$(head -c ${#1} "$log")" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# The program's windows with this exact title, one a line.
windows_titled() { xdotool search --name "^$1\$" 2>/dev/null; }

# Waits until `count` windows carry the title.
wait_for_windows() {
  for _ in $(seq 150); do
    [ "$(windows_titled "$1" | wc -l)" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

wait_for_clipboard() {
  for _ in $(seq 100); do
    xclip -o -selection clipboard 2>/dev/null | head -c ${#1} | grep -qxF "$1" && return 0
    sleep 0.1
  done
  return 1
}

blink="$examples/blink.bas"
thermostat="$examples/thermostat.bas"

# A relative path is kept absolute: the label, the path line, the report.
(cd "$examples" && exec "$work/program/vennikplus" blink.bas 2>"$work/first.err") &
first=$!
pids+=($first)
wait_for_log "$blink"$'\n'"$blink"$'\n'"$blink"$'\nTime taken' || fail "the first start did not analyse $blink"

window=$(windows_titled 'Vennik Plus' | head -n1)
[ -n "$window" ] || fail "no window titled Vennik Plus"
xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window has no icon of its own"
xdotool windowfocus --sync "$window"
# Over the Copy button (x 500 to 580, y 5 to 30 below the menu bar) for its tooltip.
xdotool mousemove --window "$window" 540 40
sleep 1.5
screenshot desktop_first

(cd "$work" && exec timeout 20 "$work/program/vennikplus" examples/thermostat.bas 2>"$work/second.err")
second_status=$?
# 124: it did not end within the ceiling; what it said tells why.
[ "$second_status" = 0 ] || fail "the second start ended with $second_status: $(cat "$work/second.err")"
[ ! -e "$work/program/VennikPlus.inf" ] || fail "the second start wrote settings"

# The first instance shows the handed-over file in its label and analyses it.
handed="$thermostat"$'\n'"$thermostat"$'\nTime taken'
wait_for_log "$handed" || fail "the first instance did not analyse $thermostat"
kill -0 "$first" 2>/dev/null || fail "the first instance ended"

# A start without parameters only brings the window to the front; the first
# instance has taken it (and posted nothing) when it ends.
timeout 20 "$work/program/vennikplus" || fail "the start without parameters failed"
wait_for_log "$handed" 1 || fail "a start without parameters changed the report"
sleep 0.5
screenshot desktop_after_hand_off

# The keys: Crunch by its button, F5 to re-scan, the Copy Options menu by
# Alt+C and the x of Maximite, Ctrl+Shift+C for Copy.
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 240 40 click 1
wait_for_log "File reduced from" || fail "the Crunch button did nothing"
xdotool key F5
wait_for_log "$handed" || fail "F5 did not re-scan"
# A crunched mode with the report in the window: Copy and Send to board say
# to crunch first, and the clipboard keeps what it had; after a crunch the
# copy takes the crunched program.
echo previous | xclip -i -selection clipboard
xdotool key alt+c
sleep 1
screenshot desktop_copy_options
xdotool key x
wait_for_windows 'Copy' 1 || fail "Copy crunched for Maximite with the report shown said nothing"
sleep 1.5
screenshot desktop_crunch_first
xdotool key Return
for _ in $(seq 100); do [ "$(windows_titled 'Copy' | wc -l)" = 0 ] && break; sleep 0.1; done
wait_for_clipboard "previous" || fail "Copy crunched for Maximite with the report shown changed the clipboard"
xdotool windowfocus --sync "$window"
xdotool key alt+b
sleep 0.5
xdotool key s
wait_for_windows 'Send to board' 1 || fail "Send to board with the report shown said nothing"
sleep 1.5
screenshot desktop_send_crunch_first
xdotool key Return
for _ in $(seq 100); do [ "$(windows_titled 'Send to board' | wc -l)" = 0 ] && break; sleep 0.1; done
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 240 40 click 1
wait_for_log "File reduced from" || fail "the Crunch button did nothing the second time"
xdotool key ctrl+shift+c
wait_for_clipboard "AUTO" || fail "Ctrl+Shift+C did not copy the crunched program"

# The Keywords menu by Alt+K and the P of PicoMite: the source is analysed
# again at once, and the choice is kept in the settings (checked at the end).
shown=$(cat "$log")
xdotool key alt+k
sleep 1
screenshot desktop_keywords
xdotool key p
for _ in $(seq 100); do [ "$(cat "$log")" != "$shown" ] && break; sleep 0.1; done
[ "$(cat "$log")" != "$shown" ] || fail "Keywords > PicoMite did not analyse again"

# Ctrl+O with a typed name: the label follows the file loaded.
xdotool key ctrl+o
wait_for_windows 'Source Code' 1 || fail "Ctrl+O did not open the Open requester"
sleep 0.5
xdotool type --delay 20 "$blink"
xdotool key Return
wait_for_log "$blink"$'\n'"$blink"$'\n\n'"$blink"$'\nTime taken' || fail "the Open requester did not load $blink"

# A FIFO is refused at once, with a message; the report stays.
mkfifo "$examples/pipe.bas"
shown=$(cat "$log")
xdotool key ctrl+o
wait_for_windows 'Source Code' 1 || fail "Ctrl+O did not open the Open requester again"
sleep 0.5
xdotool type --delay 20 "$examples/pipe.bas"
xdotool key Return
wait_for_windows 'Vennik Plus' 2 || fail "no message about the FIFO"
sleep 1
screenshot desktop_unreadable
xdotool key Return
for _ in $(seq 100); do [ "$(windows_titled 'Vennik Plus' | wc -l)" = 1 ] && break; sleep 0.1; done
[ "$(cat "$log")" = "$shown" ] || fail "the report changed after the FIFO"

# Ctrl+S: beside the source, its name offered; the second time it asks
# before replacing.
xdotool key ctrl+s
wait_for_windows 'Report' 1 || fail "Ctrl+S did not open the Save requester"
sleep 1
screenshot desktop_save
xdotool key Return
for _ in $(seq 100); do [ -s "$examples/blink.txt" ] && break; sleep 0.1; done
[ -s "$examples/blink.txt" ] || fail "the report was not saved as $examples/blink.txt"
: >"$examples/blink.txt"
for _ in $(seq 100); do [ "$(windows_titled 'Report' | wc -l)" = 0 ] && break; sleep 0.1; done
xdotool key ctrl+s
wait_for_windows 'Report' 1 || fail "Ctrl+S did not open the Save requester again"
sleep 0.5
xdotool key Return
wait_for_windows 'Report' 2 || fail "no question before replacing $examples/blink.txt"
sleep 1
screenshot desktop_replace
xdotool key alt+y
for _ in $(seq 100); do [ -s "$examples/blink.txt" ] && break; sleep 0.1; done
[ -s "$examples/blink.txt" ] || fail "the report was not saved again"

# Board > Send to board... with the port typed (a pseudo-terminal is not
# listed): in the BAS form for a Maximite the board gets Ctrl-C, then the
# envelope, then the summary is shown.
mkfifo "$work/board_in"
"$pty_board" "$work/board.out" <"$work/board_in" >"$work/board.port" 2>"$work/board.err" &
board=$!
pids+=($board)
exec 4>"$work/board_in"
for _ in $(seq 100); do [ -s "$work/board.port" ] && break; sleep 0.1; done
port=$(head -n1 "$work/board.port")
[ -n "$port" ] || fail "the pty board did not start: $(cat "$work/board.err")"
echo previous | xclip -i -selection clipboard
xdotool windowfocus --sync "$window"
xdotool key alt+c
sleep 0.5
xdotool key a
wait_for_clipboard "AUTO" || fail "Copy Options > Copy BAS for Maximite did not copy"
shown=$(cat "$log")
xdotool key alt+b
sleep 1
screenshot desktop_board_menu
xdotool key s
wait_for_windows 'Send to board' 1 || fail "Board > Send to board did not ask for the port"
requester=$(windows_titled 'Send to board' | head -n1)
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$port"
sleep 1
screenshot desktop_send_port
xdotool key Return
# The summary comes in a window of the same title once the send has ended.
summary=
for _ in $(seq 300); do
  summary=$(windows_titled 'Send to board' | grep -vx "$requester" | head -n1)
  [ -n "$summary" ] && break
  sleep 0.1
done
[ -n "$summary" ] || fail "no summary after the send"
sleep 1
screenshot desktop_sent
xdotool key Return
exec 4>&-
wait "$board"
{ printf '\003AUTO\r\n'; cat "$blink"; printf '\003'; } >"$work/board.expected"
cmp "$work/board.expected" "$work/board.out" || fail "the board did not get Ctrl-C and the envelope"
[ "$(cat "$log")" = "$shown" ] || fail "the send changed the report"

# As small as it goes, the window keeps the seven buttons: the Quit button
# (x 600 to 680) still ends it.
xdotool windowsize "$window" 100 100
sleep 1
screenshot desktop_smallest
xdotool mousemove --window "$window" 640 40 click 1
for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$first" 2>/dev/null; then
  screenshot desktop_quit_missed
  fail "a click on the Quit button did not end the program"
fi
wait "$first"
first_status=$?
[ "$first_status" = 0 ] || fail "the first instance ended with $first_status"
grep -q "^Last file = $blink"$'\r'"\$" "$work/program/VennikPlus.inf" || fail "Last file was not stored"
grep -q "^MainW = 690"$'\r'"\$" "$work/program/VennikPlus.inf" || fail "the window is not at its least width"
grep -q "^Keywords = picomite"$'\r'"\$" "$work/program/VennikPlus.inf" || fail "the keyword list was not stored"

# A million lines: the window is painted and busy while they are analysed,
# and Ctrl+Q ends the program afterwards.
awk 'BEGIN { for (i = 0; i < 1000000; i++) printf "total%d = total + %d\r\n", i % 97, i }' >"$work/big.bas"
rm -f "$log"
"$work/program/vennikplus" "$work/big.bas" 2>"$work/big.err" &
big=$!
pids+=($big)
window=$(timeout 20 xdotool search --sync --name '^Vennik Plus$' | head -n1)
[ -n "$window" ] || fail "no window for the large source"
wait_for_log "$work/big.bas"$'\n'"$work/big.bas" || fail "the large source was not taken"
screenshot desktop_busy
wait_for_log "$work/big.bas"$'\n'"$work/big.bas"$'\n'"$work/big.bas"$'\nTime taken' 1200 ||
  fail "the large source was not analysed"
xdotool windowfocus --sync "$window"
xdotool key ctrl+q
for _ in $(seq 100); do kill -0 "$big" 2>/dev/null || break; sleep 0.1; done
kill -0 "$big" 2>/dev/null && fail "Ctrl+Q did not end the program"
wait "$big" || fail "the program ended with $? after the large source"

# Quit while the million lines are being analysed ends the program without
# waiting for the analysis.
rm -f "$log"
"$work/program/vennikplus" "$work/big.bas" 2>"$work/big_quit.err" &
big=$!
pids+=($big)
window=$(timeout 20 xdotool search --sync --name '^Vennik Plus$' | head -n1)
[ -n "$window" ] || fail "no window for the large source the second time"
wait_for_log "$work/big.bas"$'\n'"$work/big.bas" || fail "the large source was not taken the second time"
xdotool windowfocus --sync "$window"
xdotool key ctrl+q
for _ in $(seq 100); do kill -0 "$big" 2>/dev/null || break; sleep 0.1; done
kill -0 "$big" 2>/dev/null && fail "Ctrl+Q during the analysis did not end the program"
wait "$big" || fail "the program ended with $? after Ctrl+Q during the analysis"
grep -q "^Time taken" "$log" && echo "(the analysis was done before Ctrl+Q: it was quit after it)"

# At scale 2 the screen is 640 by 400 of the toolkit's units: a window
# stored larger and off the screen is made whole on it, and its least size
# (the seven buttons, narrowed) fits.
sed -i -e 's/^MainX = .*/MainX = 3000\r/' -e 's/^MainY = .*/MainY = -500\r/' \
  -e 's/^MainW = .*/MainW = 1150\r/' -e 's/^MainH = .*/MainH = 650\r/' "$work/program/VennikPlus.inf"
QT_SCALE_FACTOR=2 "$work/program/vennikplus" "$blink" 2>"$work/scaled.err" &
scaled=$!
pids+=($scaled)
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vennik Plus$' | head -n1)
[ -n "$window" ] || fail "no window at scale 2"
wait_for_log "$blink"$'\n'"$blink" || fail "nothing analysed at scale 2"
sleep 1
screenshot desktop_scale_2
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1280 ] && [ $((Y + HEIGHT)) -le 800 ] ||
  fail "at scale 2 the window lies at $X,$Y, $WIDTH by $HEIGHT, off the 1280 by 800 screen"
least=$(xprop -id "$window" WM_NORMAL_HINTS | sed -n 's/.*minimum size: \([0-9]*\) by.*/\1/p')
[ -n "$least" ] && [ "$least" -le 1280 ] || fail "at scale 2 the least width is ${least:-unknown}, more than the screen"
xdotool windowfocus --sync "$window"
xdotool key ctrl+q
for _ in $(seq 100); do kill -0 "$scaled" 2>/dev/null || break; sleep 0.1; done
kill -0 "$scaled" 2>/dev/null && fail "Ctrl+Q did not end the program at scale 2"

echo "PASS: the desktop program under Xvfb on $DISPLAY; screenshots in $work"
