#!/usr/bin/env python3
"""Reference values for the distribution-analysis tests, computed with SciPy.

Run with Debian's interpreter (python3-scipy): /usr/bin/python3 dist_reference.py
Sample: samples/dist/strength25.dat (the 25 strengths), grid 200..600, 1000 points.
Every number printed here is written into tests/distribution/*.cpp with a
comment naming this script.
"""
import os
import numpy as np
from scipy import optimize, special, stats

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, "..", "..", "samples", "dist", "strength25.dat")


def read_sample(path):
    lines = open(path).read().splitlines()
    start = lines.index("*data") + 1
    end = lines.index("*distribution")
    return np.array([float(v) for v in lines[start:end]])


x = np.sort(read_sample(SAMPLE))
n = x.size
grid = np.linspace(200.0, 600.0, 1000)
print(f"n = {n}")

# Normal and lognormal: closed forms (n - 1 divisor for the spread).
mu, sd = x.mean(), x.std(ddof=1)
lx = np.log(x)
med, sdl = np.exp(lx.mean()), lx.std(ddof=1)
print(f"normal mean {mu:.15g} sd {sd:.15g}")
print(f"lognormal median {med:.15g} sdlog {sdl:.15g}")

# Gamma: the engine's shape 0.5 / (ln mean - mean ln) and SciPy's exact MLE.
s = np.log(x.mean()) - lx.mean()
k0 = 0.5 / s
print(f"gamma engine shape {k0:.15g} scale {x.mean() / k0:.15g}")
ka, _, tha = stats.gamma.fit(x, floc=0)
print(f"gamma scipy MLE shape {ka:.10g} scale {tha:.10g}")

# Weibull 2P: SciPy's fit with location 0 and a root of the likelihood equation.
c2, _, sc2 = stats.weibull_min.fit(x, floc=0)
print(f"weibull2p scipy fit shape {c2:.10g} scale {sc2:.10g}")


def shape_eq(b):
    xb = x ** b
    return 1 / b + lx.mean() - (xb * lx).sum() / xb.sum()


b = optimize.brentq(shape_eq, 1, 50, xtol=1e-14)
eta = ((x ** b).mean()) ** (1 / b)
print(f"weibull2p root shape {b:.15g} scale {eta:.15g}")

# Weibull 3P: SciPy's fit (all three parameters free).
c3, loc3, sc3 = stats.weibull_min.fit(x)
print(f"weibull3p scipy fit shape {c3:.10g} loc {loc3:.10g} scale {sc3:.10g} "
      f"nll {stats.weibull_min.nnlf((c3, loc3, sc3), x):.10g}")

# Generalized exponential = exponentiated Weibull with c = 1: root of the profile equation.
def ge_eq(lam):
    e = np.exp(-lam * x)
    alpha = -n / np.log1p(-e).sum()
    return (n / lam - x.sum()) + (alpha - 1) * (x * e / (1 - e)).sum()


lam = optimize.brentq(ge_eq, 1e-4, 1.0, xtol=1e-16)
alpha = -n / np.log1p(-np.exp(-lam * x)).sum()
print(f"genexp root rate {lam:.15g} shape {alpha:.15g}")
a_fit, _, _, scale_fit = stats.exponweib.fit(x, f1=1, floc=0)
print(f"genexp scipy exponweib(c=1) fit shape {a_fit:.10g} rate {1 / scale_fit:.10g}")


def ks_ad(F):
    i = np.arange(1, n + 1)
    ks = max(np.max(np.abs(F - (i - 1) / n)), np.max(np.abs(i / n - F)))
    ad = -n - np.sum((2 * i - 1) / n * (np.log(F) + np.log(1 - F[::-1])))
    return ks, ad


def chi_square(pdf):
    mn, mx = x.min(), x.max()
    w = (mx - mn) / 5
    e = mn + w * np.arange(1, 5)

    def bins(v):
        b = np.zeros(v.shape, dtype=int)
        b[v < e[0]] = 1
        b[v > e[3]] = 5
        for j in range(1, 4):
            b[(v > e[j - 1]) & (v < e[j])] = j + 1
        return b

    ob = bins(x)
    gb = bins(grid)
    chi, prev = 0.0, 0.0
    for j in range(1, 6):
        idx = np.nonzero(gb == j)[0]
        if idx.size == 0:
            ej = prev
        else:
            ej = np.trapz(pdf[idx], grid[idx])
        prev = ej
        oj = np.count_nonzero(ob == j) / n
        chi += np.inf if ej == 0 else (oj - ej) ** 2 / ej
    return chi


