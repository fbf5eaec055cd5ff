#!/usr/bin/env bash
# A long run of the stream torture test: scripts/torture.sh [SECONDS] [BUILD_DIR]
# (default 600 s in build/). VRX_TORTURE_SEED repeats a run's choices; without it the
# seed is taken from the clock and printed. Use an ASAN build folder
# (-DVRX_SANITIZE=ON) to run it under the sanitizers with a scrambling heap.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
dir=${2:-build}
[[ -d "$dir" ]] || scripts/build.sh "$dir"
cmake --build "$dir" -j2 --target test_torture vrx_plugin
VRX_TORTURE_SECONDS=$seconds VRX_HEAP_SCRAMBLE=${VRX_HEAP_SCRAMBLE:-1} ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
  nice -n 10 "$dir/test_torture"
