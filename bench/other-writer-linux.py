#!/usr/bin/env python3
# The other writer outside Wine for bench/other-writer.sh: armed by the
# harness through FOLDER/arm ("save DELAY_MS": rename DELAY_MS after the
# save's temporary file appears; "load UNIX_MS": rename at that moment),
# it renames FOLDER/Data/theirs-pending.kpx over the database with
# rename(2) and answers in FOLDER/acted with the Unix milliseconds of the
# rename (0 when it failed). Ends when FOLDER/stop appears.
import glob
import os
import sys
import time

folder = sys.argv[1]
data = os.path.join(folder, "Data")
db = os.path.join(data, "ActualData.kpx")
pending = os.path.join(data, "theirs-pending.kpx")
arm = os.path.join(folder, "arm")
acted = os.path.join(folder, "acted")


def sleep_until(t):
    while True:
        left = t - time.time()
        if left <= 0:
            return
        time.sleep(left - 0.002 if left > 0.003 else 0)


while not os.path.exists(os.path.join(folder, "stop")):
    if not os.path.exists(arm):
        time.sleep(0.001)
        continue
    with open(arm) as f:
        mode, value = f.read().split()
    os.remove(arm)
    bound = time.time() + 60
    if mode == "save":
        while not glob.glob(db + ".*.tmp") and time.time() < bound:
            pass
        sleep_until(time.time() + float(value) / 1000)
    else:
        sleep_until(float(value) / 1000)
    try:
        os.replace(pending, db)
        at = time.time() * 1000
    except OSError:
        at = 0
    with open(acted + ".part", "w") as f:
        f.write("%.3f\n" % at)
    os.replace(acted + ".part", acted)
