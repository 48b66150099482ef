#!/usr/bin/env bash
# ./test.sh: installs what is missing, builds, and runs every test headless,
# ending with the test runner's summary.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 --timeout 600
