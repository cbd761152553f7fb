#!/usr/bin/env bash
# The task database in the 32-bit program users run, under Wine: memory at
# rest and at the peak of loading against the file size, and load and free
# times against one sized read of the file, for a generated database of
# COUNT tasks (default 100000).
#   bench/memory-win32.sh [COUNT]      (after scripts/build native win32)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
COUNT="${1:-100000}"
EXE="$ROOT/build/win32/bench/memory_bench.exe"
source "$ROOT/bench/wine-bench.sh"
bench_need memory-win32 "$GENERATOR" "$EXE"
bench_on_generated "$EXE" "$COUNT"
