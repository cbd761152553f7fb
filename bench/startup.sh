#!/usr/bin/env bash
# Start-up of the program file users get (build/win32/src/app/qelvo.exe)
# under Wine, against a bare window program that loads the same system
# libraries: RUNS alternating starts of each (default 20), each timed from
# starting the process until its window shows and waits for input; prints
# the medians and their ratio.
#   bench/startup.sh [RUNS]        (after scripts/build win32)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
RUNS="${1:-20}"
EXE="$ROOT/build/win32/src/app/qelvo.exe"
FLOOR="$ROOT/build/win32/bench/bare_window.exe"
HARNESS="$ROOT/build/win32/bench/startup_bench.exe"
for f in "$EXE" "$FLOOR" "$HARNESS"; do
  [ -f "$f" ] || { echo "startup: $f is missing; run scripts/build win32" >&2; exit 1; }
done

imports() { i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' '; }
if [ "$(imports "$EXE")" != "$(imports "$FLOOR")" ]; then
  echo "startup: the floor program no longer imports the program's libraries:" >&2
  echo "  qelvo.exe:       $(imports "$EXE")" >&2
  echo "  bare_window.exe: $(imports "$FLOOR")" >&2
  exit 1
fi

# Both run from a scratch folder, so whatever the program writes beside
# itself stays out of the build.
WORK="$(mktemp -d)"
XVFB_STARTED=""
[ -z "${DISPLAY:-}" ] && XVFB_STARTED=1
cleanup() {
  rm -rf "$WORK"
  if [ -n "$XVFB_STARTED" ]; then
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${QELVO_XVFB_PID:-}" ] && kill "$QELVO_XVFB_PID" 2>/dev/null
  fi
  return 0
}
trap cleanup EXIT
cp "$EXE" "$FLOOR" "$WORK/"
echo "qelvo.exe: $(stat -c %s "$EXE") bytes; libraries: $(imports "$EXE")"

source "$ROOT/scripts/wine-env.sh"
qelvo_ensure_display
qelvo_ensure_prefix
qelvo_warm_wine
wine "$HARNESS" "$RUNS" "$(winepath -w "$WORK/qelvo.exe")" "$(winepath -w "$WORK/bare_window.exe")" | tr -d '\r'
