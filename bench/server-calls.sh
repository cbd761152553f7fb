#!/usr/bin/env bash
# The Wine server requests the real program makes in each interaction of
# bench/program.sh, counted by request name: the driver runs once on a
# generated database under a Wine server that traces every request, marks
# each interaction's start and end (QELVO_BENCH_MARKS) and
# bench/server-calls.py tallies the requests of the program's threads
# between the marks.
#   bench/server-calls.sh [TASKS] [SETTLE_MS]   (after scripts/build native win32)
# QELVO_EXE names another qelvo.exe; QELVO_BENCH_SKIP works as for
# program.sh; QELVO_SERVER_TRACE=FILE keeps the raw trace; QELVO_SERVER_TOP=N
# lists the N most frequent requests of each interaction.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TASKS="${1:-1000}"
SETTLE="${2:-1500}"
EXE="${QELVO_EXE:-$ROOT/build/win32/src/app/qelvo.exe}"
DRIVER="$ROOT/build/win32/bench/program_bench.exe"
source "$ROOT/bench/wine-bench.sh"
bench_need server-calls "$EXE" "$DRIVER" "$GENERATOR"
bench_scratch
d="$WORK/db$TASKS"
bench_folder_in_use "$d" "$EXE" "$TASKS"
printf '[Options]\r\nConfirm Delete=0\r\n' >>"$d/settings.ini"
source "$ROOT/scripts/wine-env.sh"
qelvo_ensure_display
qelvo_ensure_prefix
wineserver -k >/dev/null 2>&1 </dev/null || true
wineserver -w
TRACE="${QELVO_SERVER_TRACE:-$WORK/trace}"
wineserver -f -p -d1 2>"$TRACE" >/dev/null </dev/null &
SERVER=$!
sleep 0.5
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
QELVO_BENCH_MARKS="$SETTLE" wine "$DRIVER" 1 "$(winepath -w "$d")" 2>&1 >/dev/null | grep -v "^qmark " >&2 || true
wineserver -k >/dev/null 2>&1 </dev/null || true
wait "$SERVER" || true
python3 "$ROOT/bench/server-calls.py" "$TRACE" "${QELVO_SERVER_TOP:-0}"
