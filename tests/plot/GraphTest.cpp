// The axis kinds: layout, mapping and its inverse, decades, ticks and
// labels, window refusals, the outside test, clamping and the polyline rule.
#include "plot/Graph.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "TestSupport.hpp"

namespace olm::test {
namespace {

// Drawing rectangle 1000 x 800 with the default placement: plot rectangle
// (100, 80)-(900, 720); margins 9 * 8 left, 2 * 36 top, 3 * 16 bottom,
// 3 * 8 right give the frame (172, 152)-(876, 672), 704 x 520 pixels.
const CDeviceRect kRect{0, 0, 1000, 800};
const CGraphFontMeasures kMeasures{8, 16, 36, 0};

template <class G>
G LaidOut(double xMin, double yMin, double xMax, double yMax) {
  G g;
  EXPECT_TRUE(g.SetWorldWindow(xMin, yMin, xMax, yMax));
  g.Layout(kRect, kMeasures);
  return g;
}

std::vector<std::string> LabelTexts(const CAxisMarks& marks) {
  std::vector<std::string> texts;
  for (const CAxisLabel& l : marks.labels) texts.push_back(l.text);
  return texts;
}

TEST(GraphLayoutTest, FrameFollowsPlacementFractionsAndFontMeasures) {
  CLinear<double> g;
  g.Layout(kRect, kMeasures);
  EXPECT_EQ(g.PlotRect(), (CDeviceRect{100, 80, 900, 720}));
  EXPECT_EQ(g.Frame(), (CDeviceRect{172, 152, 876, 672}));
  EXPECT_EQ(g.FrameWidth(), 704);
  EXPECT_EQ(g.FrameHeight(), 520);

  g.SetPlacement(0.2, 0.0, 1.0, 0.5);
  g.showLegend = true;
  g.Layout(kRect, {8, 16, 36, 100});
  // Plot rectangle (200, 0)-(1000, 400); the legend widens the right margin.
  EXPECT_EQ(g.Frame(), (CDeviceRect{272, 72, 1000 - 24 - 100, 400 - 48}));
}

TEST(GraphLayoutTest, TinyRectangleKeepsAFrameOfOnePixel) {
  CLinear<double> g;
  g.Layout({0, 0, 20, 20}, kMeasures);
  EXPECT_EQ(g.FrameWidth(), 1);
  EXPECT_EQ(g.FrameHeight(), 1);
  EXPECT_TRUE(std::isfinite(g.XScale()));
}

TEST(GraphMappingTest, LinearKindRoundsToTheNearestPixel) {
  // 704 pixels over 176 units and 520 over 130: a quarter unit per pixel.
  const auto g = LaidOut<CLinear<double>>(0, 0, 176, 130);
  EXPECT_EQ(g.XScale(), 0.25);
  EXPECT_EQ(g.YScale(), 0.25);
  // 10.1 is 40.4 pixels in, 10.2 is 40.8.
  EXPECT_EQ(g.WorldToDevice(10.1, 10.1), (CDevicePoint{212, 632}));
  EXPECT_EQ(g.WorldToDevice(10.2, 10.2), (CDevicePoint{213, 631}));
  EXPECT_EQ(g.WorldToDevice(0, 0), (CDevicePoint{172, 672}));
  EXPECT_EQ(g.WorldToDevice(176, 130), (CDevicePoint{876, 152}));
}

TEST(GraphMappingTest, KindsWithALogAxisTruncate) {
  // Log x over 3 decades: 704 / 3 = 234.67 pixels a decade.
  const auto g = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 130);
  EXPECT_DOUBLE_EQ(g.XScale(), 3.0 / 704);
  EXPECT_EQ(g.WorldToDevice(10, 10.1).x, 172 + 234);
  EXPECT_EQ(g.WorldToDevice(100, 10.1).x, 172 + 469);
  EXPECT_EQ(g.WorldToDevice(1, 10.1).x, 172);
  // y 10.1 is 40.4 pixels up: trunc(672 - 40.4) = 631, where kind 0 gives 632.
  EXPECT_EQ(g.WorldToDevice(10, 10.1).y, 631);
  EXPECT_EQ(g.WorldToDevice(10, 10.2).y, 631);

