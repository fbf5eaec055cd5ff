#!/usr/bin/env bash
# Builds the Debian packages from a clean copy of the tree, fails on any lintian error or
# warning, installs them, checks the installed command, plug-in, library, header,
# completion and examples, and removes them again.
#   scripts/check-package.sh [--keep DIR]   (--keep: leave the packages in DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
keep=
if [ "${1:-}" = "--keep" ]; then keep=$(mkdir -p "$2" && cd "$2" && pwd); fi
fail() { echo "check-package: $*" >&2; exit 1; }
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
packages=(vrx vrx-plugin libvrxplatform1 libvrx-dev)

# One version: CMakeLists.txt's, which NEWS's newest entry and debian/changelog repeat.
version=$(sed -n 's/^project(vrx VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
news=$(sed -n 's/^vrx \([0-9][0-9.]*\)$/\1/p' NEWS | head -1)
changelog=$(dpkg-parsechangelog -S Version)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
[ "$news" = "$version" ] || fail "NEWS's newest entry is '$news', CMakeLists.txt says $version"
[ "$changelog" = "$version" ] || fail "debian/changelog says '$changelog', CMakeLists.txt says $version"

for p in "${packages[@]}"; do
  if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    fail "$p is installed already; remove it first (apt-get purge ${packages[*]})"
  fi
done

work=$(mktemp -d)
installed=false
cleanup() {
  if $installed; then $SUDO dpkg --purge "${packages[@]}" > /dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A clean tree: the files git knows or would add, without any build directory.
mkdir "$work/vrx-$version"
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' f; do
  [ -e "$f" ] && printf '%s\0' "$f"
done | tar -c --null -T - | tar -x -C "$work/vrx-$version"
cd "$work/vrx-$version"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get build-dep -y -qq ./ > /dev/null || fail "apt-get build-dep"
start=$SECONDS
DEB_BUILD_OPTIONS="parallel=$(nproc) nocheck" dpkg-buildpackage -us -uc -b > "$work/build.log" 2>&1 ||
  { tail -50 "$work/build.log"; fail "dpkg-buildpackage failed"; }
echo "packages built in $((SECONDS - start)) s: $(cd "$work" && echo *.deb)"
cd "$work"
changes=$(echo vrx_"$version"_*.changes)

status=0
lintian --fail-on error,warning "$changes" > lintian.txt 2>&1 || status=$?
echo "lintian $(lintian --print-version) on $changes:"
sed 's/^/  /' lintian.txt
[ "$status" -eq 0 ] || fail "lintian found errors or warnings"
echo "  (no errors, no warnings)"

if [ -n "$keep" ]; then cp ./*.deb "$keep"/; echo "packages kept in $keep"; fi

debs=(); for p in "${packages[@]}"; do debs+=("./${p}_${version}_$(dpkg --print-architecture).deb"); done
installed=true  # from here on, whatever got installed is removed on the way out
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${debs[@]}" > "$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "apt-get install failed"; }
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for f in /usr/bin/vrx "/usr/lib/$triplet/vrx/libvrx.so" "/usr/lib/$triplet/libvrxplatform.so.1" \
         /usr/share/man/man1/vrx.1.gz /usr/share/bash-completion/completions/vrx \
         /usr/include/vrx/fourdpack.h "/usr/lib/$triplet/pkgconfig/vrx.pc" \
         /usr/share/doc/vrx/NEWS.gz /usr/share/doc/vrx/examples/http_get.4dm; do
  [ -e "$f" ] || fail "$f is not installed"
done
if readelf -d /usr/bin/vrx /usr/lib/"$triplet"/vrx/libvrx.so /usr/lib/"$triplet"/libvrxplatform.so.1 |
   grep -E "RPATH|RUNPATH"; then fail "an installed binary carries a library search path"; fi

# Everything from here runs from a scratch folder, with no plug-in named by the caller.
mkdir "$work/run" && cd "$work/run"
unset VRX_PLUGIN
vrx() { /usr/bin/vrx "$@"; }
[ "$(vrx --version)" = "vrx $version" ] || fail "vrx --version: $(vrx --version)"
out=$(vrx call VRX_EncodeBase64 text:Man long:1) && grep -q '"hex":"54574675"' <<< "$out" ||
  fail "vrx call: $out"
out=$(VRX_PLUGIN=/nonexistent/libvrx.so vrx call VRX_EncodeBase64 text:Man 2>&1) &&
  fail "VRX_PLUGIN is not used"
grep -q /nonexistent/libvrx.so <<< "$out" || fail "VRX_PLUGIN: $out"
examples=/usr/share/doc/vrx/examples
# (Whole outputs first: grep -q would stop reading and break vrx's pipe.)
out=$(vrx run "$examples/http_get.4dm") && grep -q "^HTTP/1.0 200 OK" <<< "$out" ||
  fail "http_get.4dm: $out"
out=$(vrx run "$examples/echo.4dm") && grep -q "^echo server done" <<< "$out" || fail "echo.4dm: $out"
out=$(vrx run "$examples/codec_roundtrip.4dm") && [ "$(grep -c "round trip exact" <<< "$out")" -eq 4 ] ||
  fail "codec_roundtrip.4dm: $out"
echo "installed vrx: version $version, call, VRX_PLUGIN, http_get, echo and codec_roundtrip"

cc -std=c11 -Wall -Wextra -Werror "$examples/c_host.c" $(pkg-config --cflags --libs vrx) -o c_host
encoded=$(./c_host "$(pkg-config --variable=plugindir vrx)/libvrx.so" "Man")
[ "$encoded" = "TWFu" ] || fail "c_host printed '$encoded'"
echo "c_host built with pkg-config vrx: Man -> $encoded"

grep -q "^\.TH VRX 1 .*\"vrx $version\"" <(zcat /usr/share/man/man1/vrx.1.gz) || fail "the man page's version"
bash "$root/tests/cli/completion_test.sh" /usr/bin/vrx || fail "the installed completion"

echo "check-package: all checks passed"
