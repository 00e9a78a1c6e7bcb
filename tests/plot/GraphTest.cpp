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

using Strings = std::vector<std::string>;
using Points = std::vector<CDevicePoint>;

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

Strings LabelTexts(const CAxisMarks& marks) {
  Strings texts;
  for (const CAxisLabel& l : marks.labels) texts.push_back(l.text);
  return texts;
}

TEST(GraphLayoutTest, FrameFollowsPlacementFractionsFontMeasuresAndTheLegend) {
  CLinear<double> g;
  g.Layout(kRect, kMeasures);
  EXPECT_EQ(g.PlotRect(), (CDeviceRect{100, 80, 900, 720}));
  EXPECT_EQ(g.Frame(), (CDeviceRect{172, 152, 876, 672}));
  EXPECT_EQ(std::tuple(g.FrameWidth(), g.FrameHeight()), std::tuple(704, 520));
  g.SetPlacement(0.2, 0.0, 1.0, 0.5);
  g.showLegend = true;
  g.Layout(kRect, {8, 16, 36, 100});
  // Plot rectangle (200, 0)-(1000, 400); the legend widens the right margin.
  EXPECT_EQ(g.Frame(), (CDeviceRect{272, 72, 1000 - 24 - 100, 400 - 48}));
  // A tiny rectangle keeps a frame of one pixel.
  g.Layout({0, 0, 20, 20}, kMeasures);
  EXPECT_EQ(std::tuple(g.FrameWidth(), g.FrameHeight()), std::tuple(1, 1));
  EXPECT_TRUE(std::isfinite(g.XScale()));
}

TEST(GraphMappingTest, LinearKindRoundsAndLogKindsTruncate) {
  // 704 pixels over 176 units and 520 over 130: a quarter unit per pixel.
  const auto g = LaidOut<CLinear<double>>(0, 0, 176, 130);
  EXPECT_EQ(std::tuple(g.XScale(), g.YScale()), std::tuple(0.25, 0.25));
  // 10.1 is 40.4 pixels in, 10.2 is 40.8.
  EXPECT_EQ(g.WorldToDevice(10.1, 10.1), (CDevicePoint{212, 632}));
  EXPECT_EQ(g.WorldToDevice(10.2, 10.2), (CDevicePoint{213, 631}));
  EXPECT_EQ(g.WorldToDevice(0, 0), (CDevicePoint{172, 672}));
  EXPECT_EQ(g.WorldToDevice(176, 130), (CDevicePoint{876, 152}));
  // Log x over 3 decades: 704 / 3 = 234.67 pixels a decade; y 10.1 is 40.4
  // pixels up: trunc(672 - 40.4) = 631, where the linear kind gives 632.
  const auto xLog = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 130);
  EXPECT_DOUBLE_EQ(xLog.XScale(), 3.0 / 704);
  EXPECT_EQ(xLog.WorldToDevice(10, 10.1), (CDevicePoint{172 + 234, 631}));
  EXPECT_EQ(xLog.WorldToDevice(100, 10.2), (CDevicePoint{172 + 469, 631}));
  EXPECT_EQ(xLog.WorldToDevice(1, 10.1).x, 172);
  // x 10.2 is 40.8 pixels in: truncated to 40; 520 / 3 = 173.33 pixels a
  // decade: trunc(672 - 173.33) = 498.
  const auto yLog = LaidOut<CXLinearYLog<double>>(0, 1, 176, 1000);
  EXPECT_EQ(yLog.WorldToDevice(10.2, 1), (CDevicePoint{212, 672}));
  EXPECT_EQ(yLog.WorldToDevice(10.2, 10).y, 498);
  EXPECT_EQ(yLog.WorldToDevice(10.2, 100).y, 325);
  // Far points stay within the device range.
  EXPECT_EQ(g.WorldToDevice(1e300, -1e300),
            (CDevicePoint{CGraph::kCoordinateLimit, 672 + CGraph::kCoordinateLimit}));
  EXPECT_GE(g.WorldToDevice(std::nan(""), 0.5).x, -CGraph::kCoordinateLimit);
}

