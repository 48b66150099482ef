#!/usr/bin/env bash
# Whole-program test of the single-instance hand-off: a viewer runs on one
# image; a second start with MultiProcess=0 and another image must make the
# running viewer open that image (its title changes) and end by itself.
# Usage: handoff.sh <path of the built zorvin binary>
BINARY=${1:?usage: handoff.sh <zorvin binary>}
NAME=handoff
. "$(dirname "$0")/lib.sh"
printf '[Option]\nMultiProcess=0\n' > "$WORK/bin/Zorvin.ini"

/usr/bin/python3 - "$WORK" <<'PY' || fail "cannot make the images"
import sys
from PIL import Image
work = sys.argv[1]
Image.new("RGB", (64, 48), (200, 30, 30)).save(work + "/pictures/first.bmp")
Image.new("RGB", (48, 64), (30, 30, 200)).save(work + "/pictures/second.bmp")
PY

start_x

"$WORK/bin/zorvin" "$WORK/pictures/first.bmp" >"$WORK/viewer.log" 2>&1 &
VIEWER_PID=$!
WID=$(timeout 20 xdotool search --sync --name 'first\.bmp  \[1/2\]' | head -n 1)
[[ -n "$WID" ]] || fail "the viewer never showed first.bmp: $(cat "$WORK/viewer.log")"

timeout 20 "$WORK/bin/zorvin" "$WORK/pictures/second.bmp" >"$WORK/second.log" 2>&1
STATUS=$?
[[ $STATUS -eq 124 ]] && fail "the second start did not end"
[[ $STATUS -eq 0 ]] || fail "the second start ended with status $STATUS: $(cat "$WORK/second.log")"

# The answer came after the viewer opened the path; the picture itself is
# decoded in the background, so its caption may follow a moment later.
NEW=$(timeout 20 xdotool search --sync --name 'second\.bmp  \[2/2\]' | head -n 1)
[[ -n "$NEW" ]] || fail "the running viewer's title never changed to second.bmp: $(xdotool getwindowname "$WID")"
[[ "$NEW" == "$WID" ]] || fail "second.bmp opened in another window ($NEW, not $WID)"
kill -0 "$VIEWER_PID" 2>/dev/null || fail "the first viewer ended"
COUNT=$(xdotool search --onlyvisible --name 'Zorvin Lite$' | wc -l)
[[ "$COUNT" -eq 1 ]] || fail "$COUNT viewer windows instead of one"
echo "PASS: the second start handed second.bmp to the running viewer and ended"
