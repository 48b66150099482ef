#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the viewer need.
# Idempotent: quiet and quick when everything is already there.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools
  libjpeg62-turbo-dev libgif-dev libicu-dev libxcb1-dev
  libgtest-dev googletest libbenchmark-dev
  # fuzz targets (clang with libFuzzer, ASan and UBSan)
  clang libclang-rt-14-dev
  # viewer and whole-program tests on an X server
  xvfb xauth xdotool x11-utils imagemagick fonts-ipafont-gothic
  # independent tools that make and check test fixtures
  libjpeg-turbo-progs python3-pil
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
echo "deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