TEST(GraphMappingTest, InverseReturnsWorldValuesOnEveryKind) {
  const auto lin = LaidOut<CLinear<double>>(0, 0, 176, 130);
  const CWorldPoint a = lin.DeviceToWorld(272, 632), b = lin.DeviceToWorldPoint({172, 152});
  EXPECT_EQ(std::tuple(a.x, a.y, b.x, b.y), std::tuple(25.0, 10.0, 0.0, 130.0));
  for (int px : {172, 300, 451, 875})  // device -> world -> device is the identity
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

TEST(GraphWindowTest, LogWindowsAreLabelledAtWholeDecades) {
  const auto g = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 10);
  EXPECT_EQ(g.XDecades(), 3);
  const CAxisMarks m = g.XAxisMarks();
  EXPECT_EQ(LabelTexts(m), (Strings{"1", "10", "100", "1000"}));
  // At the frame's left, a third, two thirds and the right.
  EXPECT_EQ(m.labels[0].position, 172);
  EXPECT_NEAR(m.labels[1].position, 172 + 704 / 3.0, 1.0);
  EXPECT_NEAR(m.labels[3].position, 876, 1.0);
  // Ticks at k * 10^d inside the frame (8 + 9 + 9); decade starts 10 and 100
  // are major (1 and 1000 lie on the frame).
  int majors = 0;
  for (const CAxisTick& t : m.ticks) majors += t.major;
  EXPECT_EQ(std::tuple(majors, m.ticks.size()), std::tuple(2, 26ul));

  // 1..500: two whole decades, the scale over the full range.
  const auto h = LaidOut<CXLogYLinear<double>>(1, 0, 500, 10);
  EXPECT_EQ(h.XDecades(), 2);
  EXPECT_DOUBLE_EQ(h.XScale(), std::log10(500.0) / 704);
  EXPECT_EQ(LabelTexts(h.XAxisMarks()), (Strings{"1", "10", "100"}));
  const int at100 = h.WorldToDevice(100, 1).x;
  EXPECT_EQ(h.XAxisMarks().labels[2].position, at100);
  // The partial third decade is ticked: 200, 300, 400 (500 is the edge).
  int beyond100 = 0;
  for (const CAxisTick& t : h.XAxisMarks().ticks) beyond100 += t.position > at100;
  EXPECT_EQ(beyond100, 3);

  CXLogYLog<double> f;  // a window held as floats counts whole decades
  ASSERT_TRUE(f.SetWorldWindow(0.001f, 0.01f, 1000.0f, 100.0f));
  EXPECT_EQ(std::tuple(f.XDecades(), f.YDecades()), std::tuple(6, 4));
}

TEST(GraphWindowTest, LinearAxisFrom0To10IsLabelledEveryTwo) {
  const auto g = LaidOut<CLinear<double>>(0, -1, 10, 1);
  EXPECT_EQ(LabelTexts(g.XAxisMarks()), (Strings{"0", "2", "4", "6", "8", "10"}));
  EXPECT_EQ(g.XAxisMarks().ticks.size(), 51u);
  EXPECT_EQ(LabelTexts(g.YAxisMarks()), (Strings{"-1", "-0.6", "-0.2", "0.2", "0.6", "1"}));
  // Three divisions of -0.7..1.4: the middle value is 1e-16 off zero and reads 0.
  CLinear<double> h = LaidOut<CLinear<double>>(-0.7, -1, 1.4, 1);
  h.SetTicks(30, 30, 10);
  EXPECT_EQ(LabelTexts(h.XAxisMarks()), (Strings{"-0.7", "0", "0.7", "1.4"}));
  EXPECT_EQ(h.XAxisMarks().ticks.size(), 31u);
}

TEST(GraphWindowTest, RefusedEmptyReversedAndNonFiniteWindows) {
  CRecordingUi ui;
  CXLogYLinear<double> g;
  ASSERT_TRUE(g.SetWorldWindow(1, 0, 100, 5));
  EXPECT_FALSE(g.SetWorldWindow(0, 0, 100, 5));  // refused: the old window is kept
  EXPECT_EQ(ui.Last(), "The X minimum value must be larger than 0.000001");
  EXPECT_EQ(std::tuple(g.XMin(), g.XMax()), std::tuple(1.0, 100.0));
  EXPECT_FALSE(g.SetWorldWindow(1, 0, 5e-7, 5));  // the maximum too
  CXLinearYLog<double> y;
  ASSERT_TRUE(y.SetWorldWindow(-5, 0.000001, 5, 10));
  EXPECT_FALSE(y.SetWorldWindow(-5, -1, 5, 10));
  EXPECT_EQ(ui.Last(), "The Y minimum value must be larger than 0.000001");
  EXPECT_DOUBLE_EQ(y.YMax(), 10.0);
  CLinear<double> lin;  // a linear axis takes zero and negative limits
  EXPECT_TRUE(lin.SetWorldWindow(-5, -1, 0, 0.5));
  EXPECT_EQ(ui.messages.size(), 3u);
  ASSERT_TRUE(lin.SetWorldWindow(5, 0, 5, 0));  // a single point
  EXPECT_EQ(std::tuple(lin.XMin(), lin.XMax(), lin.YMin(), lin.YMax()),
            std::tuple(4.75, 5.25, -0.5, 0.5));
  ASSERT_TRUE(lin.SetWorldWindow(10, 3, 0, 1));  // swapped
  EXPECT_EQ(std::tuple(lin.XMin(), lin.YMax()), std::tuple(0.0, 3.0));
  EXPECT_FALSE(lin.SetWorldWindow(0, 0, INFINITY, 1));
  EXPECT_FALSE(lin.SetWorldWindow(std::nan(""), 0, 1, 1));
  EXPECT_DOUBLE_EQ(lin.XMax(), 10.0);
}

