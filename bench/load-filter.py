#!/usr/bin/env python3
"""The whole-process cost of loading and filtering a database.

For 10k, 100k and 1M generated tasks, runs `qelvo_bench load-filter FILE
--tag work --list Work` and its floor `qelvo_bench read FILE` (the same
program only reading the file) in turn, RUNS times each (default 11), and
prints the median wall times, their ratio (limit 3), the time per task
(flat when the cost grows linearly) and each program's own peak memory
(as it reports it) against the file size (limit 3.5 for load-filter).

    bench/load-filter.py [RUNS]      (after scripts/build native)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH = os.path.join(ROOT, "build", "native", "bench", "qelvo_bench")


def run(args):
    """Wall seconds and peak resident bytes of one process.

    The peak is the one the program reports of itself (VmHWM after its
    exec): the rusage of the child also counts this script's own memory,
    which the forked child held before it became the program."""
    env = dict(os.environ, QELVO_REPORT_PEAK="1")
    t0 = time.perf_counter()
    proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    _, err = proc.communicate()
    elapsed = time.perf_counter() - t0
    if proc.returncode != 0:
        sys.exit("failed: " + " ".join(args))
    peaks = [int(line.split()[1]) for line in err.decode().splitlines() if line.startswith("peak ")]
    if not peaks:
        sys.exit("no peak reported by: " + " ".join(args))
    return elapsed, peaks[-1]


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 11
    if not os.access(BENCH, os.X_OK):
        sys.exit(BENCH + " is missing; run scripts/build native")
    with tempfile.TemporaryDirectory() as tmp:
        rows = []
        for count in (10_000, 100_000, 1_000_000):
            path = os.path.join(tmp, "db%d.kpx" % count)
            subprocess.run([BENCH, "generate", str(count), path], check=True)
            size = os.path.getsize(path)
            load = [BENCH, "load-filter", path, "--tag", "work", "--list", "Work"]
            read = [BENCH, "read", path]
            run(load), run(read)  # the file and the program in the cache
            lt, rt, lm, rm = [], [], 0, 0
            for _ in range(runs):
                t, m = run(load)
                lt.append(t)
                lm = max(lm, m)
                t, m = run(read)
                rt.append(t)
                rm = max(rm, m)
            rows.append((count, size, statistics.median(lt), statistics.median(rt), lm, rm))
        print("%9s %9s %14s %10s %7s %12s %10s %10s" %
              ("tasks", "file MB", "load-filter ms", "read ms", "ratio", "us per task", "peak/file", "read peak"))
        for count, size, lt, rt, lm, rm in rows:
            print("%9d %9.1f %14.1f %10.1f %7.2f %12.3f %10.2f %10.2f" %
                  (count, size / 1e6, lt * 1e3, rt * 1e3, lt / rt, lt / count * 1e6, lm / size, rm / size))
        first, last = rows[0], rows[-1]
        print("limits: ratio 3 at 100k, peak/file 3.5; time per task at 1M against 10k: %.2f (1 is linear)" %
              ((last[2] / last[0]) / (first[2] / first[0])))


if __name__ == "__main__":
    main()