  const auto yLog = LaidOut<CXLinearYLog<double>>(0, 1, 176, 1000);
  // x 10.2 is 40.8 pixels in: truncated to 40 (kind 0 rounds to 41).
  EXPECT_EQ(yLog.WorldToDevice(10.2, 1).x, 212);
  EXPECT_EQ(yLog.WorldToDevice(10.2, 1).y, 672);
  // 520 / 3 = 173.33 pixels a decade: trunc(672 - 173.33) = 498.
  EXPECT_EQ(yLog.WorldToDevice(10.2, 10).y, 498);
  EXPECT_EQ(yLog.WorldToDevice(10.2, 100).y, 325);
}

TEST(GraphMappingTest, InverseReturnsWorldValuesOnEveryKind) {
  const auto lin = LaidOut<CLinear<double>>(0, 0, 176, 130);
  const CWorldPoint a = lin.DeviceToWorld(272, 632);
  EXPECT_DOUBLE_EQ(a.x, 25.0);
  EXPECT_DOUBLE_EQ(a.y, 10.0);
  const CWorldPoint b = lin.DeviceToWorldPoint({172, 152});
  EXPECT_DOUBLE_EQ(b.x, 0.0);
  EXPECT_DOUBLE_EQ(b.y, 130.0);
  // Device -> world -> device is the identity.
  for (int px : {172, 300, 451, 875})
    for (int py : {153, 400, 671}) {
      const CWorldPoint w = lin.DeviceToWorld(px, py);
      EXPECT_EQ(lin.WorldToDevice(w.x, w.y), (CDevicePoint{px, py}));
    }

  // Log axes return powers of ten: 352 pixels are 1.5 decades, 260 pixels 1.5.
  const auto logLog = LaidOut<CXLogYLog<double>>(1, 1, 1000, 1000);
  const CWorldPoint c = logLog.DeviceToWorld(172 + 352, 672 - 260);
  EXPECT_NEAR(c.x, std::pow(10.0, 1.5), 1e-9);
  EXPECT_NEAR(c.y, std::pow(10.0, 1.5), 1e-9);
  EXPECT_NEAR(logLog.DeviceToWorld(172, 672).x, 1.0, 1e-12);
  EXPECT_NEAR(logLog.DeviceToWorld(876, 152).y, 1000.0, 1e-9);
}

TEST(GraphMappingTest, FarPointsStayWithinTheDeviceRange) {
  const auto g = LaidOut<CLinear<double>>(0, 0, 1, 1);
  const CDevicePoint p = g.WorldToDevice(1e300, -1e300);
  EXPECT_EQ(p.x, CGraph::kCoordinateLimit);
  EXPECT_EQ(p.y, 672 + CGraph::kCoordinateLimit);
  const CDevicePoint n = g.WorldToDevice(std::nan(""), 0.5);
  EXPECT_GE(n.x, -CGraph::kCoordinateLimit);
}

TEST(GraphWindowTest, LogWindowOfThreeDecadesIsLabelled1To1000) {
  const auto g = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 10);
  EXPECT_EQ(g.XDecades(), 3);
  EXPECT_EQ(LabelTexts(g.XAxisMarks()), (std::vector<std::string>{"1", "10", "100", "1000"}));
  // The labels sit at the frame's left, a third, two thirds and the right.
  const CAxisMarks m = g.XAxisMarks();
  EXPECT_EQ(m.labels[0].position, 172);
  EXPECT_NEAR(m.labels[1].position, 172 + 704 / 3.0, 1.0);
  EXPECT_NEAR(m.labels[3].position, 876, 1.0);
  // Ticks at k * 10^d inside the frame; decade starts are major.
  int majors = 0;
  for (const CAxisTick& t : m.ticks) majors += t.major;
  EXPECT_EQ(majors, 2);            // 10 and 100 (1 and 1000 lie on the frame)
  EXPECT_EQ(m.ticks.size(), 26u);  // 8 + 9 + 9
}