TEST(GraphWindowTest, OutsideTestInAxisUnitsAndClamping) {
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
  // Clamping moves coordinates to the nearest edge.
  const CWorldPoint a = lin.ClampToWindow(-5, 20), b = lin.ClampToWindow(3, 2);
  EXPECT_EQ(std::tuple(a.x, a.y, b.x, b.y), std::tuple(0.0, 10.0, 3.0, 2.0));
  const CWorldPoint c = LaidOut<CXLogYLog<double>>(1, 10, 1000, 100).ClampToWindow(0.5, 5000);
  EXPECT_NEAR(c.x, 1.0, 1e-12);
  EXPECT_NEAR(c.y, 100.0, 1e-10);
}

TEST(GraphSettingsTest, GridFormatsAndPrintLineWidths) {
  auto lin = LaidOut<CLinear<double>>(0, 0, 10, 10);
  ASSERT_EQ(lin.VerticalGridLines().size(), 9u);
  EXPECT_EQ(lin.VerticalGridLines()[4], 172 + 352);
  lin.SetGridLines(false, true);
  EXPECT_TRUE(lin.VerticalGridLines().empty());
  EXPECT_EQ(lin.HorizontalGridLines().size(), 9u);
  // A log grid is always drawn: decades 1 and 2 at k = 2..10, the last at 2..9.
  auto log = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 10);
  log.SetGridLines(false, false);
  EXPECT_EQ(log.VerticalGridLines().size(), 26u);
  EXPECT_TRUE(log.HorizontalGridLines().empty());

  // Only formats with one floating conversion are used.
  for (const char* safe : {"%-g", "%.3f", "%+8.2e %%"}) EXPECT_TRUE(IsSafeAxisFormat(safe)) << safe;
  for (const char* unsafe : {"%s", "%d", "%n", "%g %g", "plain", "%999g", "%"})
    EXPECT_FALSE(IsSafeAxisFormat(unsafe)) << unsafe;
  EXPECT_EQ(FormatAxisValue("%.2f", 3.14159), "3.14");
  EXPECT_EQ(FormatAxisValue("%s", 2.5), "2.5");  // falls back to "%-g"
  lin.SetAxisFormats("%s%s", "%.1e");
  EXPECT_EQ(std::tuple(lin.XFormat(), lin.YFormat()),
            std::tuple(std::string("%-g"), std::string("%.1e")));

  // (width + height) / (dpi x + dpi y), at least 1; the factor counts only when printing.
  EXPECT_EQ(std::tuple(CGraph::PrintLineWidthFactor(4960, 7016, 600, 600),
                       CGraph::PrintLineWidthFactor(800, 600, 96, 96),
                       CGraph::PrintLineWidthFactor(100, 100, 600, 600),
                       CGraph::PrintLineWidthFactor(100, 100, 0, 0)),
            std::tuple(9, 7, 1, 1));
  lin.SetPrinting(true, 9);
  EXPECT_EQ(lin.LineWidthFactor(), 9);
  lin.SetPrinting(false, 9);
  EXPECT_EQ(lin.LineWidthFactor(), 1);
}

Points Polyline(const CGraph& g, const std::vector<double>& x, const std::vector<double>& y,
                bool thin = false) {
  CCurveView c{x.data(), y.data(), 1, x.size()};
  Points out;
  g.AppendPolyline(c, thin, out);
  return out;
}

