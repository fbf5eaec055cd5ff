#!/usr/bin/env bash
# Installs what is missing, builds what the main job needs (the plug-in and vrx, no tests
# or benchmarks), and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRX_BENCHMARKS=OFF > /dev/null
cmake --build build -j"$(nproc)" --target vrx vrx_plugin
# An HTTP/1.0 client in 4D methods fetching a page from a small Web server, also in
# 4D methods, that it starts in another 4D process.
exec build/vrx run examples/http_get.4dm