TEST(GraphWindowTest, LogWindowOf1To500HasTwoDecadesAndScalesTheFullRange) {
  const auto g = LaidOut<CXLogYLinear<double>>(1, 0, 500, 10);
  EXPECT_EQ(g.XDecades(), 2);
  EXPECT_DOUBLE_EQ(g.XScale(), std::log10(500.0) / 704);
  EXPECT_EQ(LabelTexts(g.XAxisMarks()), (std::vector<std::string>{"1", "10", "100"}));
  // The value 100 is labelled where the mapping puts it.
  EXPECT_EQ(g.XAxisMarks().labels[2].position, g.WorldToDevice(100, 1).x);
  // The partial third decade is ticked: 200, 300, 400, 500 minus the edge.
  int beyond100 = 0;
  for (const CAxisTick& t : g.XAxisMarks().ticks)
    if (t.position > g.WorldToDevice(100, 1).x) ++beyond100;
  EXPECT_EQ(beyond100, 3);
}

TEST(GraphWindowTest, WindowHeldAsFloatsCountsWholeDecades) {
  CXLogYLog<double> g;
  ASSERT_TRUE(g.SetWorldWindow(0.001f, 0.01f, 1000.0f, 100.0f));
  EXPECT_EQ(g.XDecades(), 6);
  EXPECT_EQ(g.YDecades(), 4);
}

