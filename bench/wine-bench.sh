# What the benchmark scripts that run the program under Wine share; sourced
# after ROOT is set.
#   bench_need NAME FILE...     stops with NAME's message when a built
#                               file is missing
#   bench_scratch               WORK: a scratch folder, removed at exit with
#                               the display and Wine server started here
#   bench_folder_in_use DIR EXE TASKS
#                               DIR: a copy of EXE on a generated database
#                               of TASKS tasks with the settings of a first
#                               exit
#   bench_wine                  the display, prefix and a warm Wine
#   bench_load                  prints the load average
#   bench_on_generated EXE COUNT [ARG...]
#                               runs EXE under Wine on a generated database
#                               of COUNT tasks (its Windows path first)
GENERATOR="$ROOT/build/native/bench/qelvo_bench"

bench_need() {
  local name="$1" f
  shift
  for f in "$@"; do
    [ -f "$f" ] || { echo "$name: $f is missing; run scripts/build native win32" >&2; exit 1; }
  done
}

bench_scratch() {
  WORK="$(mktemp -d)"
  XVFB_STARTED=""
  [ -z "${DISPLAY:-}" ] && XVFB_STARTED=1
  trap bench_cleanup EXIT
}

bench_cleanup() {
  rm -rf "$WORK"
  if [ -n "$XVFB_STARTED" ]; then
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${QELVO_XVFB_PID:-}" ] && kill "$QELVO_XVFB_PID" 2>/dev/null
  fi
  return 0
}

bench_folder_in_use() {
  mkdir -p "$1/Data"
  cp "$2" "$1/"
  "$GENERATOR" generate "$3" "$1/Data/ActualData.kpx"
  cp "$ROOT/tests/fixtures/app/first-run-settings.ini" "$1/settings.ini"
  cp "$ROOT/tests/fixtures/app/first-run-settings.inicol" "$1/settings.inicol"
}

bench_wine() {
  source "$ROOT/scripts/wine-env.sh"
  qelvo_ensure_display
  qelvo_ensure_prefix
  qelvo_warm_wine
}

bench_load() { echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"; }

bench_on_generated() {
  bench_scratch
  "$GENERATOR" generate "$2" "$WORK/db.kpx"
  bench_wine
  wine "$1" "$(winepath -w "$WORK/db.kpx")" "${@:3}" | tr -d '\r'
}
