#!/usr/bin/env bash
# JSON Parse and JSON Stringify beside Python's json module on a 1 MB document:
#   bench/json_vs_python.sh [BUILD_DIR] [RECORDS]
# The document (RECORDS records, 2,600 by default: about 1 MB) is an array of records with
# texts (some with escapes and non-Latin characters), integers, reals, booleans, nulls, a
# nested object and an array each. Parse: the text to values (json.loads); Stringify:
# those values to compact text (json.dumps with separators (",", ":") and
# ensure_ascii=False, as 4D writes them). Each program reads the document, then does the
# work once and K times; the difference of the two processor times is K-1 runs without
# start-up or reading. Median of three, both sides side by side. Prints milliseconds per
# run and python / vrx (1.0: as fast as Python; above: faster).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
records=${2:-2600}
python=$( [ -x /usr/bin/python3 ] && echo /usr/bin/python3 || command -v python3 || true)
. bench/side_by_side.sh
need_vrx "$build"
need "$python" python3 "apt-get install python3"
"$python" - "$records" > "$dir/doc.json" <<'P'
import json, random, sys
rnd = random.Random(7)
words = ["alpha", "beta", "gamma", "delta", "Zürich", "naïve", "日本語", "emoji 🙂",
         "tab\there", "quote \"q\"", "back\\slash", "line\nbreak", "plain", "text"]
def text(k):
    return " ".join(rnd.choice(words) for _ in range(k))
doc = []
for i in range(int(sys.argv[1])):
    doc.append({
        "id": i,
        "name": text(3),
        "email": "user%d@example.com" % i,
        "score": round(rnd.uniform(-1000, 1000), 4),
        "ratio": rnd.random(),
        "count": rnd.randrange(0, 1000000),
        "active": rnd.random() < 0.5,
        "parent": None if i % 3 else i // 3,
        "tags": [text(1) for _ in range(rnd.randrange(0, 6))],
        "address": {"street": text(2), "city": rnd.choice(words), "zip": "%05d" % rnd.randrange(100000),
                    "geo": {"lat": rnd.uniform(-90, 90), "lng": rnd.uniform(-180, 180)}},
        "history": [{"at": 1600000000 + rnd.randrange(10**8), "what": text(2)} for _ in range(rnd.randrange(0, 3))],
        "note": text(8),
    })
json.dump(doc, sys.stdout, ensure_ascii=False, separators=(",", ":"))
P
cat > "$dir/json.4dm" <<'M'
$work:=$1
$reps:=Num($2)
DOCUMENT TO BLOB($3;$b)
$t:=BLOB to text($b;UTF8 text without length)
$o:=JSON Parse($t)
$check:=0
For ($r;1;$reps)
  Case of
    : ($work="parse")
      $o:=JSON Parse($t)
      $check:=$o.length
    : ($work="stringify")
      $s:=JSON Stringify($o)
  End case
End for
If ($work="stringify")
  $check:=JSON Parse($s).length
End if
ECHO(String($check))
M
cat > "$dir/work.py" <<'P'
import json, sys
work, reps = sys.argv[1], int(sys.argv[2])
with open(sys.argv[3], encoding="utf-8") as f:
    t = f.read()
o = json.loads(t)
check = 0
for _ in range(reps):
    if work == "parse":
        o = json.loads(t)
        check = len(o)
    else:
        s = json.dumps(o, ensure_ascii=False, separators=(",", ":"))
if work == "stringify":
    check = len(json.loads(s))
print(check)
P

k=11

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); document $(wc -c < "$dir/doc.json") bytes"
printf '%-10s %10s %10s %10s\n' work "vrx ms" "python ms" "python/vrx"
for work in parse stringify; do
  a=$("$build/vrx" run "$dir/json.4dm" "$work" 1 "$dir/doc.json")
  b=$("$python" "$dir/work.py" "$work" 1 "$dir/doc.json")
  [ "$a" = "$b" ] || { echo "$work: results differ: vrx $a, python $b" >&2; exit 1; }
  v=$(per_run "$k" "$dir/doc.json" "$build/vrx" run "$dir/json.4dm" "$work")
  p=$(per_run "$k" "$dir/doc.json" "$python" "$dir/work.py" "$work")
  awk -v w="$work" -v v="$v" -v p="$p" 'BEGIN {
    printf "%-10s %10.1f %10.1f %10.2f\n", w, v * 1000, p * 1000, (v > 0 ? p / v : 0)
  }'
done
