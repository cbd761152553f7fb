#!/usr/bin/env bash
# Speed of the grouped list view under Wine against floors measured in the
# same run (see bench/win32/GvListviewBench.cpp).
#   bench/listview.sh [RUNS] [N] [fill|hits|paint|groups|refill|free]   (after scripts/build win32)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
EXE="$ROOT/build/win32/bench/gv_listview_bench.exe"
[ -f "$EXE" ] || { echo "listview: $EXE is missing; run scripts/build win32" >&2; exit 1; }
source "$ROOT/scripts/wine-env.sh"
qelvo_ensure_display >/dev/null
# A display started here goes with the run.
trap '[ -n "${QELVO_XVFB_PID:-}" ] && kill "$QELVO_XVFB_PID" 2>/dev/null; true' EXIT
qelvo_ensure_prefix >/dev/null
wine "$EXE" "${1:-5}" "${2:-100000}" ${3:+"$3"} 2>/dev/null
