#!/usr/bin/env bash
# Requests per second and p99 latency of the status page under wrk (16
# connections, kept alive), beside nginx serving the same bytes from a file
# on loopback, in the same run.
#
# Usage: bench/page_wrk.sh [--duration SECONDS] [URL]
#   Without URL: builds and starts the native fixture (build/native).
#   With URL: measures a server already running there (veltrano.exe under
#   Wine, say); nginx serves the bytes that URL returned.
# Goal: the page's requests per second at least 0.8 x nginx's, its p99 below 5 ms.
set -euo pipefail
cd "$(dirname "$0")/.."

duration=10
url=
while [ $# -gt 0 ]; do
  case $1 in
    --duration) duration=$2; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) url=$1; shift ;;
  esac
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits up to 10 s for the URL to answer.
wait_for() {
  for _ in $(seq 100); do
    curl -s -o /dev/null --max-time 1 "$1" && return 0
    sleep 0.1
  done
  echo "no answer from $1" >&2
  return 1
}

if [ -z "$url" ]; then
  cmake -S . -B build/native >/dev/null
  cmake --build build/native -j2 --target page_server_fixture >/dev/null
  build/native/page_server_fixture --port 0 >"$tmp/fixture.out" &
  pids+=($!)
  for _ in $(seq 100); do grep -q '^ready ' "$tmp/fixture.out" && break; sleep 0.1; done
  port=$(sed -n 's/^ready port=\([0-9]*\).*/\1/p' "$tmp/fixture.out")
  [ -n "$port" ] || { echo "the fixture did not start" >&2; exit 1; }
  url=http://127.0.0.1:$port/
fi
wait_for "$url"

# nginx: one worker (the page server has one thread), its own folders, the
# page's bytes and cache headers.
mkdir -p "$tmp/www" "$tmp/nginx"
curl -s --max-time 5 "$url" >"$tmp/www/index.html"
chmod 755 "$tmp" "$tmp/www"
chmod 644 "$tmp/www/index.html"
nginx_port=$(free_port)
cat >"$tmp/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $tmp/nginx/nginx.pid;
error_log $tmp/nginx/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $tmp/nginx/body;
  proxy_temp_path $tmp/nginx/proxy;
  fastcgi_temp_path $tmp/nginx/fastcgi;
  uwsgi_temp_path $tmp/nginx/uwsgi;
  scgi_temp_path $tmp/nginx/scgi;
  keepalive_requests 1000000;
  server {
    listen 127.0.0.1:$nginx_port;
    location = / {
      root $tmp/www;
      default_type text/html;
      try_files /index.html =404;
      add_header Cache-Control "no-store, no-cache, must-revalidate";
      add_header Cache-Control "post-check=0, pre-check=0";
      add_header Pragma no-cache;
    }
  }
}
CONF
nginx -p "$tmp/nginx" -e "$tmp/nginx/error.log" -c "$tmp/nginx/nginx.conf" &
pids+=($!)
wait_for "http://127.0.0.1:$nginx_port/"

# Prints "requests-per-second p99-in-ms" for one wrk run.
measure() {
  wrk -t2 -c16 -d"${duration}s" --latency "$1" >"$tmp/wrk.out"
  awk '
    function ms(v) {
      if (v ~ /us$/) return substr(v, 1, length(v) - 2) / 1000
      if (v ~ /ms$/) return substr(v, 1, length(v) - 2) + 0
      if (v ~ /s$/)  return substr(v, 1, length(v) - 1) * 1000
      return v
    }
    /^Requests\/sec:/ { rps = $2 }
    $1 == "99%" { p99 = ms($2) }
    /Non-2xx/ { bad = $NF }
    END { printf "%.0f %.3f %s\n", rps, p99, bad + 0 }' "$tmp/wrk.out"
}

read -r page_rps page_p99 page_bad < <(measure "$url")
read -r nginx_rps nginx_p99 nginx_bad < <(measure "http://127.0.0.1:$nginx_port/")

printf '%-8s %12s %10s %10s\n' server requests/s "p99 ms" non-2xx
printf '%-8s %12s %10s %10s\n' page "$page_rps" "$page_p99" "$page_bad" nginx "$nginx_rps" "$nginx_p99" "$nginx_bad"
awk -v p="$page_rps" -v n="$nginx_rps" -v l="$page_p99" 'BEGIN {
  ratio = p / n
  printf "page/nginx = %.2f (goal >= 0.80), page p99 = %.3f ms (goal < 5): %s\n",
         ratio, l, (ratio >= 0.8 && l < 5) ? "met" : "NOT met"
}'
