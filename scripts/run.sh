#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DVRX_BENCHMARKS=OFF
# An HTTP/1.0 client in 4D methods fetching a page from a small Web server, also in
# 4D methods, that it starts in another 4D process.
exec build/vrx run examples/http_get.4dm
