#pragma once
// Generated test curves shared by the benchmark programs.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace olm::bench {

// Writes (once) a tensile-test-like curve of n rows "time,strain,stress" with
// two header lines, in the number formats of the peer harness
// ("%.6f,%.12e,%.6f"), and returns its path.
inline std::string CurveFile(long n) {
  const std::string dir = OLM_BENCH_DATA_DIR;
  ::mkdir(dir.c_str(), 0755);
  const std::string path = dir + "/curve_" + std::to_string(n) + ".csv";
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && st.st_size > 0) return path;
  const std::string tmp = path + ".tmp";
  std::FILE* f = std::fopen(tmp.c_str(), "w");
  if (!f) return path;
  std::fputs("time,strain,stress\ns,mm/mm,MPa\n", f);
  std::mt19937_64 gen(12345);
  std::normal_distribution<double> noise(0.0, 1.5);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const double E = 200000.0, sy = 350.0, ey = sy / E;
  for (long i = 0; i < n; ++i) {
    const double eps = 0.2 * static_cast<double>(i) / static_cast<double>(n - 1);
    double s = eps <= ey ? E * eps : sy * std::pow(eps / ey, 0.12);
    const double v = std::max(0.0, (eps - 0.15) / 0.05);
    s *= 1.0 - 0.3 * v * v;
    s += noise(gen);
    if (u(gen) < 0.001) s += (u(gen) < 0.5 ? -1 : 1) * (30.0 + 120.0 * u(gen));
    std::fprintf(f, "%.6f,%.12e,%.6f\n", static_cast<double>(i) / 1000.0, eps, s);
  }
  std::fclose(f);
  std::rename(tmp.c_str(), path.c_str());
  return path;
}

// The process's peak resident memory so far, in KiB.
inline long MaxRssKiB() {
  rusage u;
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

}  // namespace olm::bench
