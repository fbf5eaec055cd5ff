#!/usr/bin/env bash
# Mutation testing: plants each plausible fault listed in scripts/mutations.txt in a
# scratch copy of the sources, rebuilds it incrementally, runs the tests that entry names
# and says whether they caught the fault (killed) or not (survived). An entry that does
# not apply or does not build is reported as invalid and counts as neither.
#
#   scripts/mutate.sh [ID...]        every entry, or only those named
#
# Environment: VRX_MUTATE_DIR (scratch folder, default /tmp/vrx-mutate-$USER, kept between
# runs so builds stay incremental), VRX_MUTATE_LIST (default scripts/mutations.txt).
# VRX_MUTATE_BASELINE='-Suite.*:Other.*' (a GoogleTest filter) also scores each mutation
# against the tests without those suites, first: two columns, without and with them.
# Runs under nice -n 10; one mutation at a time, two build jobs.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=${VRX_MUTATE_LIST:-$root/scripts/mutations.txt}
scratch=${VRX_MUTATE_DIR:-/tmp/vrx-mutate-${USER:-root}}
src=$scratch/src
build=$src/build
results=$scratch/results.txt

# With the build folder at the same place relative to the sources as in a worktree,
# ccache finds the objects of earlier builds.
export CCACHE_BASEDIR=/ CCACHE_NOHASHDIR=1
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

# The worktree's files (committed or not, but not ignored) that differ from the copy's;
# unchanged files keep their times, so the copy's build stays incremental.
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard | python3 -c '
import filecmp, os, shutil, sys
src = sys.argv[1]
for f in sys.stdin.read().split("\0"):
    if not f or not os.path.isfile(f): continue
    to = os.path.join(src, f)
    if not os.path.exists(to) or not filecmp.cmp(f, to, shallow=False):
        os.makedirs(os.path.dirname(to) or ".", exist_ok=True)
        shutil.copy(f, to)  # a new time, so the build sees the change
' "$src"
nice -n 10 cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRX_BENCHMARKS=OFF \
  "${launcher[@]}" > "$scratch/configure.log" || { echo "configure failed: $scratch/configure.log"; exit 1; }
# The rest is built as the entries need it.
nice -n 10 cmake --build "$build" -j2 --target vrx_plugin vrx > "$scratch/build.log" 2>&1 ||
  { echo "the unmutated copy does not build: $scratch/build.log"; exit 1; }

# Applies one exact replacement; fails unless the original occurs exactly once.
apply() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].encode().decode('unicode_escape'), sys.argv[3].encode().decode('unicode_escape')
text = open(path, encoding='utf-8').read()
if text.count(old) != 1:
    sys.exit(f"{text.count(old)} occurrences")
open(path, 'w', encoding='utf-8').write(text.replace(old, new))
PY
}

: > "$results"
killed=0 survived=0 invalid=0 bkilled=0 bsurvived=0
printf '%-6s %-9s %-9s %-20s %-30s %s\n' id baseline outcome category file note | tee -a "$results"
while IFS=$'\t' read -r id file tests category old new; do
  [[ -z "$id" || "$id" == \#* ]] && continue
  if (($# > 0)); then
    wanted=0
    for w in "$@"; do [[ "$w" == "$id" ]] && wanted=1; done
    ((wanted)) || continue
  fi
  targets=(vrx_plugin vrx)
  for t in ${tests//,/ }; do targets+=("test_$t"); done
  regex="^(${tests//,/|})\$"
  outcome=invalid why="" baseline=-
  if ! why=$(apply "$src/$file" "$old" "$new" 2>&1); then
    why="does not apply: $why"
  elif ! nice -n 10 cmake --build "$build" -j2 --target "${targets[@]}" > "$scratch/$id.build.log" 2>&1; then
    why="does not build: $scratch/$id.build.log"
  else
    for pass in baseline full; do
      filter=
      if [[ $pass == baseline ]]; then
        [[ -n "${VRX_MUTATE_BASELINE:-}" ]] || continue
        filter=$VRX_MUTATE_BASELINE
      elif [[ $baseline == killed ]]; then
        outcome=killed  # more tests cannot let it live
        break
      fi
      if (cd "$build" && GTEST_FILTER=${filter:-*} nice -n 10 ctest -R "$regex" --stop-on-failure --timeout 300 \
            > "$scratch/$id.$pass.log" 2>&1); then
        outcome=survived why=""
      else
        outcome=killed why=$(grep -m1 -E '^\s*[0-9]+/[0-9]+ Test.*Failed|\*\*\*' "$scratch/$id.$pass.log" | sed 's/^ *//')
      fi
      [[ $pass == baseline ]] && baseline=$outcome
    done
  fi
  cp "$root/$file" "$src/$file"
  case $outcome in killed) ((killed++)) ;; survived) ((survived++)) ;; *) ((invalid++)) ;; esac
  case $baseline in killed) ((bkilled++)) ;; survived) ((bsurvived++)) ;; esac
  printf '%-6s %-9s %-9s %-20s %-30s %s\n' "$id" "$baseline" "$outcome" "$category" "$file" "$why" | tee -a "$results"
done < "$list"
# The scratch copy's objects are back to the unmutated sources for the next run.
nice -n 10 cmake --build "$build" -j2 > /dev/null 2>&1 || true

total=$((killed + survived))
score=0
((total > 0)) && score=$((100 * killed / total))
echo "killed $killed, survived $survived, invalid $invalid: score ${score}%" | tee -a "$results"
if ((bkilled + bsurvived > 0)); then
  echo "baseline ($VRX_MUTATE_BASELINE): killed $bkilled, survived $bsurvived: score $((100 * bkilled / (bkilled + bsurvived)))%" | tee -a "$results"
fi