TEST(GraphWindowTest, LinearAxisFrom0To10IsLabelledEveryTwo) {
  const auto g = LaidOut<CLinear<double>>(0, -1, 10, 1);
  EXPECT_EQ(LabelTexts(g.XAxisMarks()), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
  EXPECT_EQ(g.XAxisMarks().ticks.size(), 51u);
  EXPECT_EQ(LabelTexts(g.YAxisMarks()),
            (std::vector<std::string>{"-1", "-0.6", "-0.2", "0.2", "0.6", "1"}));
  // Three divisions of -0.7..1.4: the middle value is 1e-16 off zero and reads 0.
  CLinear<double> h = LaidOut<CLinear<double>>(-0.7, -1, 1.4, 1);
  h.SetTicks(30, 30, 10);
  EXPECT_EQ(LabelTexts(h.XAxisMarks()), (std::vector<std::string>{"-0.7", "0", "0.7", "1.4"}));
  EXPECT_EQ(h.XAxisMarks().ticks.size(), 31u);
}

TEST(GraphWindowTest, LogWindowReachingZeroIsRefusedAndTheOldWindowKept) {
  CRecordingUi ui;
  CXLogYLinear<double> g;
  ASSERT_TRUE(g.SetWorldWindow(1, 0, 100, 5));
  EXPECT_FALSE(g.SetWorldWindow(0, 0, 100, 5));
  EXPECT_EQ(ui.Last(), "The X minimum value must be larger than 0.000001");
  EXPECT_DOUBLE_EQ(g.XMin(), 1.0);
  EXPECT_DOUBLE_EQ(g.XMax(), 100.0);
  EXPECT_FALSE(g.SetWorldWindow(1, 0, 5e-7, 5));  // the maximum too

  CXLinearYLog<double> y;
  ASSERT_TRUE(y.SetWorldWindow(-5, 0.000001, 5, 10));
  EXPECT_FALSE(y.SetWorldWindow(-5, -1, 5, 10));
  EXPECT_EQ(ui.Last(), "The Y minimum value must be larger than 0.000001");
  EXPECT_DOUBLE_EQ(y.YMax(), 10.0);
  // A linear axis takes zero and negative limits.
  CLinear<double> lin;
  EXPECT_TRUE(lin.SetWorldWindow(-5, -1, 0, 0.5));
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST(GraphWindowTest, EmptyReversedAndNonFiniteWindows) {
  CLinear<double> g;
  ASSERT_TRUE(g.SetWorldWindow(5, 0, 5, 0));  // a single point
  EXPECT_DOUBLE_EQ(g.XMin(), 4.75);
  EXPECT_DOUBLE_EQ(g.XMax(), 5.25);
  EXPECT_DOUBLE_EQ(g.YMin(), -0.5);
  EXPECT_DOUBLE_EQ(g.YMax(), 0.5);
  ASSERT_TRUE(g.SetWorldWindow(10, 3, 0, 1));  // swapped
  EXPECT_DOUBLE_EQ(g.XMin(), 0.0);
  EXPECT_DOUBLE_EQ(g.YMax(), 3.0);
  EXPECT_FALSE(g.SetWorldWindow(0, 0, INFINITY, 1));
  EXPECT_FALSE(g.SetWorldWindow(std::nan(""), 0, 1, 1));
  EXPECT_DOUBLE_EQ(g.XMax(), 10.0);
}

TEST(GraphWindowTest, OutsideUsesTheToleranceInAxisUnits) {
  const auto lin = LaidOut<CLinear<double>>(0, 0, 10, 10);
  EXPECT_FALSE(lin.IsOutside(10 + 0.5e-5, 5));
  EXPECT_TRUE(lin.IsOutside(10 + 2e-5, 5));
  EXPECT_TRUE(lin.IsOutside(5, -2e-5));
  EXPECT_TRUE(lin.IsOutside(std::nan(""), 5));

  const auto log = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 10);
  EXPECT_FALSE(log.IsOutside(1000 * std::pow(10.0, 0.5e-5), 5));
  EXPECT_TRUE(log.IsOutside(1000 * std::pow(10.0, 2e-5), 5));
  EXPECT_TRUE(log.IsOutside(0, 5));
  EXPECT_TRUE(log.IsOutside(-3, 5));
}

TEST(GraphWindowTest, ClampMovesCoordinatesToTheNearestEdge) {
  const auto lin = LaidOut<CLinear<double>>(0, 0, 10, 4);
  const CWorldPoint a = lin.ClampToWindow(-5, 20);
  EXPECT_DOUBLE_EQ(a.x, 0);
  EXPECT_DOUBLE_EQ(a.y, 4);
  const CWorldPoint b = lin.ClampToWindow(3, 2);
  EXPECT_DOUBLE_EQ(b.x, 3);
  EXPECT_DOUBLE_EQ(b.y, 2);
  const auto log = LaidOut<CXLogYLog<double>>(1, 10, 1000, 100);
  const CWorldPoint c = log.ClampToWindow(0.5, 5000);
  EXPECT_NEAR(c.x, 1.0, 1e-12);
  EXPECT_NEAR(c.y, 100.0, 1e-10);
}

TEST(GraphGridTest, LinearGridFollowsItsSwitchesAndLogGridIsAlwaysDrawn) {
  auto lin = LaidOut<CLinear<double>>(0, 0, 10, 10);
  const std::vector<int> v = lin.VerticalGridLines();
  ASSERT_EQ(v.size(), 9u);
  EXPECT_EQ(v[4], 172 + 352);
  lin.SetGridLines(false, true);
  EXPECT_TRUE(lin.VerticalGridLines().empty());
  EXPECT_EQ(lin.HorizontalGridLines().size(), 9u);

  auto log = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 10);
  log.SetGridLines(false, false);
  // Decades 1 and 2 at k = 2..10, the last decade at k = 2..9.
  EXPECT_EQ(log.VerticalGridLines().size(), 26u);
  EXPECT_TRUE(log.HorizontalGridLines().empty());
}

