#!/usr/bin/env bash
# Measures how much of the public corpus `vrx run` loads. Each file listed in
# tests/runner/corpus/manifest.tsv is checked on its own (copied alone into a scratch project, so one
# file's fault does not hide another's). With `vrx run --check` the check is that command's
# verdict; without it the file is loaded under a method name that does not exist, so nothing
# runs: a load that succeeds ends with "no method named".
# Prints the share that loads per kind and the most common first failure messages; the
# verdict for every file goes to DEST/check.tsv. DETOKENIZE=1 removes the language tokens
# (Name:C16, Name:K8:3) first, to see what the loader lacks beyond reading them.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
manifest=${MANIFEST:-$here/tests/runner/corpus/manifest.tsv}
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: scripts/corpus-check.sh DEST [VRX]   (DEST as written by scripts/corpus.sh)" >&2
  exit 2
fi
dest=$1
vrx=${2:-$here/build/vrx}
[ -x "$vrx" ] || { echo "corpus-check: no vrx at $vrx" >&2; exit 2; }
has_check=0
"$vrx" run --help 2>&1 | grep -q -- '--check' && has_check=1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
results=$dest/check.tsv
printf 'repository\tpath\tkind\tself_contained\tloads\tmessage\n' >"$results"
while IFS=$'\t' read -r repo path commit kind self; do
  [ "$repo" = repository ] && continue
  src=$dest/${repo/\//+}/$path
  [ -f "$src" ] || continue
  rm -rf "$scratch/p"
  sub=Methods
  [ "$kind" = class ] && sub=Classes
  mkdir -p "$scratch/p/Project/Sources/$sub"
  file=$scratch/p/Project/Sources/$sub/$(basename "$path")
  if [ "${DETOKENIZE:-0}" = 1 ]; then
    sed -E 's/:C[0-9]+//g; s/:K[0-9]+:[0-9]+//g' "$src" >"$file"
  else
    cp "$src" "$file"
  fi
  if [ $has_check = 1 ]; then
    msg=$(timeout 20 "$vrx" run --check "$scratch/p" 2>&1 </dev/null)
    status=$?
    ok=$([ $status = 0 ] && echo yes || echo no)
  else
    msg=$(timeout 20 "$vrx" run "$file" --method ' no such method ' 2>&1 </dev/null)
    status=$?
    ok=no
    [ $status = 2 ] && grep -q 'no method named' <<<"$msg" && ok=yes
  fi
  [ $status -ge 124 ] && msg="timeout or crash (status $status)"
  first=""
  [ $ok = no ] && first=$(grep -m1 . <<<"$msg" | sed -e "s|$scratch/p/||g" | tr '\t' ' ')
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$repo" "$path" "$kind" "$self" "$ok" "$first" >>"$results"
done <"$manifest"
python3 - "$results" <<'PY'
import collections, csv, re, sys
rows = list(csv.DictReader(open(sys.argv[1]), delimiter="\t", quoting=csv.QUOTE_NONE))
print(f"{'kind':<22}{'files':>7}{'load':>7}{'share':>8}")
groups = collections.defaultdict(list)
for r in rows:
    groups[r["kind"]].append(r)
    groups[r["kind"] + " self-contained"].append(r) if r["self_contained"] == "yes" else None
    groups["all"].append(r)
for k in sorted(groups):
    g = groups[k]
    n = sum(r["loads"] == "yes" for r in g)
    print(f"{k:<22}{len(g):>7}{n:>7}{100.0 * n / len(g):>7.1f}%")
def norm(m):
    m = re.sub(r"^.*?\.4dm:(\d+:)?(\d+:)?\s*", "", m)
    m = re.sub(r'"[^"]{25,}"', '"…"', m)
    return re.sub(r"\b\d+\b", "N", m)[:110]
c = collections.Counter(norm(r["message"]) for r in rows if r["loads"] == "no")
print("\nmost common first failures:")
for m, n in c.most_common(25):
    print(f"{n:>5}  {m}")
PY
