#!/usr/bin/env bash
# Refuses an #include that goes against the direction of dependencies, and any circle
# between folders. The allowed uses are data: one line per folder, the folders it may
# include (besides itself). Tests, benchmarks and fuzz targets may use anything.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed='
abi:
include:
platform: abi include
hostcall: abi
codecs: abi platform hostcall
crypto: abi platform
compress: abi platform
dates: abi platform
pictures: abi platform
queues: abi platform
net: abi platform hostcall
commands: abi platform hostcall codecs crypto compress dates pictures queues net
plugin: abi platform hostcall commands net queues
host: abi platform
runner: abi platform host
cli: abi platform host runner
'

declare -A may
folders=()
while read -r line; do
  [ -z "$line" ] && continue
  f=${line%%:*}
  folders+=("$f")
  may[$f]=" $f ${line#*:} "
done <<< "$allowed"

status=0
declare -A edges
for f in "${folders[@]}"; do
  [ -d "$f" ] || continue
  while IFS=: read -r file _ inc; do
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<< "$inc")
    [[ "$inc" == *'#include "'*/* ]] || continue
    if [[ "${may[$f]}" != *" $target "* ]]; then
      echo "layer violation: $file includes $target/ (${f}/ may use:${may[$f]})"
      status=1
    fi
    [ "$target" != "$f" ] && edges["$f $target"]=1
  done < <(grep -n -H -E '^\s*#\s*include "' "$f"/*.{h,cpp,c,def} 2>/dev/null || true)
done

# Any folder not in the table is a new layer nobody placed.
for d in */; do
  d=${d%/}
  case "$d" in tests|bench|scripts|examples|fuzz|doc|cmake|build*|debian) continue ;; esac
  ls "$d"/*.{h,cpp,c} >/dev/null 2>&1 || continue
  [ -n "${may[$d]:-}" ] || { echo "folder $d/ has no place in the layer table"; status=1; }
done

# Circles: depth-first search over the include edges actually found.
declare -A mark
visit() {
  local n=$1
  mark[$n]=grey
  for e in "${!edges[@]}"; do
    [ "${e%% *}" = "$n" ] || continue
    local m=${e#* }
    if [ "${mark[$m]:-}" = grey ]; then echo "circle between folders through $n -> $m"; status=1
    elif [ -z "${mark[$m]:-}" ]; then visit "$m"; fi
  done
  mark[$n]=black
}
for f in "${folders[@]}"; do [ -z "${mark[$f]:-}" ] && visit "$f"; done

# The parameter accessor belongs to the command layer and the dispatcher.
if git grep -l -E '#include "commands/call.h"' -- ':!commands/' ':!plugin/' ':!tests/' ':!bench/' ':!fuzz/' ':!scripts/' | grep -q .; then
  echo "commands/call.h included outside commands/ and plugin/:"
  git grep -l -E '#include "commands/call.h"' -- ':!commands/' ':!plugin/' ':!tests/' ':!bench/' ':!fuzz/' ':!scripts/'
  status=1
fi

[ $status -eq 0 ] && echo "layers: ${#folders[@]} folders, ${#edges[@]} uses between them, no violation, no circle"
exit $status
