#!/usr/bin/env python3
"""Tallies a Wine server trace (wineserver -d1) written while
bench/server-calls.sh drove the program: for each interaction between the
driver's marks, the requests the program's threads made, by name, from the
input until the program first waits with its input taken (the first wait
without a time-out after its last input message), and in the whole time
between the marks (which adds what its timers do meanwhile).
   server-calls.py TRACE [TOP]"""
import collections
import re
import sys

LINE = re.compile(r'^([0-9a-f]{4,8}): (\w+)(\(.*)$')


def main():
    path = sys.argv[1]
    top = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    tid_pid = {}          # thread -> process
    pending = {}          # thread -> name of the request it is waiting on
    program_pids = set()  # processes running qelvo.exe
    new_process_image = {}
    rows = collections.OrderedDict()  # interaction -> [Counter per pass]
    current = None
    counts = None
    with open(path, errors='replace') as f:
        for raw in f:
            m = LINE.match(raw)
            if not m:
                continue
            tid, name, rest = m.group(1), m.group(2), m.group(3)
            if rest.startswith('()') and ' = ' in rest[:6]:
                # A reply: "name() = status { ... }"
                if name == 'init_first_thread':
                    r = re.search(r'pid=([0-9a-f]+), tid=([0-9a-f]+)', rest)
                    if r:
                        tid_pid[r.group(2)] = r.group(1)
                elif name == 'new_thread' and pending.get(tid) == 'self':
                    r = re.search(r'tid=([0-9a-f]+)', rest)
                    if r and tid in tid_pid:
                        tid_pid[r.group(1)] = tid_pid[tid]
                elif name == 'new_process' and new_process_image.get(tid):
                    r = re.search(r'pid=([0-9a-f]+)', rest)
                    if r:
                        program_pids.add(r.group(1))
                    new_process_image[tid] = False
                pending.pop(tid, None)
                continue
            # A request.
            if name == 'new_thread':
                pending[tid] = 'self' if 'process=ffffffff' in rest else 'other'
            elif name == 'new_process':
                new_process_image[tid] = bool(re.search(r'imagepath=L"[^"]*\\\\qelvo\.exe"', rest, re.I))
            elif name == 'add_atom':
                r = re.search(r'name=L"qmark (begin|end) (.*)" \)', rest)
                if r:
                    if r.group(1) == 'begin':
                        current = r.group(2)
                        counts = []
                    else:
                        if current is not None:
                            rows.setdefault(current, []).append(counts)
                        current = None
                        counts = None
                    continue
            if counts is not None and tid_pid.get(tid) in program_pids:
                counts.append('select_infinite' if name == 'select' and 'timeout=infinite' in rest else name)
    def until_idle(seq):
        last_input = max((i for i, n in enumerate(seq) if n == 'accept_hardware_message'), default=0)
        for i in range(last_input, len(seq)):
            if seq[i] == 'select_infinite':
                return seq[:i + 1]
        return seq

    def median(values):
        values = sorted(values)
        return values[len(values) // 2]

    width = max((len(k) for k in rows), default=10)
    print(f"{'interaction':<{width}}  until idle  whole  (each pass until idle)")
    for name, passes in rows.items():
        idle = [until_idle(p) for p in passes]
        each = ' '.join(str(len(p)) for p in idle)
        print(f"{name:<{width}}  {median(len(p) for p in idle):10d}  {median(len(p) for p in passes):5d}  [{each}]")
        if top:
            total = collections.Counter()
            for p in idle:
                total.update(p)
            n = len(passes)
            print('      ' + ', '.join(f"{k} {v / n:g}" for k, v in total.most_common(top)))


main()
