#!/usr/bin/env bash
# The task database in the 32-bit program users run, under Wine: memory at
# rest and at the peak of loading against the file size, and load and free
# times against one sized read of the file, for a generated database of
# COUNT tasks (default 100000).
#   bench/memory-win32.sh [COUNT]      (after scripts/build native win32)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
COUNT="${1:-100000}"
GEN="$ROOT/build/native/bench/qelvo_bench"
EXE="$ROOT/build/win32/bench/memory_bench.exe"
for f in "$GEN" "$EXE"; do
  [ -f "$f" ] || { echo "memory-win32: $f is missing; run scripts/build native win32" >&2; exit 1; }
done
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$GEN" generate "$COUNT" "$WORK/db.kpx"
source "$ROOT/scripts/wine-env.sh"
qelvo_ensure_prefix
wine "$EXE" "$(winepath -w "$WORK/db.kpx")" | tr -d '\r'
