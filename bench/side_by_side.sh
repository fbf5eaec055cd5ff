# Sourced by the benchmarks that time vrx beside another program (Lua, Python): a scratch
# folder $dir removed on exit, and processor time (user and system) rather than wall time,
# so other work on a shared machine costs neither side.

# need_vrx BUILD_DIR; need PROGRAM NAME HINT: stop early with what is missing.
need_vrx() { [ -x "$1/vrx" ] || { echo "no $1/vrx: build first" >&2; exit 2; }; }
need() { [ -n "$1" ] || { echo "$2 is not installed ($3)" >&2; exit 2; }; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Processor seconds of one command; its output goes to $dir/out.
cpu() {
  { TIMEFORMAT='%3U %3S'; time "$@" > "$dir/out"; } 2>&1 | awk '{ print $1 + $2 }'
}
median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

# per_run K INPUT COMMAND...: seconds one run of a work takes, from COMMAND... 1 INPUT and
# COMMAND... K INPUT: (K runs - one run) / (K - 1), the median of three such measures.
per_run() {
  local k=$1 input=$2 m=() t1 tk
  shift 2
  for _ in 1 2 3; do
    t1=$(cpu "$@" 1 "$input")
    tk=$(cpu "$@" "$k" "$input")
    m+=("$(awk -v a="$t1" -v b="$tk" -v k="$k" 'BEGIN { print (b - a) / (k - 1) }')")
  done
  median "${m[@]}"
}
