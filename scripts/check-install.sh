#!/usr/bin/env bash
# Builds a Release tree, installs it into a temporary prefix and moves the build tree out
# of the way; then runs the installed vrx on an example and builds and runs the C host
# example against the installed header with pkg-config. Extra arguments go to cmake.
#   scripts/check-install.sh [--built DIR | CMAKE_ARGS...]
# --built DIR installs a Release tree already built there (CI's own) instead of building.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-release
built=false
if [ "${1:-}" = "--built" ]; then
  build=$(cd "$2" && pwd)
  built=true
  shift 2
  grep -q "^CMAKE_BUILD_TYPE:STRING=Release$" "$build/CMakeCache.txt" || { echo "check-install: $build is not a Release build" >&2; exit 1; }
fi
work=$(mktemp -d)
prefix=$work/prefix
restore() {
  if [ -d "$build.away" ]; then mv "$build.away" "$build"; fi
  rm -rf "$work"
}
trap restore EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

if ! $built; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVRX_BENCHMARKS=OFF \
    "$@" > /dev/null
  cmake --build "$build" -j"$(nproc)"
fi
cmake --install "$build" --prefix "$prefix" > /dev/null
# Nothing installed may lead back into the build tree, and it is gone from here on.
if grep -rlF "$build" "$prefix"; then fail "installed files name the build tree"; fi
mv "$build" "$build.away"  # beside it: a rename, however large the tree

plugin=$prefix/lib/vrx/libvrx.so
examples=$prefix/share/doc/vrx/examples
[ -f "$plugin" ] || fail "no plug-in at $plugin"
[ -f "$prefix/share/man/man1/vrx.1" ] || fail "no man page"
[ -f "$prefix/share/bash-completion/completions/vrx" ] || fail "no bash completion"
if ldd "$plugin" | grep -E "not found|mcrypt|stb"; then fail "the plug-in's libraries"; fi
"$prefix/bin/vrx" --version | grep -qx "vrx [0-9.]*" || fail "vrx --version"
out=$(cd "$work" && "$prefix/bin/vrx" run "$examples/http_get.4dm") || fail "http_get: $out"
grep -q "^HTTP/1.0 200 OK" <<< "$out" || fail "http_get: $out"
echo "installed vrx ran http_get.4dm: $(grep -c . <<< "$out") lines, 200 OK"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
cc -std=c11 -Wall -Wextra -Werror "$examples/c_host.c" $(pkg-config --cflags --libs vrx) \
  -Wl,-rpath,"$(pkg-config --variable=libdir vrx)" -o "$work/c_host"
encoded=$("$work/c_host" "$(pkg-config --variable=plugindir vrx)/libvrx.so" "Man")
[ "$encoded" = "TWFu" ] || fail "c_host printed '$encoded'"
echo "c_host built against the installed header: Man -> $encoded"