TEST(GraphFormatTest, OnlyFormatsWithOneFloatingConversionAreUsed) {
  EXPECT_TRUE(IsSafeAxisFormat("%-g"));
  EXPECT_TRUE(IsSafeAxisFormat("%.3f"));
  EXPECT_TRUE(IsSafeAxisFormat("%+8.2e %%"));
  EXPECT_FALSE(IsSafeAxisFormat("%s"));
  EXPECT_FALSE(IsSafeAxisFormat("%d"));
  EXPECT_FALSE(IsSafeAxisFormat("%n"));
  EXPECT_FALSE(IsSafeAxisFormat("%g %g"));
  EXPECT_FALSE(IsSafeAxisFormat("plain"));
  EXPECT_FALSE(IsSafeAxisFormat("%999g"));
  EXPECT_FALSE(IsSafeAxisFormat("%"));
  EXPECT_EQ(FormatAxisValue("%.2f", 3.14159), "3.14");
  EXPECT_EQ(FormatAxisValue("%s", 2.5), "2.5");  // falls back to "%-g"
  CLinear<double> g;
  g.SetAxisFormats("%s%s", "%.1e");
  EXPECT_EQ(g.XFormat(), "%-g");
  EXPECT_EQ(g.YFormat(), "%.1e");
}

TEST(GraphPrintTest, LineWidthFactorFromDrawingSizeAndResolution) {
  EXPECT_EQ(CGraph::PrintLineWidthFactor(4960, 7016, 600, 600), 9);
  EXPECT_EQ(CGraph::PrintLineWidthFactor(800, 600, 96, 96), 7);
  EXPECT_EQ(CGraph::PrintLineWidthFactor(100, 100, 600, 600), 1);
  EXPECT_EQ(CGraph::PrintLineWidthFactor(100, 100, 0, 0), 1);
  CLinear<double> g;
  EXPECT_EQ(g.LineWidthFactor(), 1);
  g.SetPrinting(true, 9);
  EXPECT_EQ(g.LineWidthFactor(), 9);
  g.SetPrinting(false, 9);
  EXPECT_EQ(g.LineWidthFactor(), 1);
}

// ---------------------------------------------------------------- polylines

std::vector<CDevicePoint> Polyline(const CGraph& g, const std::vector<double>& x,
                                   const std::vector<double>& y, bool thin) {
  CCurveView c{x.data(), y.data(), 1, x.size()};
  std::vector<CDevicePoint> out;
  g.AppendPolyline(c, thin, out);
  return out;
}

TEST(GraphPolylineTest, OutsidePointsAreSkippedAndTheInsideOnesJoined) {
  const auto g = LaidOut<CLinear<double>>(0, 0, 176, 130);
  // Points 3 and 4 lie above the window.
  const std::vector<double> x{10, 20, 30, 40, 50}, y{10, 20, 500, 600, 20};
  const std::vector<CDevicePoint> p = Polyline(g, x, y, false);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0], g.WorldToDevice(10, 10));
  EXPECT_EQ(p[1], g.WorldToDevice(20, 20));
  EXPECT_EQ(p[2], g.WorldToDevice(50, 20));  // joined straight to the next inside point
  // The same rule on a log axis skips points that cannot be placed.
  const auto log = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 130);
  const std::vector<CDevicePoint> q = Polyline(log, {0, 10, -1, 100}, {5, 5, 5, 5}, false);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[1], log.WorldToDevice(100, 5));
}