models = {
    "normal": stats.norm(mu, sd),
    "weibull2p": stats.weibull_min(b, 0, eta),
    "gamma": stats.gamma(k0, 0, x.mean() / k0),
    "genexp": stats.exponweib(alpha, 1, 0, 1 / lam),
}
for name, d in models.items():
    ks, ad = ks_ad(d.cdf(x))
    print(f"{name}: KS {ks:.12g} AD {ad:.12g} chi2 {chi_square(d.pdf(grid)):.12g}")
# Lognormal with the engine's parameters (scipy: s = sdlog, scale = median).
ln = stats.lognorm(sdl, 0, med)
ks, ad = ks_ad(ln.cdf(x))
print(f"lognormal: KS {ks:.12g} AD {ad:.12g} chi2 {chi_square(ln.pdf(grid)):.12g}")
# Normal value from 0 (the engine integrates from 1e-20): same to 1e-15 here.
print(f"normal P(X<0) {stats.norm(mu, sd).cdf(0):.3g}")

# Gamma function and incomplete gamma checks.
for z in (0.3, 1.0, 1.85, 7.5, 61.6791):
    print(f"gamma({z}) = {special.gamma(z):.15g}  lgamma = {special.gammaln(z):.15g}")
for k, xx in ((0.5, 2.0), (2.0, 1.5), (61.6791, 28.8), (61.6791, 70.0), (1000.5, 990.0)):
    print(f"P({k}, {xx}) = {special.gammainc(k, xx):.15g}")
g = stats.gamma(k0, 0, x.mean() / k0)
print(f"gamma grid cdf at 200, 400, 600: {g.cdf(200):.12g} {g.cdf(400):.12g} {g.cdf(600):.12g}")
print(f"gamma pdf at 430: {g.pdf(430):.15g}")
# Large shape: density of gamma(k=5000, theta=0.1) at 500 (the mean).
print(f"gamma(5000, 0.1) pdf at 500: {stats.gamma(5000, 0, 0.1).pdf(500):.15g}")

# Pairwise log-likelihood ratio normal / gamma.
print(f"llr normal/gamma {np.sum(stats.norm(mu, sd).logpdf(x) - g.logpdf(x)):.12g}")
print(f"llr weibull2p/normal {np.sum(models['weibull2p'].logpdf(x) - stats.norm(mu, sd).logpdf(x)):.12g}")

# Weibull 2P with the small-sample correction on the first 10 values of the file
# (unsorted order of the file): c1 = 0.853 (shape numerator), c2 = 0.967 (scale divisor).
x10 = read_sample(SAMPLE)[:10]
l10 = np.log(x10)


def shape_eq10(b):
    xb = x10 ** b
    return 0.853 / b + l10.mean() - (xb * l10).sum() / xb.sum()


b10 = optimize.brentq(shape_eq10, 1, 50, xtol=1e-14)
print(f"weibull2p corrected n=10 shape {b10:.15g} scale {((x10 ** b10).mean() / 0.967) ** (1 / b10):.15g}")

# Point values used by DistributionModelsTest.
nd = stats.norm(mu, sd)
print(f"norm cdf(300) - cdf(0) {nd.cdf(300) - nd.cdf(0):.15g}  cdf(600) {nd.cdf(600):.15g}")
lnd = stats.lognorm(sdl, 0, med)
print(f"lognorm cdf(300) {lnd.cdf(300):.15g}  pdf(600) {lnd.pdf(600):.15g}")
print(f"P(5.0001, 2.0) {special.gammainc(5.0001, 2.0):.15g}  P(2.0001, 40) {special.gammainc(2.0001, 40):.15g}")
print(f"gamma cdf at grid point 500 ({grid[499]:.6g}): {g.cdf(grid[499]):.12g}")
