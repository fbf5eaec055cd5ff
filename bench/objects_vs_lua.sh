#!/usr/bin/env bash
# The method interpreter beside Lua 5.4 tables on a collection of objects:
#   bench/objects_vs_lua.sh [BUILD_DIR] [OBJECTS]
# Work, each on OBJECTS objects (100,000 by default) {id, v, name}:
#   build      a collection filled with push(New object(...))   | table of tables
#   orderBy    orderBy("v") into a new collection                 | copy + table.sort
#   sort       slice() + sort(Formula($1.value.v<$1.value2.v))    | copy + table.sort
#   sum        sum("v")                                           | loop over the table
#   each-sum   For each summing $o.v                              | ipairs summing o.v
#   each-set   For each setting $o.w:=$o.v+1                      | ipairs setting o.w
# Each program runs the work once and K times after the same set-up (K is 3 for the
# slow works, 101 for the quick ones, whose run takes a few milliseconds); the difference
# of the two processor times (user and system) is K-1 runs of the work without start-up
# or set-up. The median of three such measures counts; both sides are measured side by
# side, work by work. Prints milliseconds per run for both and lua / vrx (1.0: as fast
# as Lua; above: faster).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
n=${2:-100000}
lua=$(command -v lua5.4 || true)
. bench/side_by_side.sh
need_vrx "$build"
need "$lua" lua5.4 "apt-get install lua5.4"
cat > "$dir/objects.4dm" <<'M'
$work:=$1
$reps:=Num($2)
$n:=Num($3)
$c:=New collection
If ($work#"build")
  For ($i;1;$n)
    $c.push(New object("id";$i;"v";($i*7919)%100003;"name";"n"+String($i)))
  End for
End if
$check:=0.0
For ($r;1;$reps)
  Case of
    : ($work="build")
      $c:=New collection
      For ($i;1;$n)
        $c.push(New object("id";$i;"v";($i*7919)%100003;"name";"n"+String($i)))
      End for
      $check:=$c.length
    : ($work="orderBy")
      $d:=$c.orderBy("v")
      $check:=$d[0].v+($d[$n-1].v*2)
    : ($work="sort")
      $d:=$c.slice()
      $d.sort(Formula($1.value.v<$1.value2.v))
      $check:=$d[0].v+($d[$n-1].v*2)
    : ($work="sum")
      $check:=$c.sum("v")
    : ($work="each-sum")
      $check:=0.0
      For each ($o;$c)
        $check:=$check+$o.v
      End for each
    : ($work="each-set")
      For each ($o;$c)
        $o.w:=$o.v+1
      End for each
      $check:=$c[$n-1].w
  End case
End for
ECHO(String($check))
M
cat > "$dir/objects.lua" <<'L'
local work, reps, n = arg[1], tonumber(arg[2]), tonumber(arg[3])
local function fill()
  local c = {}
  for i = 1, n do
    c[#c + 1] = {id = i, v = (i * 7919) % 100003, name = "n" .. i}
  end
  return c
end
local c = {}
if work ~= "build" then c = fill() end
local byv = function(a, b) return a.v < b.v end
local check = 0
for _ = 1, reps do
  if work == "build" then
    c = fill()
    check = #c
  elseif work == "orderBy" or work == "sort" then
    local d = table.move(c, 1, #c, 1, {})
    table.sort(d, byv)
    check = d[1].v + d[n].v * 2
  elseif work == "sum" then
    local s = 0
    for i = 1, #c do s = s + c[i].v end
    check = s
  elseif work == "each-sum" then
    check = 0
    for _, o in ipairs(c) do check = check + o.v end
  elseif work == "each-set" then
    for _, o in ipairs(c) do o.w = o.v + 1 end
    check = c[n].w
  end
end
print(string.format("%d", check))
L

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); $n objects"
printf '%-9s %10s %10s %9s\n' work "vrx ms" "lua ms" "lua/vrx"
for work in build orderBy sort sum each-sum each-set; do
  # Both must agree on the result, or the comparison means nothing.
  if ! a=$("$build/vrx" run "$dir/objects.4dm" "$work" 1 1000 2> "$dir/err"); then
    printf '%-9s %s\n' "$work" "vrx cannot run it: $(head -c 120 "$dir/err")"
    continue
  fi
  b=$("$lua" "$dir/objects.lua" "$work" 1 1000)
  [ "$a" = "$b" ] || { echo "$work: results differ: vrx $a, lua $b" >&2; exit 1; }
  case $work in build|orderBy|sort) k=3 ;; *) k=101 ;; esac
  v=$(per_run "$k" "$n" "$build/vrx" run "$dir/objects.4dm" "$work")
  l=$(per_run "$k" "$n" "$lua" "$dir/objects.lua" "$work")
  awk -v w="$work" -v v="$v" -v l="$l" 'BEGIN {
    printf "%-9s %10.1f %10.1f %9.2f\n", w, v * 1000, l * 1000, (v > 0 ? l / v : 0)
  }'
done
