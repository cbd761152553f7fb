#!/usr/bin/env bash
# Start-up of the program file users get (build/win32/src/app/qelvo.exe)
# under Wine, against a bare window program that loads the same system
# libraries: RUNS alternating starts of each (default 20), each timed from
# starting the process until its window shows, is painted and waits for
# input; prints the medians and their ratio for two folders:
#   - a folder in use: a database of TASKS generated tasks (default 500,
#     in 20 lists with 50 tags) and the settings the program writes at its
#     first exit, timed until the main window is shown and idle; a third
#     figure, "same windows, bare", is a bare program that creates and
#     shows the main window's tree of windows as the program has it once
#     idle (same classes, styles, nesting and sizes; same_windows.exe):
#     what Wine charges for those windows, beside what the program adds;
#   - an empty folder (a first start), timed until the message that there
#     is no database yet shows.
#   bench/startup.sh [RUNS] [TASKS]     (after scripts/build native win32)
# QELVO_EXE names another qelvo.exe to time (an older build, for before and
# after figures taken in turn). QELVO_BASE_EXE names a second qelvo.exe to
# time the first against, start by start, on the same folder in use (its
# own copy): a third section prints their medians and the ratio, which a
# change of a few per cent needs, since the machine's load moves each
# figure by more between runs of the script than within one (the file
# against itself reads 0.96-1.05 on a loaded machine).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
RUNS="${1:-20}"
TASKS="${2:-500}"
EXE="${QELVO_EXE:-$ROOT/build/win32/src/app/qelvo.exe}"
FLOOR="$ROOT/build/win32/bench/bare_window.exe"
SAME="$ROOT/build/win32/bench/same_windows.exe"
HARNESS="$ROOT/build/win32/bench/startup_bench.exe"
source "$ROOT/bench/wine-bench.sh"
BASE="${QELVO_BASE_EXE:-}"
bench_need startup "$EXE" "$FLOOR" "$SAME" "$HARNESS" "$GENERATOR" ${BASE:+"$BASE"}

imports() { i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' '; }
for f in "$FLOOR" "$SAME"; do
  if [ "$(imports "$EXE")" != "$(imports "$f")" ]; then
    echo "startup: $(basename "$f") no longer imports the program's libraries:" >&2
    echo "  qelvo.exe: $(imports "$EXE")" >&2
    echo "  $(basename "$f"): $(imports "$f")" >&2
    exit 1
  fi
done

# Every program runs from a scratch folder, so whatever it writes beside
# itself stays out of the build.
bench_scratch
mkdir -p "$WORK/floor" "$WORK/empty"
cp "$FLOOR" "$SAME" "$WORK/floor/"
cp "$EXE" "$WORK/empty/qelvo.exe"
bench_folder_in_use "$WORK/in-use" "$EXE" "$TASKS"
[ "$(basename "$EXE")" = qelvo.exe ] || mv "$WORK/in-use/$(basename "$EXE")" "$WORK/in-use/qelvo.exe"
if [ -n "$BASE" ]; then
  bench_folder_in_use "$WORK/base" "$BASE" "$TASKS"
  [ "$(basename "$BASE")" = qelvo.exe ] || mv "$WORK/base/$(basename "$BASE")" "$WORK/base/qelvo.exe"
fi
echo "qelvo.exe: $(stat -c %s "$EXE") bytes; libraries: $(imports "$EXE")"
bench_load

bench_wine
bench() { wine "$HARNESS" "$RUNS" "$(winepath -w "$1")" "$2" "$(winepath -w "$WORK/floor/bare_window.exe")" BareWindow \
  "${@:3}" | tr -d '\r'; }
echo "== a folder in use ($TASKS tasks, settings): until the main window is shown and idle"
# The main window's tree, taken from one untimed start, for the third figure.
TREE="$WORK/floor/main-window.txt"
wine "$HARNESS" --windows "$(winepath -w "$WORK/in-use/qelvo.exe")" TMainForm "$(winepath -w "$TREE")"
echo "main window: $(wc -l <"$TREE") windows"
bench "$WORK/in-use/qelvo.exe" TMainForm --same "$(winepath -w "$WORK/floor/same_windows.exe")" "$(winepath -w "$TREE")"
echo "== an empty folder (first start): until the message that there is no database shows"
bench "$WORK/empty/qelvo.exe" '#32770' --fresh
if [ -n "$BASE" ]; then
  echo "== the folder in use again: qelvo.exe (program) against QELVO_BASE_EXE (floor), start by start"
  wine "$HARNESS" "$RUNS" "$(winepath -w "$WORK/in-use/qelvo.exe")" TMainForm \
    "$(winepath -w "$WORK/base/qelvo.exe")" TMainForm | tr -d '\r'
fi
bench_load
