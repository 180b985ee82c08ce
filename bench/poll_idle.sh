#!/usr/bin/env bash
# Idle cost of polling at a 1 s interval under Wine, against a bare window.
# Usage: bench/poll_idle.sh [--seconds N] [--interval S]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
exec /usr/bin/python3 bench/poll_idle.py "$@"
