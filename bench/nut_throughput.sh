#!/usr/bin/env bash
# Requests per second and p99 latency of the NUT server (the native fixture,
# Release build) beside Debian's upsd with dummy-ups serving the same
# variables, in the same run, on loopback: GET VAR at 1, 4, 16 and 60
# connections and LIST VAR at 1 and 16, each connection waiting for its
# reply before its next request (bench/nut_load.cpp).
#
# Usage: bench/nut_throughput.sh [--duration SECONDS] [--rounds N]
#   Each case runs N rounds (3), the servers taking turns; the table gives
#   the best rate and the best p99 of the rounds. Both servers run on core 0,
#   the client on core 1.
# Goal: the server's rate at least upsd's in every case, its p99 no worse.
set -euo pipefail
cd "$(dirname "$0")/.."

duration=3
rounds=3
while [ $# -gt 0 ]; do
  case $1 in
    --duration) duration=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) echo "unknown option $1" >&2; exit 1 ;;
  esac
done

if [ ! -x /lib/nut/upsd ] || [ ! -x /lib/nut/dummy-ups ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends nut-server >/dev/null
fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j2 --target nut_server_fixture nut_load >/dev/null

tmp=$(mktemp -d)
pids=()
cleanup() {
  exec 3>&- 2>/dev/null || true  # the fixture ends when its stdin closes
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Prints the reply to one request line: one line, or a whole list up to its
# END LIST (or ERR) line. Each line is waited for at most 2 s.
ask() {
  local port=$1 request=$2 line
  exec 4<>"/dev/tcp/127.0.0.1/$port" || return 1
  printf '%s\n' "$request" >&4
  while IFS= read -r -t 2 line <&4; do
    printf '%s\n' "$line"
    case $request:$line in
      LIST*:"END LIST"* | *:ERR*) break ;;
      LIST*) ;;
      *) break ;;
    esac
  done
  exec 4<&-
}

# Waits up to 10 s for GET VAR to give a value (upsd answers DATA-STALE
# until its driver is through).
wait_for() {
  for _ in $(seq 100); do
    ask "$1" "GET VAR ups input.voltage" 2>/dev/null | grep -q '^VAR ' && return 0
    sleep 0.1
  done
  echo "no value from port $1" >&2
  return 1
}

# The fixture, its stdin held open on fd 3.
mkfifo "$tmp/fixture.in"
taskset -c 0 build/bench/nut_server_fixture --port 0 --max-connections 128 <"$tmp/fixture.in" >"$tmp/fixture.out" &
pids+=($!)
exec 3>"$tmp/fixture.in"
for _ in $(seq 100); do grep -q '^ready ' "$tmp/fixture.out" && break; sleep 0.1; done
velt_port=$(sed -n 's/^ready port=\([0-9]*\).*/\1/p' "$tmp/fixture.out")
[ -n "$velt_port" ] || { echo "the fixture did not start" >&2; exit 1; }
wait_for "$velt_port"

# upsd and dummy-ups in their own folders, serving the fixture's variables
# (dummy-ups takes the protocol's quoted values; the driver.* ones are its own).
upsd_port=$(free_port)
mkdir -p "$tmp/conf" "$tmp/state"
chmod 700 "$tmp/state"
ask "$velt_port" "LIST VAR ups" | sed -n '/ driver\./d; s/^VAR ups \([^ ]*\) \(.*\)$/\1: \2/p' >"$tmp/conf/ups.dev"
printf '[ups]\n  driver = dummy-ups\n  port = ups.dev\n  desc = "bench"\n' >"$tmp/conf/ups.conf"
printf 'LISTEN 127.0.0.1 %s\nMAXCONN 1024\n' "$upsd_port" >"$tmp/conf/upsd.conf"
: >"$tmp/conf/upsd.users"
export NUT_CONFPATH=$tmp/conf NUT_STATEPATH=$tmp/state
taskset -c 0 /lib/nut/dummy-ups -a ups -u root -F >"$tmp/dummy.log" 2>&1 &
pids+=($!)
taskset -c 0 /lib/nut/upsd -u root -F >"$tmp/upsd.log" 2>&1 &
pids+=($!)
wait_for "$upsd_port" || { cat "$tmp/dummy.log" "$tmp/upsd.log" >&2; exit 1; }

# One run of the client: "rate p99_us errors reply_bytes".
measure() {
  local port=$1 connections=$2 mode=$3
  timeout $((duration + 30)) taskset -c 1 build/bench/nut_load --port "$port" --connections "$connections" \
    --duration "$duration" --warmup 1 $mode |
    sed -n 's/^rate=\([0-9]*\) p50_us=[0-9.]* p99_us=\([0-9.]*\) replies=[0-9]* errors=\([0-9]*\) reply_bytes=\([0-9]*\)$/\1 \2 \3 \4/p'
}

# The best rate and the best p99 of the rounds: "rate p99_us errors reply_bytes".
best_of() {
  local port=$1 connections=$2 mode=$3
  for _ in $(seq "$rounds"); do measure "$port" "$connections" "$mode"; done |
    awk 'NR == 1 || $1 > rate { rate = $1 } NR == 1 || $2 < p99 { p99 = $2 } { errors += $3; bytes = $4 }
         END { print rate, p99, errors, bytes }'
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); best of $rounds rounds of ${duration} s"
printf '%-9s %5s %11s %9s %11s %9s %7s %s\n' request conns veltrano/s "p99 us" upsd/s "p99 us" ratio bytes
met=1
run_case() {
  local name=$1 connections=$2 mode=$3
  read -r vr vp ve vb < <(best_of "$velt_port" "$connections" "$mode")
  read -r ur up ue ub < <(best_of "$upsd_port" "$connections" "$mode")
  [ $((ve + ue)) -eq 0 ] || { echo "ERR replies: veltrano $ve, upsd $ue" >&2; met=0; }
  local ratio
  ratio=$(awk -v v="$vr" -v u="$ur" 'BEGIN { printf "%.2f", v / u }')
  printf '%-9s %5s %11s %9s %11s %9s %7s %s\n' "$name" "$connections" "$vr" "$vp" "$ur" "$up" "$ratio" "$vb/$ub"
  awk -v v="$vr" -v u="$ur" -v vp="$vp" -v up="$up" 'BEGIN { exit !(v >= u && vp <= up) }' || met=0
}
for c in 1 4 16 60; do run_case "GET VAR" "$c" ""; done
for c in 1 16; do run_case "LIST VAR" "$c" --list; done
if [ "$met" = 1 ]; then
  echo "goal (rate >= upsd's, p99 no worse, every case): met"
else
  echo "goal (rate >= upsd's, p99 no worse, every case): NOT met"
fi
