#!/usr/bin/env bash
# Configures and builds into build/ (Release). Extra arguments go to ninja as targets.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build build -- "$@"
