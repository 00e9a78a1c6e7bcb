// Painting a large plot: 10 replicates of 10^6 points each (raw curves,
// two pixels wide) into a 1600 x 1000 image, with the curves thinned to
// their per-column extremes and drawn whole; and the mapping and thinning
// alone.  The log-log case shows the cost of the logarithms, and the
// clipped case the painter's own stroker (a clip turns off the image fast
// path of the curves).
//
//   build/default/bench/bench_plot
#include <benchmark/benchmark.h>

#include "BenchReplicates.hpp"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdint>
#include <memory>

#include "plot/PlotPainter.hpp"
#include "plot/Project.hpp"

namespace {

constexpr int kCurves = 10;
constexpr int kPoints = 1000000;
constexpr int kWidth = 1600, kHeight = 1000;

// Tensile-like curves with noise: a steep elastic rise, hardening, necking.
olm::CProject& Project() {
  static std::unique_ptr<olm::CProject> project = [] {
    auto p = std::make_unique<olm::CProject>();
    olm::CReplicateDB& db = p->Database();
    olm::bench::AddTensileCurves(db, kCurves, kPoints);
    db.ComputeExtents(true);
    db.RefreshPlotLimits(true);
    return p;
  }();
  return *project;
}

void PaintPlot(benchmark::State& state, int axisKind, bool thin, bool clip = false) {
  olm::CProject& project = Project();
  olm::CPlotView view;
  view.SetAxisKind(axisKind);
  olm::CPlotPaintOptions options = view.PaintOptions();
  options.thin = thin;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  size_t points = 0;
  for (auto _ : state) {
    QPainter painter(&image);
    if (clip) painter.setClipRect(0, 0, kWidth, kHeight);
    const olm::CPlotPaintResult r = olm::RenderPlot(painter, QRect(0, 0, kWidth, kHeight), view,
                                                    project.Database(), project.Objects(), options);
    painter.end();
    points = r.polylinePoints;
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["drawn_points"] = static_cast<double>(points);
  state.counters["points_per_s"] = benchmark::Counter(
      static_cast<double>(kCurves) * kPoints, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PaintThinned(benchmark::State& state) {
  PaintPlot(state, olm::CGraph::kLinear, true);
}
void BM_PaintUnthinned(benchmark::State& state) {
  PaintPlot(state, olm::CGraph::kLinear, false);
}
void BM_PaintThinnedLogLog(benchmark::State& state) {
  // The curves start above zero, so the log axes take the window.
  PaintPlot(state, olm::CGraph::kXLogYLog, true);
}

void BM_PaintThinnedStroked(benchmark::State& state) {
  PaintPlot(state, olm::CGraph::kLinear, true, true);
}

// The mapping and thinning of the ten curves without any painting.
void BM_MapAndThin(benchmark::State& state) {
  olm::CProject& project = Project();
  const olm::CReplicateDB& db = project.Database();
  olm::CLinear<double> graph;
  const olm::CPlotSettings& s = db.plotSettings;
  graph.SetWorldWindow(s.plotXMin, s.plotYMin, s.plotXMax, s.plotYMax);
  graph.Layout({0, 0, kWidth, kHeight}, {8, 16, 36, 0});
  std::vector<olm::CDevicePoint> out;
  for (auto _ : state) {
    for (int r = 1; r <= kCurves; ++r) {
      out.clear();
      graph.AppendPolyline(olm::CurvePoints(db, r, olm::kCurveRaw), true, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.counters["points_per_s"] = benchmark::Counter(
      static_cast<double>(kCurves) * kPoints, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_PaintThinned)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PaintUnthinned)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PaintThinnedStroked)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PaintThinnedLogLog)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MapAndThin)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  olm::CGuiApplicationScope gui;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Project();  // build the data before timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
