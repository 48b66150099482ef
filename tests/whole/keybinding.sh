#!/usr/bin/env bash
# Whole-program test of the bindings under Xvfb, driven with xdotool: keys
# bound in Zorvin.ini's KeySettings run their commands in the real program
# (a letter; Shift with a digit of the number row, which the keyboard sends
# as "!", shared with a command later in the command order), the key they
# replaced does nothing, the wheel turned over the image runs its default
# gesture, and real clicks and double-clicks run theirs.
# Usage: keybinding.sh <path of the built zorvin binary>
BINARY=${1:?usage: keybinding.sh <zorvin binary>}
NAME=keybinding
. "$(dirname "$0")/lib.sh"
INI="$WORK/bin/Zorvin.ini"
PICS="$WORK/pictures/"
# Refresh shares Shift+1 and comes later in the command order: the key runs
# PrevImage, where Qt's own shortcut handling would run neither.
printf '[KeySettings]\nNextImage=J\nPrevImage=Shift+1\nRefresh=F5,Shift+1\n' > "$INI"
printf '[MouseSettings]\nNextImage=MS_WHEELDOWN,MS_LEFTDOUBLE\nZoomIn=MS_LEFTCLICK\n' >> "$INI"

make_three_pictures

start_x

"$WORK/bin/zorvin" "$PICS" >>"$WORK/viewer.log" 2>&1 &
VIEWER_PID=$!

P=$(regex_quote "$PICS")
title() {
  printf '%s' "${P}$1\\.bmp  \\[$2/3\\] 100% - Zorvin Lite"
}

WID=$(wait_title "$(title a 1)")
[[ -n "$WID" ]] || fail "no window titled with a.bmp [1/3]: $(cat "$WORK/viewer.log")"
xdotool windowfocus --sync "$WID" 2>/dev/null

# Down is no longer bound: after it, J steps once, to the second image.
xdotool key Down
xdotool key j
[[ -n "$(wait_title "$(title b 2)")" ]] || fail "J did not show b.bmp [2/3] alone: $(xdotool getwindowname "$WID")"

# Shift+1 arrives as "!" with Shift; it is still the key of the digit 1.
xdotool key shift+1
[[ -n "$(wait_title "$(title a 1)")" ]] || fail "Shift+1 did not go back to a.bmp: $(xdotool getwindowname "$WID")"

# The wheel turned toward the user over the image: the next image.
eval "$(xdotool getwindowgeometry --shell "$WID")"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT * 2 / 3))
xdotool click 5
[[ -n "$(wait_title "$(title b 2)")" ]] || fail "the wheel did not show b.bmp: $(xdotool getwindowname "$WID")"

# A real click waits out its part of the double-click time and is a click;
# a double-click is a click at its first release (the zoom goes up) and a
# double press at its second (the next image, at that zoom).
xdotool click 1
[[ -n "$(wait_title "${P}b\\.bmp  \\[2/3\\] 150% - Zorvin Lite")" ]] \
  || fail "the click did not zoom in: $(xdotool getwindowname "$WID")"
xdotool click --repeat 2 --delay 60 1
[[ -n "$(wait_title "${P}c\\.bmp  \\[3/3\\] 200% - Zorvin Lite")" ]] \
  || fail "the double-click did not zoom in and step on: $(xdotool getwindowname "$WID")"

echo "PASS: keys bound in Zorvin.ini, the replaced key, the wheel, a click and a double-click"
