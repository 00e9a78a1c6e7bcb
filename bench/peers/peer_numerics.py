#!/usr/bin/env python3
"""Peer timings for the numerics comparison (Debian's python3 with numpy and scipy).

One task per process; prints one JSON line with the median of --reps timed calls
(time.perf_counter) after --warmup untimed ones.  Loading the data is not timed.

    peer_numerics.py TASK --data curve_N.f64 [--reps 5] [--warmup 1]
    TASK: savgol | medfilt | polyfit | convolve
"""
import argparse
import json
import statistics
import sys
import time

import numpy as np

WINDOW = 25


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("task", choices=["savgol", "medfilt", "polyfit", "convolve"])
    ap.add_argument("--data", required=True, help="column-wise float64: time[N], strain[N], stress[N]")
    ap.add_argument("--reps", type=int, default=5)
    ap.add_argument("--warmup", type=int, default=1)
    a = ap.parse_args()
    v = np.fromfile(a.data, dtype="<f8")
    n = v.size // 3
    x, y = v[n:2 * n].copy(), v[2 * n:].copy()
    if a.task == "savgol":
        from scipy.signal import savgol_filter
        tool, fn = "scipy.signal.savgol_filter(y, 25, 3)", lambda: savgol_filter(y, WINDOW, 3)
    elif a.task == "medfilt":
        from scipy.signal import medfilt
        tool, fn = "scipy.signal.medfilt(y, 25)", lambda: medfilt(y, WINDOW)
    elif a.task == "polyfit":
        tool, fn = "numpy.polyfit(x, y, 5)", lambda: np.polyfit(x, y, 5)
    else:
        k = np.ones(WINDOW) / WINDOW
        tool, fn = "numpy.convolve(y, ones(25)/25, 'same')", lambda: np.convolve(y, k, "same")
    for _ in range(a.warmup):
        fn()
    times = []
    for _ in range(a.reps):
        t0 = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t0)
    print(json.dumps({"peer": a.task, "tool": tool, "n": int(n), "times_s": times,
                      "median_s": statistics.median(times)}))


if __name__ == "__main__":
    sys.exit(main())
