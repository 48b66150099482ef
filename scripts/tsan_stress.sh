#!/usr/bin/env bash
# scripts/tsan_stress.sh [SECONDS]: builds the loader stress run with
# ThreadSanitizer into build-tsan/ and runs it (30 s by default).
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-30}
if [[ ! -f build-tsan/build.ninja ]]; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIN_STRESS=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_C_FLAGS="-fsanitize=thread" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
fi
cmake --build build-tsan --target loader_stress -- -j2 >/dev/null
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ./build-tsan/tests/loader_stress "$SECONDS_TO_RUN"
