#!/usr/bin/env bash
# Line and branch coverage of the sources by every CTest entry but the torture run:
# scripts/coverage.sh [BUILD_DIR]   (default build-coverage)
# Builds a Debug tree with gcc's coverage instrumentation, runs the tests, and prints one
# row per source folder. Branches that only exceptions take (allocation failures inside
# the standard library) and those the compiler proves unreachable are left out, as gcovr
# can tell them. What stays uncovered is where the next faults hide.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-coverage}
command -v gcovr > /dev/null || { echo "coverage: gcovr is missing (apt-get install gcovr)" >&2; exit 2; }

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DVRX_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS=--coverage -DCMAKE_CXX_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage > /dev/null
cmake --build "$dir" -j"$(nproc)"
find "$dir" -name '*.gcda' -delete
# A failing test still leaves its counts; the summary says how many failed.
status=0
(cd "$dir" && ctest -E torture -j"$(nproc)" --output-on-failure > ctest.log 2>&1) || status=$?
tail -n 3 "$dir/ctest.log"

folders="abi platform codecs crypto compress dates pictures queues net commands plugin host runner cli"
filters=()
for f in $folders; do filters+=(--filter "$f/"); done
# CMake's compiler probes are instrumented too but are no source of ours.
gcovr -r . --object-directory "$dir" -j"$(nproc)" "${filters[@]}" \
  --exclude-directories "$dir/CMakeFiles/[0-9].*" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --json-summary "$dir/coverage.json" --json "$dir/coverage-lines.json" \
  --txt "$dir/coverage.txt" > /dev/null

python3 - "$dir/coverage.json" $folders << 'PY'
import json, sys
files = json.load(open(sys.argv[1]))["files"]
rows = {f: [0, 0, 0, 0] for f in sys.argv[2:]}
for entry in files:
    top = entry["filename"].split("/")[0]
    if top in rows:
        r = rows[top]
        r[0] += entry["line_covered"]; r[1] += entry["line_total"]
        r[2] += entry["branch_covered"]; r[3] += entry["branch_total"]
pct = lambda a, b: f"{100.0 * a / b:5.1f} %" if b else "    -  "
print(f"{'folder':10} {'lines':>20} {'branches':>20}")
total = [0, 0, 0, 0]
for name, (lc, lt, bc, bt) in rows.items():
    print(f"{name:10} {pct(lc, lt)} {lc:5}/{lt:<5} {pct(bc, bt)} {bc:5}/{bt:<5}")
    total = [t + v for t, v in zip(total, (lc, lt, bc, bt))]
lc, lt, bc, bt = total
print(f"{'all':10} {pct(lc, lt)} {lc:5}/{lt:<5} {pct(bc, bt)} {bc:5}/{bt:<5}")
PY
echo "lines per file: $dir/coverage.txt; every line and branch: $dir/coverage-lines.json"
exit "$status"
