#!/usr/bin/env bash
# The example Web server (examples/web_server.4dm under `vrx run`) against nginx with one
# worker process, both serving the same file on loopback to ab with 20 concurrent clients
# (HTTP/1.0, a new connection per request). Prints both rates and their ratio.
#   bench/web_server.sh [BUILD_DIR [REQUESTS]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
requests=${2:-5000}
concurrency=20
vrx=$build/vrx
for tool in nginx ab; do
  command -v "$tool" > /dev/null || { echo "needs $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$vrx" ] || { echo "no $vrx: build first" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# nginx's worker drops root and must be able to read the site.
chmod 755 "$work"
mkdir -p "$work/site" "$work/nginx"
python3 - "$work/site/index.html" << 'PY'
import sys
rows = "".join(f"<tr><td>{i}</td><td>row {i} of a small table</td></tr>\n" for i in range(40))
open(sys.argv[1], "w").write(f"<html><head><title>bench</title></head><body><table>\n{rows}</table></body></html>\n")
PY
chmod -R a+rX "$work/site"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_for_port() {
  for _ in $(seq 1 100); do
    python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2).close()' "$1" \
      2> /dev/null && return 0
    sleep 0.1
  done
  echo "nothing listens on port $1" >&2
  return 1
}

# One ab run: "RATE FAILED" (failed counts non-2xx answers too).
measure() {
  local out
  out=$(ab -q -n "$2" -c "$concurrency" "http://127.0.0.1:$1/index.html" 2>&1) || { echo "$out" >&2; return 1; }
  local rate failed non2xx
  rate=$(awk '/^Requests per second:/ {print $4}' <<< "$out")
  failed=$(awk '/^Failed requests:/ {print $3}' <<< "$out")
  non2xx=$(awk '/^Non-2xx responses:/ {print $3}' <<< "$out")
  echo "$rate $((failed + ${non2xx:-0}))"
}

nginx_port=$(free_port)
cat > "$work/nginx/nginx.conf" << CONF
worker_processes 1;
daemon off;
error_log $work/nginx/error.log;
pid $work/nginx/nginx.pid;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen 127.0.0.1:$nginx_port;
    root $work/site;
  }
}
CONF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" &
pids+=($!)
wait_for_port "$nginx_port"
read -r nginx_rate nginx_failed < <(measure "$nginx_port" "$requests")

# The example stops after the connections it was told to take. ab opens a few connections
# beyond its requests that never carry one, so the limit leaves room for those and for the
# port probe; the server is stopped when ab is done.
vrx_port=$(free_port)
"$vrx" run examples/web_server.4dm "$work/site" "$vrx_port" "$((requests + 2 * concurrency))" > "$work/vrx.log" 2>&1 &
pids+=($!)
wait_for_port "$vrx_port"
read -r vrx_rate vrx_failed < <(measure "$vrx_port" "$requests")

if [ "$vrx_failed" != 0 ]; then
  echo "what the example logged for the failed requests:"
  grep -v " 200 OK" "$work/vrx.log" | head -20 || true
fi
echo "requests: $requests at $concurrency concurrent clients"
echo "nginx (1 worker): $nginx_rate requests/s, $nginx_failed failed"
echo "vrx web_server:   $vrx_rate requests/s, $vrx_failed failed"
python3 -c 'import sys; print(f"ratio vrx/nginx: {float(sys.argv[1]) / float(sys.argv[2]):.3f}")' "$vrx_rate" "$nginx_rate"
