#!/usr/bin/env bash
# Whole-program test of the single-instance hand-off: a viewer runs on one
# image; a second start with MultiProcess=0 and another image must make the
# running viewer open that image (its title changes) and end by itself.
# Usage: handoff.sh <path of the built zorvin binary>
set -u

BINARY=${1:?usage: handoff.sh <zorvin binary>}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zorvin-handoff.XXXXXX")
XVFB_PID=""
VIEWER_PID=""

cleanup() {
  [[ -n "$VIEWER_PID" ]] && kill "$VIEWER_PID" 2>/dev/null && wait "$VIEWER_PID" 2>/dev/null
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A copy of the binary, so that its Zorvin.ini is this test's own; a runtime
# folder of its own, so that no viewer of the user's answers the hand-off.
mkdir -p "$WORK/bin" "$WORK/run" "$WORK/config" "$WORK/pictures"
chmod 700 "$WORK/run"
cp "$BINARY" "$WORK/bin/zorvin"
printf '[Option]\nMultiProcess=0\n' > "$WORK/bin/Zorvin.ini"
export XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
unset QT_QPA_PLATFORM

/usr/bin/python3 - "$WORK" <<'PY' || fail "cannot make the images"
import sys
from PIL import Image
work = sys.argv[1]
Image.new("RGB", (64, 48), (200, 30, 30)).save(work + "/pictures/first.bmp")
Image.new("RGB", (48, 64), (30, 30, 200)).save(work + "/pictures/second.bmp")
PY

# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB_PID=$!
for _ in $(seq 100); do
  [[ -s "$WORK/display" ]] && break
  kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start"
  sleep 0.1
done
[[ -s "$WORK/display" ]] || fail "Xvfb gave no display"
export DISPLAY=":$(head -n 1 "$WORK/display")"

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
