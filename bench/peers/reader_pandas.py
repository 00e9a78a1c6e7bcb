#!/usr/bin/python3
"""pandas.read_csv on the benchmark curve: median of timed calls after one
warm-up, printed as seconds and MB/s, and the peak resident memory.

Run with Debian's interpreter (python3-pandas): /usr/bin/python3 reader_pandas.py FILE [REPS]
"""
import os
import resource
import statistics
import sys
import time

import pandas as pd


def main():
    path = sys.argv[1]
    reps = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    size = os.path.getsize(path)
    pd.read_csv(path, skiprows=[1], engine="c")  # warm-up
    times = []
    for _ in range(reps):
        t0 = time.perf_counter()
        frame = pd.read_csv(path, skiprows=[1], engine="c")
        times.append(time.perf_counter() - t0)
        assert frame.shape[1] == 3
    med = statistics.median(times)
    rss = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
    print("pandas %s median %.4f s  %.0f MB/s  peak RSS %.0f MiB" % (pd.__version__, med, size / med / 1e6, rss))


if __name__ == "__main__":
    main()
