#!/usr/bin/env bash
# Idle cost of polling at a 1 s interval under Wine, against a bare window.
# Usage: bench/poll_idle.sh [--build DIR]... [--seconds N] [--interval S] [--shown] [--remote]
# Without --build, build/win is built first and measured; with it, each
# given tree is measured as it is (an old and a new build side by side).
set -euo pipefail
cd "$(dirname "$0")/.."
given=0
for arg in "$@"; do
    case "$arg" in --build|--build=*) given=1 ;; esac
done
if [ "$given" = 0 ]; then
    bash scripts/setup.sh
    cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
    cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
fi
exec /usr/bin/python3 bench/poll_idle.py "$@"
