#!/usr/bin/env bash
# bench/native/OtherWriterRace.cpp against a native build's libraries: the
# program's own load and save with another writer renaming its version
# over the database at random moments (save: 200,000 tasks, 5-25 ms after
# the temporary file appears; load: 500,000 tasks, during the load).
#   bench/other-writer-native.sh [TRIES] [TREE]   (after scripts/build native)
# TREE is another checkout with its own native build (an older one, for
# the figures before a change); OLD_STAMP=1 for a tree whose load result
# holds no stamp of the bytes it read.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TRIES="${1:-10}"
TREE="${2:-$ROOT}"
GENERATOR="$ROOT/build/native/bench/qelvo_bench"
LIBS="$TREE/build/native/src"
for f in "$GENERATOR" "$LIBS/app/logic/libqelvo_applogic.a"; do
  [ -f "$f" ] || { echo "other-writer-native: $f is missing; run scripts/build native" >&2; exit 1; }
done
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
g++ -std=c++20 -O2 ${OLD_STAMP:+-DOLD_STAMP} -I"$TREE/src" "$ROOT/bench/native/OtherWriterRace.cpp" \
  "$LIBS/app/logic/libqelvo_applogic.a" "$LIBS/data/libqelvo_data.a" "$LIBS/gcl/libgcl_rtl.a" -lpthread \
  -o "$WORK/race"
for mode in save load; do
  tasks=200000
  [ "$mode" = load ] && tasks=500000
  "$GENERATOR" generate "$tasks" "$WORK/ours.kpx"
  cp "$WORK/ours.kpx" "$WORK/theirs.kpx"
  printf 'Their extra task\xF7--\xF79999999999\xF7\xF71/2/2025\xF7\xF7\r\n' >>"$WORK/theirs.kpx"
  mkdir -p "$WORK/$mode"
  echo "$mode: $tasks tasks, $(stat -c %s "$WORK/ours.kpx") bytes"
  "$WORK/race" "$WORK/ours.kpx" "$WORK/theirs.kpx" "$WORK/$mode" "$mode" "$TRIES" "${SEED:-1}"
done
