#!/usr/bin/env bash
# The program users run (build/win32/src/app/qelvo.exe) under Wine, driven
# with real input on generated databases of 1k, 10k and 100k tasks (20
# lists, 50 tags, half with due dates, a third with notes): start, memory
# at rest and each interaction a user repeats, against a floor measured in
# the same run (bench/win32/ProgramBench.cpp).
#   bench/program.sh [RUNS] [COUNT...]     (after scripts/build native win32)
# Give it at least two processors (taskset -c 4-7): the program runs on the
# upper half of them and the driver, which watches it, on the lower.
# QELVO_EXE names another qelvo.exe to time (an older build, for a table of
# before and after); QELVO_BENCH_SKIP=part,part leaves out the interactions
# whose names contain a part; QELVO_BENCH_TRACE=1 prints on stderr, for each
# interaction, when the program's threads used the processor (ms from the
# input = microseconds used, per Linux thread), which is what the times are
# taken from.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
RUNS="${1:-5}"
shift || true
COUNTS=("$@")
[ ${#COUNTS[@]} -gt 0 ] || COUNTS=(1000 10000 100000)
EXE="${QELVO_EXE:-$ROOT/build/win32/src/app/qelvo.exe}"   # QELVO_EXE: another build to time
DRIVER="$ROOT/build/win32/bench/program_bench.exe"
source "$ROOT/bench/wine-bench.sh"
bench_need program "$EXE" "$DRIVER" "$GENERATOR"
bench_scratch
FOLDERS=()
for n in "${COUNTS[@]}"; do
  d="$WORK/db$n"
  bench_folder_in_use "$d" "$EXE" "$n"
  # Deleting asks no question, as for a user who deletes often.
  printf '[Options]\r\nConfirm Delete=0\r\n' >>"$d/settings.ini"
  FOLDERS+=("$d")
done
bench_load
bench_wine
ARGS=()
for d in "${FOLDERS[@]}"; do ARGS+=("$(winepath -w "$d")"); done
if [ -n "${EXPLORE:-}" ]; then
  wine "$DRIVER" --explore "${ARGS[0]}" | tr -d '\r'
  exit 0
fi
wine "$DRIVER" "$RUNS" "${ARGS[@]}" | tr -d '\r'
bench_load
