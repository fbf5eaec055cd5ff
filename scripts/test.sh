#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build, and a
# build with AddressSanitizer + UndefinedBehaviorSanitizer whose heap moves every
# unlocked block whenever it may. Then the normal build, a Release build, is installed and
# run from its install prefix, and the Debian packages are built, checked by lintian,
# installed, tried and removed. Warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-layers.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DVRX_WERROR=ON
(cd build && ctest --output-on-failure -j2)
# -O1 and line tables, as the sanitizers' authors advise: reports keep their lines, and
# the build takes half the time of -O2 -g.
scripts/build.sh build-asan -DVRX_SANITIZE=ON -DVRX_BENCHMARKS=OFF -DVRX_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
(cd build-asan && VRX_HEAP_SCRAMBLE=1 ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2)
scripts/check-install.sh --built build
scripts/check-package.sh
