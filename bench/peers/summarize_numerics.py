#!/usr/bin/env python3
"""Table of the numerics comparison: best-of-process medians of ours and of each peer.

    summarize_numerics.py RAW_DIR      (ours_*.json from bench_numerics, peers.jsonl)
"""
import glob
import json
import os
import sys

# (our benchmark, peer task, goal: minimum peer/ours speed-up)
PAIRS = [
    ("SavitzkyGolay3", "savgol", 1.0),
    ("Median", "medfilt", 1.0),
    ("QuinticFit", "polyfit", 1.0),
    ("Lowess", "lowess_iter0", 1.0),
    ("RobustLowess3", "lowess_iter3", 2.0),
    ("SimpleAverage", "convolve", None),
]
OURS_ONLY = ["SavitzkyGolay5", "Loess", "RobustLoess3", "Chauvenet"]


def ours(raw):
    """benchmark name -> list of per-process medians (seconds)."""
    out = {}
    for path in sorted(glob.glob(os.path.join(raw, "ours_*.json"))):
        with open(path) as f:
            doc = json.load(f)
        for b in doc["benchmarks"]:
            if b.get("aggregate_name") != "median":
                continue
            name = b["run_name"].split("/")[0]
            scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
            out.setdefault(name, []).append(b["real_time"] * scale)
    return out


def peers(raw):
    out, tools = {}, {}
    with open(os.path.join(raw, "peers.jsonl")) as f:
        for line in f:
            line = line.strip()
            if line.startswith("{"):
                d = json.loads(line)
                out.setdefault(d["peer"], []).append(d["median_s"])
                tools[d["peer"]] = d["tool"]
    return out, tools


def ms(v):
    return f"{1e3 * v:.1f}"


def main():
    raw = sys.argv[1]
    o = ours(raw)
    p, tools = peers(raw)
    print("| ours (window 25) | ours ms | peer | peer ms | speed-up (peer / ours) | goal | ours per process | peer per process |")
    print("|---|---|---|---|---|---|---|---|")
    for name, task, goal in PAIRS:
        if name not in o or task not in p:
            continue
        a, b = min(o[name]), min(p[task])
        ok = "" if goal is None else ("met" if b / a >= goal else "NOT met") + f" (>= {goal:g}x)"
        print(f"| {name} | {ms(a)} | {tools[task]} | {ms(b)} | {b / a:.1f}x | {ok} | "
              f"{' / '.join(ms(v) for v in o[name])} | {' / '.join(ms(v) for v in p[task])} |")
    for name in OURS_ONLY:
        if name in o:
            print(f"| {name} | {ms(min(o[name]))} | (no peer at this size) | | | | "
                  f"{' / '.join(ms(v) for v in o[name])} | |")


if __name__ == "__main__":
    main()
