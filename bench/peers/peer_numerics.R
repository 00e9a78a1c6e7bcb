# Peer timings of R's lowess for the numerics comparison.  One task per
# process; prints one JSON line with the median of --reps timed calls
# (CLOCK_MONOTONIC through r_monoclock.so: R's own timers read the wall clock)
# after --warmup untimed ones.  delta = 0 makes R fit every point, as ours does
# (its default delta = 1% of the x range would fit about a hundred points and
# interpolate the rest).
#
#   Rscript peer_numerics.R --data curve_N.f64 --clock r_monoclock.so --iter K [--reps 5] [--warmup 1]
a <- commandArgs(trailingOnly = TRUE)
opt <- function(name, default) {
  i <- match(paste0("--", name), a)
  if (is.na(i)) default else a[i + 1]
}
dyn.load(opt("clock", "r_monoclock.so"))
mono <- function() .C("mono_seconds", t = double(1))$t
data <- opt("data", "")
k <- as.integer(opt("iter", "0"))
reps <- as.integer(opt("reps", "5"))
warmup <- as.integer(opt("warmup", "1"))
N <- file.size(data) %/% 24
v <- readBin(data, "double", n = 3 * N, size = 8, endian = "little")
x <- v[(N + 1):(2 * N)]
y <- v[(2 * N + 1):(3 * N)]
f <- 25 / N
for (i in seq_len(warmup)) lowess(x, y, f = f, iter = k, delta = 0)
ts <- numeric(reps)
for (i in seq_len(reps)) {
  t0 <- mono()
  r <- lowess(x, y, f = f, iter = k, delta = 0)
  ts[i] <- mono() - t0
}
cat(sprintf('{"peer": "lowess_iter%d", "tool": "stats::lowess(x, y, f = 25/N, iter = %d, delta = 0)", "n": %d, "times_s": [%s], "median_s": %.9g}\n',
            k, k, N, paste(sprintf("%.9g", ts), collapse = ", "), median(ts)))
