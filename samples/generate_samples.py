#!/usr/bin/env python3
"""Writes the bundled sample raw-data files (deterministic; Python stdlib only).

Three replicates of a tensile test of a steel strip, as three testing
machines might export them: time [s], strain [mm/mm] and engineering stress
[MPa].  Stress is elastic (E = 200 GPa) up to yield at 350 MPa, then
power-law hardening (n = 0.12) with 30 % softening (necking) after a strain
of 0.15; each curve has Gaussian noise and a few spikes (outliers).

    tensile_1.csv  comma-separated, 2 header lines (headings, units)
    tensile_2.dat  blank-aligned columns, "$$" comment lines, 2 header lines
    tensile_3.txt  tab-separated, a title line before headings and units
                   (3 header lines), a comment line inside the data

Run: python3 samples/generate_samples.py   (rewrites the files in samples/)
"""
import os
import random

E_MPA = 200000.0
SIGMA_Y = 350.0
N_HARD = 0.12
EPS_NECK = 0.15


def stress(eps, eps_end, scale):
    eps_y = SIGMA_Y / E_MPA
    if eps <= eps_y:
        s = E_MPA * eps
    else:
        s = SIGMA_Y * (eps / eps_y) ** N_HARD
    u = max(0.0, (eps - EPS_NECK) / (eps_end - EPS_NECK))
    return scale * s * (1.0 - 0.3 * u * u)


def curve(seed, n, eps_end, scale, rate_hz):
    rng = random.Random(seed)
    # Denser sampling in the elastic part, as a strain-controlled test logs
    # it: the first 10 % of the points cover strains up to 1 % of the end.
    rows = []
    for i in range(n):
        f = i / (n - 1)
        if f < 0.1:
            eps = eps_end * f * f
        else:
            eps = eps_end * (0.01 + 0.99 * (f - 0.1) / 0.9)
        rows.append(eps)
    out = []
    for i, eps in enumerate(rows):
        t = i / rate_hz
        s = stress(eps, eps_end, scale) + rng.gauss(0.0, 1.5)
        if rng.random() < 0.004:
            s += rng.choice((-1.0, 1.0)) * rng.uniform(40.0, 120.0)
        out.append((t, eps, s))
    return out


def write_csv(path, data):
    with open(path, "w", newline="\n") as f:
        f.write("time,strain,stress\n")
        f.write("s,mm/mm,MPa\n")
        for t, e, s in data:
            f.write("%.3f,%.8e,%.4f\n" % (t, e, s))


def write_dat(path, data):
    with open(path, "w", newline="\n") as f:
        f.write("$$ Tensile test, steel strip, specimen 2\n")
        f.write("$$ Machine export: aligned columns\n")
        f.write("%12s %16s %12s\n" % ("time", "strain", "stress"))
        f.write("%12s %16s %12s\n" % ("s", "mm/mm", "MPa"))
        for i, (t, e, s) in enumerate(data):
            if i == len(data) // 2:
                f.write("\n$$ extensometer re-zeroed check: values continue\n")
            f.write("%12.3f %16.9f %12.4f\n" % (t, e, s))


def write_txt(path, data):
    with open(path, "w", newline="\n") as f:
        f.write("Tensile test steel strip specimen 3\n")
        f.write("time\tstrain\tstress\n")
        f.write("s\tmm/mm\tMPa\n")
        for i, (t, e, s) in enumerate(data):
            if i == 100:
                f.write("$$ note: load cell range switched\n")
            f.write("%.3f\t%.7g\t%.3f\n" % (t, e, s))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_csv(os.path.join(here, "tensile_1.csv"), curve(11, 1500, 0.200, 1.00, 10.0))
    write_dat(os.path.join(here, "tensile_2.dat"), curve(12, 1200, 0.190, 0.98, 8.0))
    write_txt(os.path.join(here, "tensile_3.txt"), curve(13, 1800, 0.205, 1.02, 12.0))


if __name__ == "__main__":
    main()
