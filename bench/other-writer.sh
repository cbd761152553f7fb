#!/usr/bin/env bash
# Another writer renaming its own version over the database while the
# program (build/win32/src/app/qelvo.exe, under Wine; build/win64's where
# the kernel runs no 32-bit programs, see scripts/wine-env.sh) saves it, or loads
# it at its start; counts how often the program asked before replacing
# that version and how often the version was lost without a question
# (bench/win32/OtherWriterBench.cpp drives the program):
#   save: 200,000 tasks (about 19 MB); Ctrl+S, and the other version
#         renamed over the file 5-25 ms after the save's temporary file
#         appears;
#   load: 500,000 tasks (about 48 MB); the other version renamed over the
#         file 0-50 ms after the start-up log's "FormCreate: layout and
#         theme", then Ctrl+S.
# Each by two writers: one inside Wine (the harness: MoveFileEx, retried
# while the program holds the file) and one outside it (rename(2),
# bench/other-writer-linux.py).
#   bench/other-writer.sh [TRIES] [save|load|both] [windows|linux|both]
#                                    (after scripts/build native win32|win64)
# QELVO_EXE names another qelvo.exe (an older build, for the figures
# before a change); SEED the random moments (default 1).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TRIES="${1:-5}"
MODES="${2:-both}"
WRITERS="${3:-both}"
[ "$MODES" = both ] && MODES="save load"
[ "$WRITERS" = both ] && WRITERS="windows linux"
source "$ROOT/bench/wine-bench.sh"
source "$ROOT/scripts/wine-env.sh"
EXE="${QELVO_EXE:-$ROOT/build/$QELVO_WINBUILD/src/app/qelvo.exe}"
HARNESS="$ROOT/build/$QELVO_WINBUILD/bench/other_writer_bench.exe"
bench_need other-writer "$EXE" "$HARNESS" "$GENERATOR"
bench_scratch
bench_wine
echo "qelvo.exe: $EXE"
for mode in $MODES; do
  d="$WORK/$mode"
  tasks=200000
  [ "$mode" = load ] && tasks=500000
  bench_folder_in_use "$d" "$EXE" "$tasks"
  [ "$(basename "$EXE")" = qelvo.exe ] || mv "$d/$(basename "$EXE")" "$d/qelvo.exe"
  cp "$d/Data/ActualData.kpx" "$d/ours.kpx"
  cp "$d/ours.kpx" "$d/theirs.kpx"
  printf 'Their extra task\xF7--\xF79999999999\xF7\xF71/2/2025\xF7\xF7\r\n' >>"$d/theirs.kpx"
  echo "$mode: $tasks tasks, $(stat -c %s "$d/ours.kpx") bytes"
  for writer in $WRITERS; do
    rm -f "$d/stop"
    WATCHER=""
    if [ "$writer" = linux ]; then
      python3 "$ROOT/bench/other-writer-linux.py" "$d" &
      WATCHER=$!
    fi
    bench_load
    wine "$HARNESS" "$(winepath -w "$d")" "$mode" "$writer" "$TRIES" "${SEED:-1}" | tr -d '\r'
    if [ -n "$WATCHER" ]; then
      touch "$d/stop"
      wait "$WATCHER" || true
    fi
  done
done
bench_load
