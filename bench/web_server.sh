#!/usr/bin/env bash
# The example Web server (examples/web_server.4dm under `vrx run`) against nginx with one
# worker process, both serving the same 10 KB file on loopback to ab with 20 concurrent
# clients (HTTP/1.0, a new connection per request). Prints both rates and their ratio.
# Then the example alone under 1,000 concurrent clients: no request may fail, and once
# it has served its count it must end (every connection's process gone) by itself.
#   bench/web_server.sh [BUILD_DIR [REQUESTS]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
requests=${2:-5000}
concurrency=20
crowd=1000
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
head, tail = "<html><head><title>bench</title></head><body><table>\n", "</table></body></html>\n"
page, i = head, 0
while len(page) + 60 + len(tail) <= 10240:  # rows of a small table up to 10 KB
  page += f"<tr><td>{i}</td><td>row {i} of a small table</td></tr>\n"
  i += 1
open(sys.argv[1], "w").write((page + tail).ljust(10240))
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

# One ab run on PORT with REQUESTS [CLIENTS]: "RATE FAILED" (failed counts non-2xx
# answers too).
measure() {
  local out
  out=$(ab -q -r -n "$2" -c "${3:-$concurrency}" "http://127.0.0.1:$1/index.html" 2>&1) || { echo "$out" >&2; return 1; }
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

# 1,000 clients at once. The example's count leaves room for the connections ab opens
# beyond its requests; afterwards one client at a time takes what is left of it, and the
# example must then end by itself within 30 seconds.
vrx_port=$(free_port)
"$vrx" run examples/web_server.4dm "$work/site" "$vrx_port" "$((requests + 2 * crowd))" > "$work/crowd.log" 2>&1 &
crowd_pid=$!
pids+=($crowd_pid)
wait_for_port "$vrx_port"
read -r crowd_rate crowd_failed < <(measure "$vrx_port" "$requests" "$crowd")
python3 - "$vrx_port" << 'PY'
import socket, sys
while True:
    try:
        with socket.create_connection(("127.0.0.1", int(sys.argv[1])), 2) as s:
            s.settimeout(2)
            s.sendall(b"GET /index.html HTTP/1.0\r\n\r\n")
            while s.recv(65536):
                pass
    except OSError:
        break  # refused, or queued on a listener that is closing: the count is reached
PY
for _ in $(seq 1 300); do kill -0 "$crowd_pid" 2> /dev/null || break; sleep 0.1; done
if kill -0 "$crowd_pid" 2> /dev/null; then
  crowd_end="still running 30 s after its last request (processes left behind)"
else
  crowd_status=0
  wait "$crowd_pid" || crowd_status=$?
  crowd_end="ended by itself, status $crowd_status: $(grep -a "^Served" "$work/crowd.log" || echo "no count printed")"
fi
echo "vrx web_server, $crowd concurrent clients: $crowd_rate requests/s, $crowd_failed failed; $crowd_end"
