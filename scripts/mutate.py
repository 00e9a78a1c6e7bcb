#!/usr/bin/env python3
"""Puts faults into a copy of the tree one at a time and lists the survivors.

Each fault is (file, exact old text, new text).  The old text must occur
exactly once in the file.  The tree, with its default build folder, is
copied once under a scratch folder; for every fault the copy's file is
changed, the test program of the fault's folder (src/<folder>/... ->
test_<folder>) is rebuilt and run, and the file is restored.  A fault that
does not build counts as caught; one whose test program passes survives.

The build records absolute paths, so the copy is mounted over the tree's own
path inside a private mount namespace (unshare -m) that only this script
sees: the copied build stays valid and each fault rebuilds one file.  Where
that is not allowed (--no-namespace) the copy is configured and built anew.

    scripts/mutate.py                  # every fault, affected test programs
    scripts/mutate.py --all-tests      # run every test program per fault
    scripts/mutate.py --only 3,7-9     # a few faults by number
    scripts/mutate.py --list           # the faults, numbered

The summary goes to stdout and, with --report FILE, to a file as well.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (file, old, new): each one small, plausible slip.
FAULTS = [
    # numerics
    ("src/numerics/ExpressionEvaluator.cpp",
     "if (!IsDelimiter('^') || !value.IsScalar()) return kExprOk;",
     "if (!IsDelimiter('^')) return kExprOk;"),
    ("src/numerics/ExpressionOperators.cpp",
     "SetScalar(l, std::pow(l.GetScalar(), r.GetScalar()));",
     "SetScalar(l, std::pow(r.GetScalar(), l.GetScalar()));"),
    ("src/numerics/ExpressionFunctions.cpp",
     "  if (n % 2) return upper;",
     "  if (n % 2 == 0) return upper;"),
    ("src/numerics/TextFields.cpp",
     "if (c == ',' || c == ' ' || c == '\\t' || c == '\\r' || c == '\\n') {",
     "if (c == ',' || c == ' ' || c == '\\r' || c == '\\n') {"),
    ("src/numerics/TextFields.cpp",
     "return r.ec == std::errc() && r.ptr == end && std::isfinite(value);",
     "return r.ec == std::errc() && std::isfinite(value);"),
    # engine
    ("src/engine/Statistics.cpp",
     "if (n < 100) return InterpolateRatio(n, 50, 2.57, 100, 2.81);",
     "if (n < 100) return InterpolateRatio(n, 50, 2.58, 100, 2.81);"),
    ("src/engine/Statistics.cpp",
     "if (n < 50) return InterpolateRatio(n, 25, 2.33, 50, 2.57);",
     "if (n < 50) return InterpolateRatio(n, 25, 2.33, 50, 2.58);"),
    ("src/engine/Outliers.cpp",
     "if (defined && std::fabs(work(i, yCol) - mean) <= limit) {",
     "if (defined && std::fabs(work(i, yCol) - mean) < limit) {"),
    ("src/engine/Outliers.cpp",
     "const double s = std::sqrt(squares / (n - 1));",
     "const double s = std::sqrt(squares / n);"),
    ("src/engine/Smoothing.cpp",
     "if (count < m || h < 1) return true;",
     "if (count <= m || h < 1) return true;"),
    ("src/engine/Report.cpp",
     't.PrintLine(Format("Area under curve: %g", rep.zoneFittedArea(z)));',
     't.PrintLine(Format("Area under curve: %.7g", rep.zoneFittedArea(z)));'),
    ("src/engine/Report.cpp",
     't.PrintLine(Format("Area under curve: %g", rep.zoneSmoothedArea(z)));',
     't.PrintLine(Format("Area under curve: %.7f", rep.zoneSmoothedArea(z)));'),
    ("src/engine/Database.cpp",
     "void CReplicateDB::ClearProcessed() {\n  smoothedFlag = fittedFlag = thirdFlag = 0;",
     "void CReplicateDB::ClearProcessed() {\n  smoothedFlag = fittedFlag = 0;"),
    ("src/engine/Database.cpp",
     "area += (m(i + 1, xCol) - m(i, xCol)) * (m(i + 1, yCol) + m(i, yCol)) * 0.5;",
     "area += (m(i + 1, xCol) - m(i, xCol)) * (m(i + 1, yCol) + m(i, yCol));"),
    ("src/engine/ProjectFile.cpp",
     "rep.pointCount = std::clamp(rep.pointCount, 0, rep.raw.GetRows());",
     "rep.pointCount = std::max(rep.pointCount, 0);"),
    ("src/engine/ProjectFile.cpp",
     "if (narrow(rep.fitData)) {",
     "if (narrow(rep.smoothedData)) {"),
    ("src/engine/Fitting.cpp",
     "      v = coef(1) + coef(2) * std::log(x);",
     "      v = coef(1) + coef(2) * std::log10(x);"),
    # editing
    ("src/editing/TextScan.cpp",
     "  if (d.tab) m_class[static_cast<unsigned char>('\\t')] = kSoft;",
     "  if (d.tab) m_class[static_cast<unsigned char>('\\t')] = kHard;"),
    ("src/editing/RawDataReader.cpp",
     "if (!headerShort && rows == 0) {",
     "if (rows == 0) {"),
    ("src/editing/ZoneRules.cpp",
     "if (m_db.IsSmoothed() || m_db.IsLocked()) {",
     "if (m_db.IsLocked()) {"),
    # optim
    ("src/optim/DifferentialEvolution.cpp",
     "if (m_random.Next() < m_CR || n == end) trial[static_cast<size_t>(n - 1)] = mutant(n);",
     "if (m_random.Next() <= m_CR && n != end) trial[static_cast<size_t>(n - 1)] = mutant(n);"),
    ("src/optim/DifferentialEvolution.cpp",
     "return x + m_F * (donor(1, n) - donor(2, n)) + m_K * (b - x);",
     "return x + m_F * (donor(1, n) - donor(2, n)) + m_F * (b - x);"),
    ("src/optim/RandomGenerator.cpp",
     "constexpr long kA2 = 40692;",
     "constexpr long kA2 = 40629;"),
    # distribution
    ("src/distribution/DistributionFiles.cpp",
     "} else if (q.code == kWeibull2P || q.code == kWeibull3P) {",
     "} else if ((q.code == kWeibull2P || q.code == kWeibull3P) && f.size() > 1) {"),
    ("src/distribution/DistributionFiles.cpp",
     'out << std::setw(16) << label << std::setw(12) << value << "\\n";',
     'out << std::setw(16) << label << std::setw(13) << value << "\\n";'),
    ("src/distribution/DistributionModels.cpp",
     "    pdf(i) = c * std::exp(-d * d / (2.0 * sigma * sigma));",
     "    pdf(i) = c * std::exp(-d * d / (sigma * sigma));"),
    # plot
    ("src/plot/LegendModel.cpp",
     "p.y = placed.size() == 1 ? placed[0].y + lh : y + lh / 2;",
     "p.y = y + lh / 2;"),
    ("src/plot/PlotSettingsRules.cpp",
     'InRange(s.borders[1], kMarginMin, kMarginMax, "top margin") &&',
     'InRange(s.borders[1], kMarginMin, kEdgeMax, "top margin") &&'),
    ("src/plot/Graph.cpp",
     "m_plotRect.top = static_cast<int>(rect.top + m_placeTop * h);",
     "m_plotRect.top = static_cast<int>(rect.top + m_placeTop * w);"),
    # composites
    ("src/composites/BoundedMinimiser.cpp",
     "    if (fe < best) {",
     "    if (fe > best) {"),
    ("src/composites/BoundedMinimiser.cpp",
     "double x = fc <= fd ? c : d;",
     "double x = fc <= fd ? d : c;"),
    # the corrections of this round, undone
    ("src/engine/Report.cpp",
     '  PrintBoxedHeading(t, Format(" Zone: %d", z));  // straight after the previous block',
     '  t.BlankLines(1);\n  PrintBoxedHeading(t, Format(" Zone: %d", z));'),
    ("src/numerics/ExpressionEvaluator.cpp",
     "if (rowCount * columnCount > std::max(listed, double(kMaxStatementLength)))",
     "if (rowCount * columnCount > static_cast<double>(m_text.size() - m_pos) / 2.0)"),
    ("src/optim/DifferentialEvolution.cpp",
     "  if (firstOfGeneration)\n    for (double& d : m_exchangeDraws) d = m_random.Next();\n",
     ""),
    # cli
    ("src/cli/Reduction.cpp",
     'std::fprintf(out, "  smoothed points %d, outliers removed %d\\n", rep.smoothedCount,',
     'std::fprintf(out, "  smoothed points %d, outliers removed %d\\n", rep.pointCount,'),
]


def folder_of(path):
    parts = path.split("/")
    return parts[1] if len(parts) > 2 and parts[0] == "src" else None


def parse_only(text, count):
    chosen = set()
    for part in text.split(","):
        if "-" in part:
            a, b = part.split("-")
            chosen.update(range(int(a), int(b) + 1))
        elif part:
            chosen.add(int(part))
    return sorted(k for k in chosen if 1 <= k <= count)


def run(cmd, cwd, log, timeout=None):
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(cmd) + "\n").encode())
        out.flush()
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write(b"(timed out)\n")
            return 124


def copy_tree(dest, with_build):
    """Copies the working tree (times kept); with_build also its default build."""
    if os.path.exists(dest):
        shutil.rmtree(dest)
    os.makedirs(dest)
    for name in os.listdir(ROOT):
        if name in (".git", "build"):
            continue
        src, dst = os.path.join(ROOT, name), os.path.join(dest, name)
        if os.path.isdir(src):
            shutil.copytree(src, dst, symlinks=True)
        else:
            shutil.copy2(src, dst)
    if with_build and os.path.isdir(os.path.join(ROOT, "build", "default")):
        os.makedirs(os.path.join(dest, "build"))
        subprocess.run(["cp", "-a", os.path.join(ROOT, "build", "default"),
                        os.path.join(dest, "build", "default")], check=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--scratch", default="/tmp/olm-mutate", help="where the copy lives")
    ap.add_argument("--only", help="fault numbers, such as 1,4-6")
    ap.add_argument("--all-tests", action="store_true", help="run every test program")
    ap.add_argument("--list", action="store_true", help="list the faults and stop")
    ap.add_argument("--jobs", default="2")
    ap.add_argument("--timeout", type=int, default=900, help="seconds per test program")
    ap.add_argument("--report", help="also write the summary to this file")
    ap.add_argument("--no-namespace", action="store_true",
                    help="build the copy at its own path instead of mounting it over the tree")
    ap.add_argument("--in-namespace", action="store_true", help=argparse.SUPPRESS)
    args = ap.parse_args()

    faults = [f for f in FAULTS if f[1]]
    if args.list:
        for k, (path, old, new) in enumerate(faults, 1):
            print(f"{k:3d} {path}: {old!r} -> {new!r}")
        return 0
    numbers = parse_only(args.only, len(faults)) if args.only else range(1, len(faults) + 1)

    # Every fault must apply to the tree as it stands.
    for k in numbers:
        path, old, _ = faults[k - 1]
        text = open(os.path.join(ROOT, path), encoding="utf-8").read()
        if text.count(old) != 1:
            print(f"fault {k}: the old text occurs {text.count(old)} times in {path}",
                  file=sys.stderr)
            return 2

    copy = os.path.join(args.scratch, "tree")
    log = os.path.join(args.scratch, "mutate.log")
    if not args.no_namespace and not args.in_namespace:
        # Again, inside a private mount namespace.
        os.makedirs(args.scratch, exist_ok=True)
        copy_tree(copy, with_build=True)
        cmd = ["unshare", "-m", "--propagation", "private", sys.executable,
               os.path.abspath(__file__), "--in-namespace"] + sys.argv[1:]
        return subprocess.run(cmd).returncode
    if args.in_namespace:
        subprocess.run(["mount", "--bind", copy, ROOT], check=True)
        tree = ROOT  # the copy, seen at the tree's own path
        env_note = "copy mounted over " + ROOT
    else:
        copy_tree(copy, with_build=False)
        tree = copy
        env_note = "copy at " + copy
        os.environ["CCACHE_BASEDIR"] = tree
    os.makedirs(args.scratch, exist_ok=True)
    open(log, "w").close()
    build = os.path.join(tree, "build", "default")
    if not os.path.exists(os.path.join(build, "build.ninja")):
        if run(["cmake", "--preset", "default"], tree, log) != 0:
            print("configure failed; see " + log, file=sys.stderr)
            return 2

    all_tests = sorted(d for d in os.listdir(os.path.join(tree, "tests"))
                       if os.path.exists(os.path.join(tree, "tests", d, "CMakeLists.txt"))
                       and d not in ("support", "data"))

    def programs_for(path):
        if args.all_tests:
            return ["test_" + d for d in all_tests]
        folder = folder_of(path)
        return ["test_" + folder] if folder in all_tests else ["test_" + d for d in all_tests]

    # The unchanged tree must pass what will be run.
    needed = sorted({p for k in numbers for p in programs_for(faults[k - 1][0])})
    print(f"building {', '.join(needed)} ({env_note})", flush=True)
    if run(["cmake", "--build", build, "-j", args.jobs, "--target"] + needed, tree, log) != 0:
        print("the unchanged tree does not build; see " + log, file=sys.stderr)
        return 2
    for prog in needed:
        exe = find_program(build, prog)
        if run([exe], tree, log, args.timeout) != 0:
            print(f"{prog} fails on the unchanged tree; see {log}", file=sys.stderr)
            return 2

    results = []
    for k in numbers:
        path, old, new = faults[k - 1]
        target = os.path.join(tree, path)
        original = open(target, encoding="utf-8").read()
        started = time.time()
        verdict = "survived"
        try:
            with open(target, "w", encoding="utf-8") as f:
                f.write(original.replace(old, new, 1))
            programs = programs_for(path)
            if run(["cmake", "--build", build, "-j", args.jobs, "--target"] + programs,
                   tree, log) != 0:
                verdict = "caught (build)"
            else:
                for prog in programs:
                    rc = run([find_program(build, prog)], tree, log, args.timeout)
                    if rc != 0:
                        verdict = f"caught ({prog})" if rc != 124 else f"caught ({prog}, timeout)"
                        break
        finally:
            with open(target, "w", encoding="utf-8") as f:
                f.write(original)
            os.utime(target, None)
        seconds = time.time() - started
        results.append((k, path, old, new, verdict))
        print(f"{k:3d} {verdict:30s} {seconds:6.0f} s  {path}", flush=True)

    caught = sum(1 for r in results if r[4] != "survived")
    lines = [f"{caught} of {len(results)} faults caught"]
    for k, path, old, new, verdict in results:
        if verdict == "survived":
            lines.append(f"  survivor {k}: {path}: {old!r} -> {new!r}")
    summary = "\n".join(lines)
    print(summary)
    if args.report:
        with open(args.report, "w") as f:
            for k, path, _, _, verdict in results:
                f.write(f"{k:3d} {verdict:30s} {path}\n")
            f.write(summary + "\n")
    return 0 if caught == len(results) else 1


def find_program(build, name):
    folder = name[len("test_"):]
    return os.path.join(build, "tests", folder, name)


if __name__ == "__main__":
    sys.exit(main())
