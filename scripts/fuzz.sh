#!/usr/bin/env bash
# Fuzz campaigns: scripts/fuzz.sh [TARGET] [SECONDS]
# Builds the libFuzzer binaries of fuzz/ with clang in build-fuzz (installing clang when
# it is missing), then runs TARGET, or every target in turn, for SECONDS each (60 by
# default) or until FUZZ_RUNS executions (10 million by default), under nice. Each run
# works in a scratch corpus under build-fuzz/campaign/, seeded from fuzz/corpus/TARGET,
# so the committed corpus stays small; what it finds
# stays there for the next run. Crash reproducers land in build-fuzz/crashes/TARGET/: a
# fixed one belongs in fuzz/corpus/TARGET/, where the replay tests keep it.
# Extra libFuzzer options may be given in FUZZ_OPTIONS (for example -max_len=65536).
# Targets that work on files keep them on a memory file system (/dev/shm) when there is
# one: file calls are most of their cost.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-all}
seconds=${2:-60}

if ! command -v clang++ > /dev/null || ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" > /dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq clang
fi
scripts/install-deps.sh

targets=()
for f in fuzz/*.cpp; do
  grep -q LLVMFuzzerTestOneInput "$f" && [ "$(basename "$f")" != replay_main.cpp ] && targets+=("$(basename "$f" .cpp)")
done
if [ "$target" != all ]; then
  [ -f "fuzz/$target.cpp" ] || { echo "fuzz.sh: no target '$target' (have: ${targets[*]})" >&2; exit 2; }
  targets=("$target")
fi

launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRX_FUZZ=ON \
  -DVRX_BENCHMARKS=OFF "${launcher[@]}" > /dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

# Longest input per target where a shorter one reaches every path faster: the oracles of
# html and qp_url check only the first 128/200 bytes, a 256-byte deflate stream already
# expands to over 250 KB, and the file formats need only a header and short forks.
max_len() {
  case $1 in
    html | qp_url | expand_blob) echo 256 ;;
    binhex | macbinary | appledouble | uudecode | draw_gif | method_parser | method_run | class_parser) echo 512 ;;
    base64) echo 1024 ;;
  esac
}

summary=()
for t in "${targets[@]}"; do
  work=build-fuzz/campaign/$t
  crashes=build-fuzz/crashes/$t
  mkdir -p "$work" "$crashes"
  cp -n fuzz/corpus/"$t"/* "$work"/ 2> /dev/null || true
  log=build-fuzz/campaign/$t.log
  echo "== $t: $seconds s"
  status=0
  # libFuzzer runs in the build folder: the targets that read "@NAME" files stay there.
  limit=$(max_len "$t")
  (cd build-fuzz && nice -n 10 ./fuzz_"$t" -max_total_time="$seconds" -runs="${FUZZ_RUNS:-10000000}" -timeout=20 -print_final_stats=1 \
     ${limit:+-max_len=$limit} -artifact_prefix="crashes/$t/" ${FUZZ_OPTIONS:-} "campaign/$t") > "$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  line="$t: ${execs:-?} executions, ${rate:-?} exec/s"
  [ "$status" -ne 0 ] && line="$line, FAILED (see $log and $crashes)"
  echo "$line"
  summary+=("$line")
done
echo "== summary"
printf '%s\n' "${summary[@]}"
