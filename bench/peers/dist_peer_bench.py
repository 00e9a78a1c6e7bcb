#!/usr/bin/env python3
"""SciPy's fit of the six distributions to the 25-value strength sample.

Run with Debian's interpreter: /usr/bin/python3 dist_peer_bench.py [--reps 20]
Prints one JSON line: per model and for all six together the median seconds of
--reps timed calls (after one warm-up call), with the fitted parameters.
The models as SciPy fits them (maximum likelihood):
  normal                   norm.fit(x)
  lognormal                lognorm.fit(x, floc=0)
  gamma                    gamma.fit(x, floc=0)
  Weibull 2P               weibull_min.fit(x, floc=0)
  Weibull 3P               weibull_min.fit(x)
  generalized exponential  exponweib.fit(x, f1=1, floc=0)   (c = 1)
"All six + measures" also evaluates pdf and cdf on the 1000-point grid 200..600
and the KS distance of each fit, which is what the application's analysis does
besides fitting.
"""
import argparse
import json
import os
import statistics
import time
import warnings

import numpy as np
import scipy
from scipy import stats

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, "..", "..", "samples", "dist", "strength25.dat")


def read_sample(path):
    lines = open(path).read().splitlines()
    return np.array([float(v) for v in lines[lines.index("*data") + 1:lines.index("*distribution")]])


x = np.sort(read_sample(SAMPLE))
grid = np.linspace(200.0, 600.0, 1000)
FITS = {
    "normal": (stats.norm, lambda: stats.norm.fit(x)),
    "lognormal": (stats.lognorm, lambda: stats.lognorm.fit(x, floc=0)),
    "gamma": (stats.gamma, lambda: stats.gamma.fit(x, floc=0)),
    "weibull2p": (stats.weibull_min, lambda: stats.weibull_min.fit(x, floc=0)),
    "weibull3p": (stats.weibull_min, lambda: stats.weibull_min.fit(x)),
    "genexp": (stats.exponweib, lambda: stats.exponweib.fit(x, f1=1, floc=0)),
}


def all_six():
    out = {}
    for name, (dist, fit) in FITS.items():
        p = fit()
        d = dist(*p)
        d.pdf(grid), d.cdf(grid)
        out[name] = (p, stats.kstest(x, d.cdf).statistic)
    return out


def timeit(fn, reps):
    fn()
    ts = []
    for _ in range(reps):
        t0 = time.perf_counter()
        fn()
        ts.append(time.perf_counter() - t0)
    return statistics.median(ts)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--reps", type=int, default=20)
    a = ap.parse_args()
    res = {"scipy": scipy.__version__, "reps": a.reps}
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        for name, (_, fit) in FITS.items():
            res[name] = {"median_s": timeit(fit, a.reps), "params": [float(v) for v in fit()]}
        res["six_fits"] = {"median_s": timeit(lambda: [f() for _, f in FITS.values()], a.reps)}
        res["six_fits_and_measures"] = {"median_s": timeit(all_six, a.reps)}
    print(json.dumps(res))


if __name__ == "__main__":
    main()