TEST(GraphPolylineTest, OutsidePointsAreSkippedAndTheInsideOnesJoined) {
  // Points outside are left out (compared at large below); a log axis also
  // skips points that cannot be placed.
  const auto g = LaidOut<CLinear<double>>(0, 0, 176, 130);
  const auto log = LaidOut<CXLogYLinear<double>>(1, 0, 1000, 130);
  EXPECT_EQ(Polyline(log, {0, 10, -1, 100}, {5, 5, 5, 5}),
            (Points{log.WorldToDevice(10, 5), log.WorldToDevice(100, 5)}));
  // Markers go on each position once.
  const std::vector<double> mx{10, 10.01, 20, 10, 500}, my{10, 10.01, 20, 10, 5};
  CCurveView c{mx.data(), my.data(), 1, mx.size()};
  Points markers;
  g.AppendMarkerPoints(c, markers);
  EXPECT_EQ(markers, (Points{g.WorldToDevice(10, 10), g.WorldToDevice(20, 20)}));
  // Strided matrix columns.
  CMatrix<double> m(3, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) m(i, j) = 10 * i + j;
  const CCurveView v = CurveColumns(m, 5, 2, 3);  // rows beyond the matrix are cut
  ASSERT_EQ(v.count, 3u);
  EXPECT_EQ(std::tuple(v.x[2 * v.stride], v.y[1 * v.stride]), std::tuple(32.0, 23.0));
  EXPECT_EQ(CurveColumns(m, 3, 4, 1).count + CurveColumns(m, 0, 1, 2).count, 0u);
}

TEST(GraphPolylineTest, BatchMappingAgreesWithWorldToDeviceOnEveryKind) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> ux(0.5, 600), uy(0.5, 400);
  std::vector<double> x(2000), y(2000);
  for (size_t i = 0; i < x.size(); ++i) x[i] = ux(rng), y[i] = uy(rng);
  CLinear<double> a;
  CXLogYLinear<double> b;
  CXLinearYLog<double> c;
  CXLogYLog<double> d;
  for (CGraph* g : std::initializer_list<CGraph*>{&a, &b, &c, &d}) {
    ASSERT_TRUE(g->SetWorldWindow(1, 1, 500, 300));
    g->Layout(kRect, kMeasures);
    Points expected;
    for (size_t i = 0; i < x.size(); ++i)
      if (!g->IsOutside(x[i], y[i])) expected.push_back(g->WorldToDevice(x[i], y[i]));
    EXPECT_EQ(Polyline(*g, x, y), expected) << "kind " << g->Kind();
    // The same points as matrix columns: interleaved x, y (and y, x), and
    // three columns apart, in storage that ends at the last value so that
    // a read beyond it shows under the address sanitizer.  Counts that are
    // not whole vectors run the scalar tail too.
    for (const size_t n : {x.size(), x.size() - 1, size_t{7}}) {
      Points want;
      for (size_t i = 0; i < n; ++i)
        if (!g->IsOutside(x[i], y[i])) want.push_back(g->WorldToDevice(x[i], y[i]));
      for (const std::ptrdiff_t stride : {2, 3}) {
        std::vector<double> xy(n * static_cast<size_t>(stride)), yx(xy.size());
        for (size_t i = 0; i < n; ++i) {
          const size_t at = i * static_cast<size_t>(stride);
          xy[at] = yx[at + 1] = x[i];
          xy[at + 1] = yx[at] = y[i];
        }
        // y right after x, so the last y is the last value stored.
        Points got;
        g->AppendPolyline({xy.data(), xy.data() + 1, stride, n}, false, got);
        EXPECT_EQ(got, want) << "kind " << g->Kind() << ", stride " << stride << ", n " << n;
        got.clear();
        g->AppendPolyline({yx.data() + 1, yx.data(), stride, n}, false, got);
        EXPECT_EQ(got, want) << "kind " << g->Kind() << ", y first, stride " << stride;
      }
    }
  }
}

// The pixels a one-pixel polyline covers (Bresenham lines).
std::set<std::pair<int, int>> Raster(const Points& p) {
  std::set<std::pair<int, int>> pixels;
  if (p.size() == 1) pixels.insert({p[0].x, p[0].y});
  for (size_t i = 1; i < p.size(); ++i) {
    int x0 = p[i - 1].x, y0 = p[i - 1].y;
    const int x1 = p[i].x, y1 = p[i].y;
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
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
  const auto full = Polyline(g, x, y), thin = Polyline(g, x, y, true);
  EXPECT_LT(full.size(), x.size());  // some points are outside
  EXPECT_LT(thin.size(), full.size() / 10);
  EXPECT_EQ(Raster(thin), Raster(full));
  size_t run = 1;  // consecutive points of one column
  for (size_t i = 1; i < thin.size(); ++i) {
    run = thin[i].x == thin[i - 1].x ? run + 1 : 1;
    EXPECT_LE(run, 4u);
  }
  EXPECT_EQ(std::tuple(thin.front(), thin.back()), std::tuple(full.front(), full.back()));
}

}  // namespace
}  // namespace olm::test
