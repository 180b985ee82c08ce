#!/usr/bin/env bash
# Builds Veltrano for Windows and runs it under Wine against the UPS
# simulator on COM1 (under a private Xvfb when there is no display).
# Runs until Ctrl-C; "--duration SECONDS" stops it by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/win -j"$jobs"
exec /usr/bin/python3 scripts/demo.py "$@"
