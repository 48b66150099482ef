# Shared set-up of the whole-program tests; source it after setting NAME and
# BINARY. It makes a work folder with a copy of the binary (so its Zorvin.ini
# is the test's own), a private runtime and config folder, cleans up on exit,
# and start_x starts Xvfb on a free display.
set -u

WORK=$(mktemp -d "${TMPDIR:-/tmp}/zorvin-$NAME.XXXXXX")
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

mkdir -p "$WORK/bin" "$WORK/run" "$WORK/config" "$WORK/pictures"
chmod 700 "$WORK/run"
cp "$BINARY" "$WORK/bin/zorvin"
export XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
unset QT_QPA_PLATFORM

# Xvfb picks a free display itself and writes its number to fd 3.
start_x() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -s "$WORK/display" ]] && break
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start"
    sleep 0.1
  done
  [[ -s "$WORK/display" ]] || fail "Xvfb gave no display"
  export DISPLAY=":$(head -n 1 "$WORK/display")"
}

# Three 200 x 150 BMPs, a (red), b (green) and c (blue), in $WORK/pictures.
make_three_pictures() {
  /usr/bin/python3 - "$WORK" <<'PY' || fail "cannot make the images"
import sys
from PIL import Image
work = sys.argv[1]
for name, colour in (("a", (200, 30, 30)), ("b", (30, 200, 30)), ("c", (30, 30, 200))):
    Image.new("RGB", (200, 150), colour).save(work + "/pictures/" + name + ".bmp")
PY
}

# Waits for a window whose whole title is $1 (a regular expression).
wait_title() {
  timeout 20 xdotool search --sync --name "^$1\$" | head -n 1
}

# $1 with the characters that mean something in a regular expression escaped.
regex_quote() {
  printf '%s' "$1" | sed 's/[.[\*^$]/\\&/g'
}