TEST(GraphPolylineTest, BatchMappingAgreesWithWorldToDeviceOnEveryKind) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> ux(0.5, 600), uy(0.5, 400);
  std::vector<double> x(2000), y(2000);
  for (size_t i = 0; i < x.size(); ++i) x[i] = ux(rng), y[i] = uy(rng);
  std::vector<std::unique_ptr<CGraph>> graphs;
  graphs.push_back(std::make_unique<CLinear<double>>());
  graphs.push_back(std::make_unique<CXLogYLinear<double>>());
  graphs.push_back(std::make_unique<CXLinearYLog<double>>());
  graphs.push_back(std::make_unique<CXLogYLog<double>>());
  for (auto& g : graphs) {
    ASSERT_TRUE(g->SetWorldWindow(1, 1, 500, 300));
    g->Layout(kRect, kMeasures);
    std::vector<CDevicePoint> expected;
    for (size_t i = 0; i < x.size(); ++i)
      if (!g->IsOutside(x[i], y[i])) expected.push_back(g->WorldToDevice(x[i], y[i]));
    EXPECT_EQ(Polyline(*g, x, y, false), expected) << "kind " << g->Kind();
  }
}

// The pixels a one-pixel polyline covers (Bresenham lines).
std::set<std::pair<int, int>> Raster(const std::vector<CDevicePoint>& p) {
  std::set<std::pair<int, int>> pixels;
  if (p.size() == 1) pixels.insert({p[0].x, p[0].y});
  for (size_t i = 1; i < p.size(); ++i) {
    int x0 = p[i - 1].x, y0 = p[i - 1].y;
    const int x1 = p[i].x, y1 = p[i].y;
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      pixels.insert({x0, y0});
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
  return pixels;
}

TEST(GraphPolylineTest, ThinningKeepsTheDrawnPixelsWithAtMostFourPointsPerColumn) {
  const auto g = LaidOut<CLinear<double>>(0, -3, 1, 3);
  std::mt19937 rng(11);
  std::normal_distribution<double> noise(0.0, 0.8);
  // 100000 points over 704 columns, a few wandering outside the window, and
  // a stretch that runs backwards in x.
  std::vector<double> x, y;
  for (int i = 0; i < 100000; ++i) {
    const double t = i / 100000.0;
    x.push_back(i > 40000 && i < 45000 ? 0.8 - t : t);
    y.push_back(std::sin(6 * t) + noise(rng));
  }
  const auto full = Polyline(g, x, y, false);
  const auto thin = Polyline(g, x, y, true);
  EXPECT_LT(full.size(), x.size());  // some points are outside
  EXPECT_LT(thin.size(), full.size() / 10);
  EXPECT_EQ(Raster(thin), Raster(full));
  // Consecutive points of one column run are never more than four.
  size_t run = 1;
  for (size_t i = 1; i < thin.size(); ++i) {
    run = thin[i].x == thin[i - 1].x ? run + 1 : 1;
    EXPECT_LE(run, 4u);
  }
  EXPECT_EQ(thin.front(), full.front());
  EXPECT_EQ(thin.back(), full.back());
}

TEST(GraphPolylineTest, MarkerPointsAreEachPositionOnce) {
  const auto g = LaidOut<CLinear<double>>(0, 0, 176, 130);
  const std::vector<double> x{10, 10.01, 20, 10, 500}, y{10, 10.01, 20, 10, 5};
  CCurveView c{x.data(), y.data(), 1, x.size()};
  std::vector<CDevicePoint> out;
  g.AppendMarkerPoints(c, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], g.WorldToDevice(10, 10));
  EXPECT_EQ(out[1], g.WorldToDevice(20, 20));
}

TEST(GraphPolylineTest, CurveColumnsReadsStridedMatrixColumns) {
  CMatrix<double> m(3, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) m(i, j) = 10 * i + j;
  const CCurveView c = CurveColumns(m, 5, 2, 3);
  ASSERT_EQ(c.count, 3u);
  EXPECT_EQ(c.x[2 * c.stride], 32);
  EXPECT_EQ(c.y[1 * c.stride], 23);
  EXPECT_EQ(CurveColumns(m, 3, 4, 1).count, 0u);
  EXPECT_EQ(CurveColumns(m, 0, 1, 2).count, 0u);
}

}  // namespace
}  // namespace olm::test
