#!/usr/bin/env bash
# Measures how much of the public corpus `vrx run` loads. Each file listed in
# tests/runner/corpus/manifest.tsv is checked on its own with `vrx run --check` (copied alone
# into a scratch project, so one file's fault does not hide another's).
# A file loads when --check reports no syntax error for it: a name vrx run does not have
# (command, constant, method, table) is no load failure, it is reported when its line runs,
# and such names are listed apart. A file the loader did not read at all (--check says
# "0 methods checked") is counted as unread, not as loaded.
# Prints the share that loads per kind, the syntax errors by cause and the unknown names by
# the number of files naming them; the verdict for every file goes to DEST/check.tsv and
# every unknown name with its place to DEST/unknown.tsv. DETOKENIZE=1 removes the language
# tokens (Name:C16, Name:K8:3) first, to see what the loader lacks beyond reading them.
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
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
results=$dest/check.tsv
unknown=$dest/unknown.tsv
printf 'repository\tpath\tkind\tself_contained\tloads\tmessage\n' >"$results"
printf 'repository\tpath\tplace\tmessage\n' >"$unknown"
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
  out=$(timeout 20 "$vrx" run --check "$scratch/p" 2>"$scratch/err" </dev/null)
  status=$?
  out=${out//$scratch\/p\//}
  syntax=$(grep -m1 ': syntax error: ' <<<"$out")
  if [ $status -ge 124 ]; then
    ok=no msg="timeout or crash (status $status)"
  elif [ $status -gt 1 ]; then
    ok=no msg=$(grep -m1 . "$scratch/err")
  elif [ -n "$syntax" ]; then
    ok=no msg=$syntax
  elif grep -q '^0 methods checked' "$scratch/err"; then
    ok=unread msg="not read by the loader"
  else
    ok=yes msg=""
  fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$repo" "$path" "$kind" "$self" "$ok" "${msg//$'\t'/ }" >>"$results"
  grep -v ': syntax error: ' <<<"$out" | grep . | sed -E 's/^[^:]*:([0-9]+:[0-9]+): /\1\t/' |
    while IFS=$'\t' read -r place message; do
      printf '%s\t%s\t%s\t%s\n' "$repo" "$path" "$place" "$message"
    done >>"$unknown"
done <"$manifest"
python3 - "$results" "$unknown" <<'PY'
import collections, csv, re, sys
rows = list(csv.DictReader(open(sys.argv[1]), delimiter="\t", quoting=csv.QUOTE_NONE))
unknown = list(csv.DictReader(open(sys.argv[2]), delimiter="\t", quoting=csv.QUOTE_NONE))
print(f"{'kind':<24}{'files':>6}{'load':>6}{'share':>8}{'unread':>8}{'clean':>7}")
groups = collections.defaultdict(list)
for r in rows:
    groups[r["kind"]].append(r)
    if r["self_contained"] == "yes":
        groups[r["kind"] + " self-contained"].append(r)
    if r["kind"] != "class":
        groups["methods"].append(r)
    groups["all"].append(r)
named = collections.defaultdict(set)
for u in unknown:
    named[(u["repository"], u["path"])].add(u["message"])
for k in sorted(groups):
    g = groups[k]
    n = sum(r["loads"] == "yes" for r in g)
    unread = sum(r["loads"] == "unread" for r in g)
    clean = sum(r["loads"] == "yes" and not named[(r["repository"], r["path"])] for r in g)
    read = len(g) - unread
    share = f"{100.0 * n / read:>7.1f}%" if read else "      -"
    print(f"{k:<24}{len(g):>6}{n:>6}{share:>8}{unread:>8}{clean:>7}")
print("(share: of the files read; clean: loads and names nothing vrx run lacks)")
def norm(m):
    m = re.sub(r"^.*?\.4dm:(\d+:)?(\d+:)?\s*", "", m)
    m = re.sub(r'"[^"]{25,}"', '"…"', m)
    return re.sub(r"\b\d+\b", "N", m)[:110]
c = collections.Counter(norm(r["message"]) for r in rows if r["loads"] == "no")
if c:
    print("\nsyntax errors (first per file), by cause:")
    for m, n in c.most_common():
        print(f"{n:>5}  {m}")
files = collections.Counter()
for key, messages in named.items():
    for m in messages:
        files[m] += 1
def kind(m):
    if m.startswith("tables are not"):
        return "uses of tables"
    if " is not available in vrx run" in m:
        return "4D commands vrx run refuses"
    return {"Unknown command": "commands", "Unknown constant": "constants",
            "Unknown command or method": "commands or methods"}.get(m.split(":")[0], m.split(":")[0])
kinds = collections.Counter(kind(m) for m in files)
print(f"\nnames vrx run does not have: {len(files)} distinct, in {len(named)} files "
      f"({len(unknown)} places): " + ", ".join(f"{n} {k}" for k, n in kinds.most_common()) +
      "\n(each file is checked alone: a method of its own project is unknown to it)"
      "\nby the number of files naming them:")
for m, n in files.most_common(40):
    print(f"{n:>5}  {m}")
if len(files) > 40:
    print(f"  ... {len(files) - 40} more in {sys.argv[2]}")
PY
