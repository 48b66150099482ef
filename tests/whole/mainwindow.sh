#!/usr/bin/env bash
# Whole-program test of the main window under Xvfb, driven with xdotool:
# a folder of three images with its title, Down and Up with LoopList, the
# image on screen, Enter in and out of full screen, the exit through the
# File menu writing Zorvin.ini, the last file reopened at the next start, a
# missing last file giving an empty window, and the unsupported-file box.
# Usage: mainwindow.sh <path of the built zorvin binary>
BINARY=${1:?usage: mainwindow.sh <zorvin binary>}
NAME=mainwindow
. "$(dirname "$0")/lib.sh"
INI="$WORK/bin/Zorvin.ini"
PICS="$WORK/pictures/"
printf '[Option]\nLoopList=1\n' > "$INI"

make_three_pictures
printf 'plain text\n' > "$WORK/notes.txt"

start_x

start() {
  "$WORK/bin/zorvin" "$@" >>"$WORK/viewer.log" 2>&1 &
  VIEWER_PID=$!
}

stop() {
  kill "$VIEWER_PID" 2>/dev/null
  wait "$VIEWER_PID" 2>/dev/null
  VIEWER_PID=""
}

# The colour of the screen pixel at the centre of window $1, as "R,G,B".
centre_colour() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "1x1+$((X + WIDTH / 2))+$((Y + HEIGHT / 2))" -depth 8 txt:- 2>/dev/null \
    | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

wait_colour() {
  for _ in $(seq 100); do
    [[ "$(centre_colour "$1")" == "$2" ]] && return 0
    sleep 0.1
  done
  fail "the window centre shows $(centre_colour "$1"), not $2"
}

P=$(regex_quote "$PICS")

# A folder opens on its first image; Down, Up, and Up again around the end.
start "$PICS"
WID=$(wait_title "${P}a\\.bmp  \\[1/3\\] 100% - Zorvin Lite")
[[ -n "$WID" ]] || fail "no window titled with a.bmp [1/3]: $(cat "$WORK/viewer.log")"
wait_colour "$WID" "200,30,30"
xdotool windowfocus --sync "$WID" 2>/dev/null
xdotool key Down
[[ -n "$(wait_title "${P}b\\.bmp  \\[2/3\\] 100% - Zorvin Lite")" ]] || fail "Down did not show b.bmp"
wait_colour "$WID" "30,200,30"
xdotool key Up
[[ -n "$(wait_title "${P}a\\.bmp  \\[1/3\\] 100% - Zorvin Lite")" ]] || fail "Up did not show a.bmp"
xdotool key Up
[[ -n "$(wait_title "${P}c\\.bmp  \\[3/3\\] 100% - Zorvin Lite")" ]] || fail "Up on the first did not show the last"
wait_colour "$WID" "30,30,200"

# Enter covers the screen; Enter again gives the old geometry back.
BEFORE=$(xdotool getwindowgeometry "$WID" | tail -n 2)
xdotool key Return
for _ in $(seq 100); do
  [[ "$(xdotool getwindowgeometry "$WID" | tail -n 1)" == *"1024x768"* ]] && break
  sleep 0.1
done
[[ "$(xdotool getwindowgeometry "$WID" | tail -n 1)" == *"1024x768"* ]] || fail "full screen does not cover the screen"
xdotool key Return
for _ in $(seq 100); do
  [[ "$(xdotool getwindowgeometry "$WID" | tail -n 2)" == "$BEFORE" ]] && break
  sleep 0.1
done
[[ "$(xdotool getwindowgeometry "$WID" | tail -n 2)" == "$BEFORE" ]] || fail "leaving full screen did not restore the geometry"

# The File menu's Exit ends the program, which writes its settings.
visible_windows() {
  xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l
}
SHOWN=$(visible_windows)
xdotool key alt+f
for _ in $(seq 100); do
  [[ "$(visible_windows)" -gt "$SHOWN" ]] && break  # the menu is up
  sleep 0.1
done
xdotool key x
for _ in $(seq 100); do
  kill -0 "$VIEWER_PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$VIEWER_PID" 2>/dev/null && fail "the File menu's Exit did not end the program"
wait "$VIEWER_PID" 2>/dev/null
VIEWER_PID=""
grep -qx "LastFile=${PICS}c.bmp" "$INI" || fail "LastFile not written: $(cat "$INI")"
grep -qx "SortAscend=1" "$INI" || fail "SortAscend not written"
grep -qx "\[Window\]" "$INI" || fail "no Window section"

# OpenLastFile reopens it at the next start without an argument.
sed -i 's/^OpenLastFile=.*/OpenLastFile=1/' "$INI"
grep -qx "OpenLastFile=1" "$INI" || fail "no OpenLastFile key to turn on"
start
[[ -n "$(wait_title "${P}c\\.bmp  \\[3/3\\] 100% - Zorvin Lite")" ]] || fail "the last file was not reopened"
stop

# A missing last file: an empty window and no message box. The box would
# come up during the first showing, before the window is mapped.
rm "${PICS}c.bmp"
start
WID=$(wait_title "Zorvin Lite")
[[ -n "$WID" ]] || fail "no empty window for a missing last file"
[[ -z "$(xdotool search --name '読み込みエラー')" ]] || fail "a message box came for a missing last file"
stop

# An unsupported file: the warning box.
start "$WORK/notes.txt"
BOX=$(timeout 20 xdotool search --sync --name '^読み込みエラー$' | head -n 1)
[[ -n "$BOX" ]] || fail "no warning box for an unsupported file"
stop

echo "PASS: folder, stepping, full screen, exit with settings, last file and warning box"
