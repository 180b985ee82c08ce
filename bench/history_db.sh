#!/usr/bin/env bash
# The history at full size: 400 generated days, file size and query times.
# Usage: bench/history_db.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target history_db -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
exec build/bench/history_db "$@"
