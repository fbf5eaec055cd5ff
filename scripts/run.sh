#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DVRX_BENCHMARKS=OFF
exec build/vrx call VRX_GetLocalAddress long:0 long:0 long:0 long:0
