#!/usr/bin/env bash
# Saving the task database in the 32-bit program users run, under Wine:
# the whole save as the program does it and each step, against one plain
# write of the same bytes, for a generated database of COUNT tasks
# (default 100000).
#   bench/save-win32.sh [COUNT] [RUNS]      (after scripts/build native win32)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
COUNT="${1:-100000}"
RUNS="${2:-15}"
EXE="${QELVO_SAVE_BENCH:-$ROOT/build/win32/bench/save_bench.exe}"
source "$ROOT/bench/wine-bench.sh"
bench_need save-win32 "$GENERATOR" "$EXE"
bench_on_generated "$EXE" "$COUNT" "$RUNS"
