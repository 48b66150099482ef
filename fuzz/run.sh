#!/usr/bin/env bash
# fuzz/run.sh NAME [SECONDS]: builds fuzz/NAME_fuzz.cpp with clang (libFuzzer,
# ASan, UBSan) and fuzzes it for SECONDS (default 60) on fuzz/corpus/NAME.
# New interesting inputs are kept in the corpus; crashes land in fuzz/out/.
set -euo pipefail
cd "$(dirname "$0")"
NAME=$1
SECONDS_TO_RUN=${2:-60}
# Several people may fuzz at once: the shared build folder is used under a lock.
mkdir -p build
(
  flock 9
  if [[ ! -f build/build.ninja ]]; then
    CC=clang CXX=clang++ cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build build --target "${NAME}_fuzz" -- -j2 >/dev/null
) 9>build/.lock
mkdir -p "corpus/$NAME" out
exec ./build/"${NAME}_fuzz" "corpus/$NAME" -max_total_time="$SECONDS_TO_RUN" \
  -artifact_prefix="out/${NAME}-" -print_final_stats=1 -max_len=65536
