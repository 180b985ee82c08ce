#!/usr/bin/env bash
# Takes a screenshot of the status page with headless Chromium, served by the
# native fixture (or by the server at URL), to look at what a browser shows.
# Usage: tests/net/page_screenshot.sh [--out FILE.png] [URL]   (default shots/page.png)
set -euo pipefail
cd "$(dirname "$0")/../.."

out=shots/page.png
url=
while [ $# -gt 0 ]; do
  case $1 in
    --out) out=$2; shift 2 ;;
    *) url=$1; shift ;;
  esac
done

tmp=$(mktemp -d)
fixture=
cleanup() {
  if [ -n "$fixture" ]; then kill "$fixture" 2>/dev/null || true; wait "$fixture" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

if [ -z "$url" ]; then
  cmake -S . -B build/native >/dev/null
  cmake --build build/native -j2 --target page_server_fixture >/dev/null
  build/native/page_server_fixture --port 0 >"$tmp/fixture.out" &
  fixture=$!
  for _ in $(seq 100); do grep -q '^ready ' "$tmp/fixture.out" && break; sleep 0.1; done
  port=$(sed -n 's/^ready port=\([0-9]*\).*/\1/p' "$tmp/fixture.out")
  [ -n "$port" ] || { echo "the fixture did not start" >&2; exit 1; }
  url=http://127.0.0.1:$port/
fi

mkdir -p "$(dirname "$out")"
# Root has no sandbox; a profile of its own keeps the user's untouched.
timeout 60 chromium --headless --no-sandbox --disable-gpu --user-data-dir="$tmp/profile" \
  --window-size=640,360 --screenshot="$PWD/$out" "$url" 2>"$tmp/chromium.log" \
  || { cat "$tmp/chromium.log" >&2; exit 1; }
echo "$out"
