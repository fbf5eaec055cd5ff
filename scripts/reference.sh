#!/usr/bin/env bash
# Writes doc/reference.md and doc/reference.html from the command reference
# (abi/reference.def): scripts/reference.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" -j2 --target vrx > /dev/null
mkdir -p doc
"$dir/vrx" help --markdown > doc/reference.md
"$dir/vrx" help --html > doc/reference.html
