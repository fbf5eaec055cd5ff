#!/usr/bin/env bash
# The method interpreter beside Lua 5.4 on the same small integer loops, a For loop and a
# While loop with an If inside:
#   bench/interp_vs_lua.sh [BUILD_DIR] [ITERATIONS]
# Each side runs the loop twice, with N and with 2N iterations; the difference between
# the two times is N iterations without start-up (loading the plug-in, Lua's own start).
# Prints iterations per second for both and their ratio; the best of five runs counts.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
n=${2:-20000000}
lua=$(command -v lua5.4 || true)
. bench/side_by_side.sh
need_vrx "$build"
need "$lua" lua5.4 "apt-get install lua5.4"
cat > "$dir/loop.4dm" <<'M'
$n:=Num($1)
$s:=0
For ($i;1;$n)
  $s:=$s+($i%7)
End for
ECHO($s)
M
cat > "$dir/loop.lua" <<'L'
local n = tonumber(arg[1])
local s = 0
for i = 1, n do
  s = s + (i % 7)
end
print(s)
L
cat > "$dir/while.4dm" <<'M'
$n:=Num($1)
$s:=0
$i:=0
While ($i<$n)
  $i:=$i+1
  $s:=$s+($i%7)
  If ($s>1000000)
    $s:=$s-1000000
  End if
End while
ECHO($s)
M
cat > "$dir/while.lua" <<'L'
local n = tonumber(arg[1])
local s = 0
local i = 0
while i < n do
  i = i + 1
  s = s + (i % 7)
  if s > 1000000 then
    s = s - 1000000
  end
end
print(s)
L

# Processor seconds (user and system) one command takes, best of five: other work on a
# shared machine then costs neither side.
best() {
  local b="" t
  for _ in 1 2 3 4 5; do
    t=$(cpu "$@")
    if [ -z "$b" ] || awk -v t="$t" -v b="$b" 'BEGIN { exit !(t < b) }'; then b=$t; fi
  done
  echo "$b"
}

# Both must agree on the sums, or the comparison means nothing.
for loop in loop while; do
  a=$("$build/vrx" run "$dir/$loop.4dm" 1000)
  b=$("$lua" "$dir/$loop.lua" 1000)
  [ "$a" = "$b" ] || { echo "$loop: results differ: vrx $a, lua $b" >&2; exit 1; }
done

rate() {  # iterations per second from runs of N and 2N
  local t1 t2
  t1=$(best "$@" "$n")
  t2=$(best "$@" "$((2 * n))")
  awk -v n="$n" -v a="$t1" -v b="$t2" 'BEGIN { printf "%.0f", n / (b - a) }'
}
for loop in loop while; do
  v=$(rate "$build/vrx" run "$dir/$loop.4dm")
  l=$(rate "$lua" "$dir/$loop.lua")
  name=$([ "$loop" = loop ] && echo "For" || echo "While+If")
  awk -v v="$v" -v l="$l" -v name="$name" 'BEGIN {
    printf "%s loop\n", name
    printf "  vrx run   %8.1f M iterations/s\n", v / 1e6
    printf "  lua5.4    %8.1f M iterations/s\n", l / 1e6
    printf "  vrx run / lua5.4: %.2f\n", v / l
  }'
done
