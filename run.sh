#!/usr/bin/env bash
# ./run.sh [PATH]: installs what is missing, builds, and starts the viewer on PATH
# (the bundled samples/ when no path is given). With no DISPLAY it runs on Xvfb,
# writes screenshot.png once the window is painted, and exits.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
TARGET=${1:-$ROOT/samples}
[[ "$TARGET" = /* ]] || TARGET=$PWD/$TARGET

./scripts/deps.sh
./scripts/build.sh zorvin >/dev/null

if [[ -n "${DISPLAY:-}" ]]; then
  exec ./build/zorvin "$TARGET"
fi

# Headless: our own X server, the viewer on it, a screenshot of the screen.
for n in $(seq 90 120); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
done
export DISPLAY=:$n
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
VIEWER=""
cleanup() {
  [[ -n "$VIEWER" ]] && kill "$VIEWER" 2>/dev/null || true
  kill "$XVFB" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

./build/zorvin "$TARGET" &
VIEWER=$!
if ! WID=$(timeout 30 xdotool search --sync --onlyvisible --name "Zorvin Lite" | head -n 1); then
  echo "run.sh: the viewer window did not appear" >&2
  exit 1
fi
# The title names the image once it is painted; a folder without images
# keeps the bare title, so the wait is bounded.
for _ in $(seq 100); do
  title=$(xdotool getwindowname "$WID" 2>/dev/null || true)
  [[ "$title" == *%* ]] && break
  sleep 0.1
done
sleep 0.3
import -window "$WID" "$ROOT/screenshot.png"
echo "run.sh: wrote $ROOT/screenshot.png"
