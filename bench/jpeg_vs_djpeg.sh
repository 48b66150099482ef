#!/usr/bin/env bash
# bench/jpeg_vs_djpeg.sh [REPETITIONS]: builds the benchmarks and compares our
# JPEG reader with djpeg on a 6000 x 4000 photo decoded at one half (the scale
# for a 1920 x 1080 screen). Both run in the same process run, alternately
# repeated; the medians and their ratio are printed. Target: ratio <= 1.10.
set -euo pipefail
cd "$(dirname "$0")/.."
REPS=${1:-15}
BUILD=build-jpeggif-bench
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVIN_BENCH=ON -DZORVIN_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target jpeg_bench -- -j2 >/dev/null
"$BUILD/bench/jpeg_bench" --benchmark_repetitions="$REPS" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$BUILD/jpeg_bench.json"
/usr/bin/python3 - "$BUILD/jpeg_bench.json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
median = {r["run_name"].split("/")[0]: r for r in runs if r.get("aggregate_name") == "median"}
ours, djpeg = median["TZVJpegHalfScale"], median["DjpegHalfScale"]
print(f"TZVJpeg 6000x4000 -> 3000x2000: median wall {ours['real_time']:.1f} ms, cpu {ours['cpu_time']:.1f} ms")
print(f"djpeg -scale 1/2 -outfile /dev/null: median wall {djpeg['real_time']:.1f} ms, "
      f"cpu {djpeg['child_cpu_ms']:.1f} ms")
print(f"ratio ours / djpeg: wall {ours['real_time'] / djpeg['real_time']:.3f}, "
      f"cpu {ours['cpu_time'] / djpeg['child_cpu_ms']:.3f} (target <= 1.10)")
PY
