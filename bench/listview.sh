#!/usr/bin/env bash
# Speed of the grouped list view under Wine against floors measured in the
# same run (see bench/win32/GvListviewBench.cpp).
#   bench/listview.sh [RUNS] [N] [fill|hits|paint|groups|refill|free]
# (after scripts/build of the Windows build wine-env.sh picks: win32, or
# win64 where the kernel runs no 32-bit programs; QELVO_WINBUILD chooses)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/wine-env.sh"
EXE="$ROOT/build/$QELVO_WINBUILD/bench/gv_listview_bench.exe"
[ -f "$EXE" ] || { echo "listview: $EXE is missing; run scripts/build $QELVO_WINBUILD" >&2; exit 1; }
qelvo_ensure_display >/dev/null
# A display started here goes with the run.
trap '[ -n "${QELVO_XVFB_PID:-}" ] && kill "$QELVO_XVFB_PID" 2>/dev/null; true' EXIT
qelvo_ensure_prefix >/dev/null
wine "$EXE" "${1:-5}" "${2:-100000}" ${3:+"$3"} 2>/dev/null
